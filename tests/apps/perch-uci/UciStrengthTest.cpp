// perch-uci's root options: searchmoves, MultiPV, and play below full
// strength (UCI_LimitStrength, UCI_Elo), through a session.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <sstream>

#include "apps/perch-uci/Strength.h"
#include "chess/engine/BenchSuite.h"
#include "tests/apps/perch-uci/UciHarness.h"

using namespace perch;

namespace {

std::vector<std::string> Words(const std::string& line) {
  std::istringstream stream(line);
  std::vector<std::string> words;
  for (std::string w; stream >> w;) words.push_back(w);
  return words;
}

// The word after `key` in a line, or "".
std::string After(const std::string& line, const std::string& key) {
  const auto words = Words(line);
  const auto at = std::find(words.begin(), words.end(), key);
  return at == words.end() || at + 1 == words.end() ? "" : *(at + 1);
}

std::string BestMove(const Lines& lines) { return lines.empty() ? "" : After(lines.back(), "bestmove"); }

// The first move of the pv of every `info depth` line.
std::set<std::string> PvMoves(const Lines& lines) {
  std::set<std::string> moves;
  for (const std::string& line : lines)
    if (line.rfind("info depth", 0) == 0) moves.insert(After(line, "pv"));
  return moves;
}

Lines InfoStrings(const Lines& lines) {
  Lines strings;
  for (const std::string& line : lines)
    if (line.rfind("info string", 0) == 0) strings.push_back(line);
  return strings;
}

}  // namespace

TEST(UciSearchMoves, OnlyTheNamedMovesAreSearched) {
  struct Case {
    const char* position;
    const char* best;  // the unrestricted best move at depth 4
    Lines allowed;     // searchmoves, without it
  };
  const Case cases[] = {
      {"position startpos", "e2e4", {"d2d4", "g1f3"}},
      {"position fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
       "e2a6",
       {"e1g1", "a2a3", "d5e6"}},
      // Mate in one (Qh5xf7) is left out: the search must find something else.
      {"position fen r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4",
       "h5f7",
       {"d2d3", "b1c3"}},
      // A promotion named with its letter.
      {"position fen 8/P7/8/8/8/8/6k1/4K3 w - - 0 1", "a7a8q", {"a7a8n", "e1d2"}},
  };
  for (const Case& c : cases) {
    UciHarness s;
    EXPECT_EQ(BestMove(s.Run({c.position, "go depth 4"})), c.best) << c.position;
    std::string command = "go depth 4 searchmoves";
    for (const std::string& m : c.allowed) command += " " + m;
    const Lines lines = s.Run({c.position, command});
    EXPECT_TRUE(InfoStrings(lines).empty()) << c.position;
    const std::set<std::string> allowed(c.allowed.begin(), c.allowed.end());
    EXPECT_TRUE(allowed.count(BestMove(lines))) << c.position << ": " << lines.back();
    for (const std::string& m : PvMoves(lines)) EXPECT_TRUE(allowed.count(m)) << c.position << ": " << m;
  }
}

TEST(UciSearchMoves, UnknownAndIllegalMovesAreNamedAndSkipped) {
  UciHarness s;
  // One legal move among wrong ones: the only move searched.
  Lines lines = s.Run({"position startpos", "go depth 3 searchmoves e2e5 h2h3 zz e1g1 h2h3"});
  EXPECT_EQ(InfoStrings(lines), (Lines{"info string searchmoves: 'e2e5' is not a legal move here; ignored",
                                       "info string searchmoves: 'zz' is not a legal move here; ignored",
                                       "info string searchmoves: 'e1g1' is not a legal move here; ignored"}));
  EXPECT_EQ(BestMove(lines), "h2h3");
  // None legal: every move is searched, as without searchmoves.
  lines = s.Run({"position startpos", "go depth 4 searchmoves e2e5 a1a8"});
  EXPECT_EQ(InfoStrings(lines).back(),
            "info string searchmoves: no legal move named; every move is searched");
  EXPECT_EQ(BestMove(lines), "e2e4");
  // searchmoves ends at the next limit; the next search is unrestricted again.
  lines = s.Run({"position startpos", "go searchmoves a2a3 b2b3 depth 2"});
  EXPECT_TRUE(BestMove(lines) == "a2a3" || BestMove(lines) == "b2b3") << lines.back();
  EXPECT_EQ(PvMoves(lines).size(), 1u + (PvMoves(lines).size() > 1));
  EXPECT_EQ(BestMove(s.Run({"position startpos", "go depth 4"})), "e2e4");
}

TEST(UciMultiPv, ReportsTheBestLinesInOrder) {
  UciHarness s;
  const Lines single = s.Run({"position startpos", "go depth 4"});
  const Lines lines = s.Run({"setoption name MultiPV value 3", "position startpos", "go depth 4"});
  // Three lines per depth, numbered 1..3, scores not rising, first moves distinct.
  for (int depth = 1; depth <= 4; ++depth) {
    Lines atDepth;
    for (const std::string& line : lines)
      if (After(line, "depth") == std::to_string(depth)) atDepth.push_back(line);
    ASSERT_EQ(atDepth.size(), 3u) << depth;
    std::set<std::string> firsts;
    for (size_t k = 0; k < 3; ++k) {
      EXPECT_EQ(After(atDepth[k], "multipv"), std::to_string(k + 1));
      firsts.insert(After(atDepth[k], "pv"));
      if (k > 0) {
        EXPECT_LE(std::stoi(After(atDepth[k], "cp")), std::stoi(After(atDepth[k - 1], "cp")));
      }
    }
    EXPECT_EQ(firsts.size(), 3u);
  }
  // The first line is the single-line search's: its move and its score.
  Lines lastSingle, lastMulti;
  for (const std::string& line : single)
    if (After(line, "depth") == "4") lastSingle.push_back(line);
  for (const std::string& line : lines)
    if (After(line, "depth") == "4" && After(line, "multipv") == "1") lastMulti.push_back(line);
  ASSERT_EQ(lastSingle.size(), 1u);
  ASSERT_EQ(lastMulti.size(), 1u);
  EXPECT_EQ(After(lastMulti[0], "cp"), After(lastSingle[0], "cp"));
  EXPECT_EQ(After(lastMulti[0], "pv"), After(lastSingle[0], "pv"));
  EXPECT_EQ(BestMove(lines), BestMove(single));
  // No more lines than legal moves (two here: Ka2 and Kb2).
  const Lines few = s.Run({"position fen 7k/8/8/8/8/8/8/K6r w - - 0 1", "go depth 2"});
  EXPECT_EQ(
      std::count_if(few.begin(), few.end(), [](const std::string& l) { return After(l, "depth") == "2"; }),
      2);
  // Back to one: today's lines, without the multipv word.
  const Lines again = s.Run({"setoption name MultiPV value 1", "position startpos", "go depth 4"});
  EXPECT_EQ(again.size(), single.size());
  EXPECT_EQ(again.back(), single.back());
  for (const std::string& line : again) EXPECT_EQ(line.find("multipv"), std::string::npos);
}

TEST(UciStrength, OptionsAreListedAndBadValuesClamped) {
  UciHarness s;
  const Lines uci = s.Run({"uci"});
  for (const char* option : {"option name MultiPV type spin default 1 min 1 max 32",
                             "option name UCI_LimitStrength type check default false",
                             "option name UCI_Elo type spin default 1500 min 800 max 1500"})
    EXPECT_NE(std::find(uci.begin(), uci.end(), option), uci.end()) << option;
  EXPECT_LE(MinElo, DefaultElo);
  EXPECT_LE(DefaultElo, MaxElo);
  EXPECT_EQ(s.Run({"setoption name UCI_Elo value 200", "setoption name uci_elo value 9999",
                   "setoption name MultiPV value 0", "setoption name MultiPV value 1000"}),
            (Lines{"info string UCI_Elo 200 is out of range; set to 800",
                   "info string UCI_Elo 9999 is out of range; set to 1500",
                   "info string MultiPV 0 is out of range; set to 1",
                   "info string MultiPV 1000 is out of range; set to 32"}));
  for (const char* bad : {"setoption name UCI_Elo value strong", "setoption name MultiPV value",
                          "setoption name UCI_LimitStrength value yes"}) {
    const Lines lines = s.Run({bad});
    ASSERT_EQ(lines.size(), 1u) << bad;
    EXPECT_EQ(lines[0].find("info string error: "), 0u) << bad;
  }
  EXPECT_TRUE(s.Run({"setoption name UCI_LimitStrength value true", "setoption name UCI_Elo value 1200",
                     "setoption name MultiPV value 2"})
                  .empty());
}

// Today's depth-5 search of the bench positions: best move and nodes.
TEST(UciStrength, LimitStrengthOffSearchesAsBefore) {
  const std::pair<const char*, std::uint64_t> today[] = {
      {"e2e4", 64358},   {"e2a6", 2238492}, {"b1c3", 308345}, {"c3d5", 444511},
      {"d7c8q", 221085}, {"c4c5", 347447},  {"b4c4", 41030},  {"d5d6", 5939},
  };
  static_assert(std::size(today) == std::size(SearchSuite));
  UciHarness s;
  // Options set and set back, and a rating that is not in force.
  s.Run({"setoption name UCI_LimitStrength value true", "position startpos", "go depth 2",
         "setoption name UCI_LimitStrength value false", "setoption name UCI_Elo value 900",
         "setoption name MultiPV value 4", "setoption name MultiPV value 1", "position startpos",
         "go depth 2 searchmoves a2a3"});
  for (size_t i = 0; i < std::size(SearchSuite); ++i) {
    const Lines lines =
        s.Run({"ucinewgame", std::string("position fen ") + SearchSuite[i].fen, "go depth 5"});
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(BestMove(lines), today[i].first) << SearchSuite[i].name;
    EXPECT_EQ(After(lines[lines.size() - 2], "nodes"), std::to_string(today[i].second))
        << SearchSuite[i].name;
  }
}

TEST(UciStrength, WeakerRatingsSearchLessAndDrawFromAWiderMargin) {
  Weakness last = WeaknessForElo(MinElo);
  EXPECT_GT(last.marginCp, 0);
  EXPECT_GT(last.rootLines, 1);
  for (int elo = MinElo + 50; elo <= MaxElo; elo += 50) {
    const Weakness w = WeaknessForElo(elo);
    EXPECT_GE(w.nodes, last.nodes) << elo;
    EXPECT_LE(w.marginCp, last.marginCp) << elo;
    last = w;
  }
  // Full strength limits nothing; ratings outside the range are clamped.
  EXPECT_EQ(WeaknessForElo(MaxElo).nodes, ~std::uint64_t{0});
  EXPECT_EQ(WeaknessForElo(MaxElo).marginCp, 0);
  EXPECT_EQ(WeaknessForElo(100).nodes, WeaknessForElo(MinElo).nodes);

  // The draw: only moves within the margin of the best, and each of them.
  std::mt19937_64 random(7);
  const std::vector<int> scores{50, 40, 20, 19, -300};
  std::set<int> drawn;
  for (int i = 0; i < 400; ++i) drawn.insert(PickWeakLine(scores, 30, random));
  EXPECT_EQ(drawn, (std::set<int>{0, 1, 2}));
  EXPECT_EQ(PickWeakLine(scores, 0, random), 0);
  EXPECT_EQ(PickWeakLine({}, 100, random), 0);
}

TEST(UciStrength, LimitedPlayStillAnswersLegallyAndMates) {
  UciHarness s;
  s.Run({"setoption name UCI_LimitStrength value true", "setoption name UCI_Elo value 800"});
  // A mate in one stands far above every other move: even the weakest plays it.
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(
        BestMove(s.Run({"position fen r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4",
                        "go depth 3"})),
        "h5f7");
  // With searchmoves the drawn move is one of those named.
  for (int i = 0; i < 5; ++i) {
    const std::string move = BestMove(s.Run({"position startpos", "go depth 3 searchmoves g1f3 b1c3"}));
    EXPECT_TRUE(move == "g1f3" || move == "b1c3") << move;
  }
  // No legal move: still the null move.
  EXPECT_EQ(BestMove(s.Run({"position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", "go depth 3"})), "0000");
}
