// The UCI commands.

#include "apps/perch-uci/UciSession.h"

#include "PerchRelease.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "apps/perch-uci/GoCommand.h"
#include "apps/perch-uci/TimeManagement.h"
#include "apps/perch-uci/UciPosition.h"
#include "chess/engine/BenchSuite.h"
#include "chess/engine/Fen.h"
#include "chess/engine/PositionCheck.h"

namespace perch {

namespace {

constexpr int MaxPerftDepth = 10;
constexpr int MaxMoveOverhead = 5000;

std::vector<std::string> SplitWords(const std::string& line) {
  std::istringstream stream(line);
  std::vector<std::string> words;
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

bool ParseInt(const std::string& text, int& value) {
  try {
    size_t used = 0;
    value = std::stoi(text, &used);
    return used == text.size();
  } catch (const std::exception&) {
    return false;
  }
}

std::string Join(std::vector<std::string>::const_iterator from, std::vector<std::string>::const_iterator to) {
  std::string text;
  for (auto w = from; w != to; ++w) text += (text.empty() ? "" : " ") + *w;
  return text;
}

// Option names are not case sensitive.
bool SameName(std::string a, std::string b) {
  auto lower = [](std::string& s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  };
  lower(a), lower(b);
  return a == b;
}

}  // namespace

UciSession::UciSession(std::ostream& out) : out_(out), game_(NewGame()) {
  std::string error;
  position_ = *ParseFen(StartFen, error);
  engine_->LinkGame(game_.get());
}

UciSession::~UciSession() { EndSearch(); }

bool UciSession::Handle(const std::string& line) {
  const Words words = SplitWords(line);
  if (words.empty()) return true;
  const std::string& command = words[0];
  // Answered while a search runs.
  if (command == "quit") {
    EndSearch();
    return false;
  }
  if (command == "isready") {
    out_.Line("readyok");
  } else if (command == "stop") {
    EndSearch();
  } else if (command == "ponderhit") {
    search_.PonderHit();
  } else if (command == "uci") {
    Identify();
  } else if (command == "setoption") {
    SetOption(words);
  } else if (command == "d") {
    Display();
  } else if (command == "ucinewgame") {
    // The rest need the engine to themselves.
    EndSearchOrPerft();
    engine_->ClearSearchMemory();
  } else if (command == "position") {
    EndSearchOrPerft();
    Position(words);
  } else if (command == "go") {
    EndSearchOrPerft();
    Go(words);
  } else if (command == "bench") {
    EndSearchOrPerft();
    Bench();
  } else {
    Error("unknown command '" + command + "'");
  }
  return true;
}

void UciSession::WaitForSearch() { search_.Wait(); }

void UciSession::EndOfInput() {
  if (search_.WaitsForStop()) search_.Stop();
  search_.Wait();
}

void UciSession::EndSearchOrPerft() {
  if (search_.CountingPerft()) search_.Wait();
  else EndSearch();
}

void UciSession::EndSearch() {
  if (!search_.Running()) return;
  search_.Stop();
  search_.Wait();
}

bool UciSession::SpinValue(const std::string& option, const std::string& text, int min, int max, int& value) {
  int number = 0;
  if (!ParseInt(text, number)) {
    Error(option + " takes a number from " + std::to_string(min) + " to " + std::to_string(max) + ", not '" +
          text + "'");
    return false;
  }
  value = std::clamp(number, min, max);
  if (value != number) Info(option + " " + text + " is out of range; set to " + std::to_string(value));
  return true;
}

void UciSession::Error(const std::string& what) { out_.Line("info string error: " + what); }

void UciSession::Info(const std::string& what) { out_.Line("info string " + what); }

void UciSession::Identify() {
  out_.Line(std::string("id name Perch ") + PerchVersion);
  out_.Line("id author the Perch developers");
  out_.Line("option name EventLog type check default false");
  out_.Line("option name SearchDepth type spin default 4 min 1 max " +
            std::to_string(TChessThread::MaxSearchDepth));
  out_.Line("option name Move Overhead type spin default 30 min 0 max " + std::to_string(MaxMoveOverhead));
  out_.Line("option name Ponder type check default false");
  out_.Line("option name MultiPV type spin default 1 min 1 max " + std::to_string(TChessThread::MaxMultiPv));
  out_.Line("option name UCI_LimitStrength type check default false");
  out_.Line("option name UCI_Elo type spin default " + std::to_string(DefaultElo) + " min " +
            std::to_string(MinElo) + " max " + std::to_string(MaxElo));
  out_.Line("uciok");
}

void UciSession::SetOption(const Words& words) {
  // setoption name <name, may have spaces> [value <value>]
  const auto name = std::find(words.begin(), words.end(), "name");
  const auto value = std::find(words.begin(), words.end(), "value");
  if (name == words.end() || name + 1 >= value) {
    Error("setoption needs: setoption name <name> value <value>");
    return;
  }
  const std::string option = Join(name + 1, value);
  const std::string text = value == words.end() ? "" : Join(value + 1, words.end());
  int number = 0;
  if (SameName(option, "EventLog")) {
    if (text == "true" || text == "false") eventLog_ = text == "true";
    else Error("EventLog takes true or false, not '" + text + "'");
  } else if (SameName(option, "SearchDepth")) {
    if (ParseInt(text, number))
      defaultDepth_ = std::clamp(number, TChessThread::MinSearchDepth, TChessThread::MaxSearchDepth);
    else Error("SearchDepth takes a number, not '" + text + "'");
  } else if (SameName(option, "Move Overhead")) {
    if (ParseInt(text, number)) moveOverhead_ = std::clamp(number, 0, MaxMoveOverhead);
    else Error("Move Overhead takes a number of milliseconds, not '" + text + "'");
  } else if (SameName(option, "MultiPV")) {
    SpinValue("MultiPV", text, 1, TChessThread::MaxMultiPv, multiPv_);
  } else if (SameName(option, "UCI_LimitStrength")) {
    if (text == "true" || text == "false") limitStrength_ = text == "true";
    else Error("UCI_LimitStrength takes true or false, not '" + text + "'");
  } else if (SameName(option, "UCI_Elo")) {
    SpinValue("UCI_Elo", text, MinElo, MaxElo, elo_);
  } else if (SameName(option, "Ponder")) {
    // The chess program tells whether it will ponder; the time use is the same.
  } else if (SameName(option, "Hash")) {
    Info("Hash is ignored: the engine keeps no hash table");
  } else if (SameName(option, "Threads")) {
    Info("Threads is ignored: the engine searches on one thread");
  } else {
    Error("unknown option '" + option + "'");
  }
}

std::unique_ptr<TChessGame> UciSession::NewGame() {
  auto game = std::make_unique<TChessGame>();
  TChessGame* g = game.get();
  auto log = [this](const std::string& text) {
    if (eventLog_) out_.Line("info string event " + text);
  };
  auto move = [log](const char* name) {
    return [log, name](TChessGame*, Square from, Square to) {
      log(std::string(name) + " " + SquareName(from) + " " + SquareName(to));
    };
  };
  auto notify = [log](const char* name) { return [log, name](TChessGame*) { log(name); }; };
  g->OnLegalMove = move("OnLegalMove");
  g->OnCastle = move("OnCastle");
  g->OnCheck = move("OnCheck");
  g->OnMate = move("OnMate");
  g->OnStaleMate = move("OnStaleMate");
  g->OnCapture = [log](TChessGame*, Square from, Square to, char captured) {
    log("OnCapture " + SquareName(from) + " " + SquareName(to) + " " + std::string(1, captured));
  };
  g->OnPromotion = [this, log](TChessGame*, Square from, Square to, char& piece) {
    if (promotionLetter_) piece = promotionLetter_;
    log("OnPromotion " + SquareName(from) + " " + SquareName(to) + " " + std::string(1, piece));
  };
  g->OnNoMatingMaterial = notify("OnNoMatingMaterial");
  g->OnThreefoldPosition = notify("OnThreefoldPosition");
  g->OnDraw = notify("OnDraw");
  g->OnPaint = notify("OnPaint");
  return game;
}

void UciSession::Position(const Words& words) {
  auto moves = std::find(words.begin(), words.end(), "moves");
  auto game = NewGame();
  std::string error;
  FenPosition position = *ParseFen(StartFen, error);
  if (words.size() >= 2 && words[1] == "startpos") {
    if (moves != words.begin() + 2 && moves != words.end()) {
      Error("unexpected '" + words[2] + "' after startpos");
      return;
    }
    if (moves == words.end() && words.size() > 2) {
      Error("unexpected '" + words[2] + "' after startpos");
      return;
    }
  } else if (words.size() >= 2 && words[1] == "fen") {
    std::string fen;
    for (auto w = words.begin() + 2; w != moves; ++w) fen += (fen.empty() ? "" : " ") + *w;
    const auto parsed = ParseFen(fen, error);
    if (!parsed) {
      Error(error);
      return;
    }
    ApplyFen(*parsed, *game);
    // Positions no game reaches are refused: they are mistakes, and some of
    // them hold more checks and captures than any search gets through.
    engine_->LinkGame(game.get());
    engine_->LoadPosition();
    const std::string fault = UnreachablePositionFault(*engine_, *parsed);
    engine_->LinkGame(game_.get());
    if (!fault.empty()) {
      Error("position refused, no game reaches it: " + fault);
      return;
    }
    position = *parsed;
  } else {
    Error("position needs startpos or fen <FEN>");
    return;
  }

  game_ = std::move(game);
  position_ = position;
  engine_->LinkGame(game_.get());
  if (moves == words.end()) return;
  for (auto w = moves + 1; w != words.end(); ++w) {
    if (!PlayMove(*w)) {
      Error("illegal move '" + *w + "'");
      return;
    }
  }
}

bool UciSession::PlayMove(const std::string& text) {
  const char modelPiece =
      static_cast<char>(std::tolower(static_cast<unsigned char>(game_->PromotionPiece())));
  FenPosition after = position_;
  const bool legal = PlayUciMove(*engine_, after, text, modelPiece);
  engine_->LinkGame(game_.get());
  if (!legal) return false;
  position_ = after;

  // The model's events, where its rules agree.
  const Square from = ParseSquareName(text.substr(0, 2));
  const Square to = ParseSquareName(text.substr(2, 2));
  promotionLetter_ = text.size() == 5 ? text[4] : '\0';
  const bool made = game_->MakeMove(from, to);
  promotionLetter_ = 0;
  const bool same =
      made && game_->Position() == position_.position && game_->WhiteToMove() == position_.whiteToMove &&
      game_->CastlingAllowed() == position_.castling && game_->EnPassant() == position_.enPassant;
  if (!same) RebuildGame();
  return true;
}

void UciSession::RebuildGame() {
  game_ = NewGame();
  ApplyFen(position_, *game_);
  engine_->LinkGame(game_.get());
}

void UciSession::Go(const Words& words) {
  std::vector<std::string> errors;
  GoCommand go = ParseGo(Words(words.begin() + 1, words.end()), errors);
  if (go.mate && *go.mate < 1) {
    errors.emplace_back("go mate needs a number of moves of 1 or more");
    go.mate.reset();
  }
  for (const std::string& e : errors) Error(e);
  if (go.perft) {
    if (*go.perft < 1 || *go.perft > MaxPerftDepth)
      Error("go perft needs a depth of 1 to " + std::to_string(MaxPerftDepth));
    else Perft(*go.perft);
    return;
  }
  SearchOrder order;
  order.depth =
      std::clamp(go.depth.value_or(go.HasNoLimitFor(position_.whiteToMove) ? defaultDepth_
                                                                           : TChessThread::MaxSearchDepth),
                 TChessThread::MinSearchDepth, TChessThread::MaxSearchDepth);
  if (go.mate) {
    order.mate = *go.mate;
    order.depth = std::min(order.depth, 2 * *go.mate);
  }
  if (go.nodes) order.nodes = *go.nodes;
  order.time = AllocateMoveTime(go, position_.whiteToMove, moveOverhead_);
  order.infinite = go.infinite;
  order.ponder = go.ponder;
  order.multiPv = multiPv_;
  if (limitStrength_) order.weakness = WeaknessForElo(elo_);
  engine_->LinkGame(game_.get());
  if (!go.searchmoves.empty()) order.rootMoves = SearchMoves(go.searchmoves);
  search_.Start(order);
}

std::vector<TEngineMove> UciSession::SearchMoves(const Words& names) {
  engine_->LoadPosition();
  TEngineMove legal[TChessThread::MaxRootMoves];
  const int count = engine_->LegalMoves(legal, TChessThread::MaxRootMoves);
  std::vector<TEngineMove> chosen;
  for (const std::string& name : names) {
    const auto* found =
        std::find_if(legal, legal + count, [&](TEngineMove move) { return EngineMoveName(move) == name; });
    if (found == legal + count) Info("searchmoves: '" + name + "' is not a legal move here; ignored");
    else if (std::find(chosen.begin(), chosen.end(), *found) == chosen.end()) chosen.push_back(*found);
  }
  if (chosen.empty() && count > 0) Info("searchmoves: no legal move named; every move is searched");
  return chosen;
}

void UciSession::Perft(int depth) {
  engine_->LinkGame(game_.get());
  search_.StartPerft(depth);
}

void UciSession::Bench() {
  auto engine = std::make_unique<TChessThread>();
  const EngineFigures figures = MeasureEngine(*engine, 1);
  out_.Line(PerftLine("start", 5, figures.start5));
  out_.Line(PerftLine("kiwipete", 4, figures.kiwipete4));
  out_.Line(SearchSuiteLine(figures.suiteNodes, figures.suiteSeconds));
  // The bench games are the engine's own; the session's link stays as it was.
  engine_->LinkGame(game_.get());
}

void UciSession::Display() {
  const std::string& position = position_.position;
  for (int row = 0; row < 8; ++row) {
    std::string line = position.substr(static_cast<std::size_t>(row) * 8, 8);
    std::replace(line.begin(), line.end(), ' ', '.');
    out_.Line(line);
  }
  const CastleSet rights = position_.castling;
  std::string castling;
  if (rights.Contains(CanStillCastle::WhiteKingSide)) castling += 'K';
  if (rights.Contains(CanStillCastle::WhiteQueenSide)) castling += 'Q';
  if (rights.Contains(CanStillCastle::BlackKingSide)) castling += 'k';
  if (rights.Contains(CanStillCastle::BlackQueenSide)) castling += 'q';
  out_.Line("Position: \"" + position + "\"");
  out_.Line(std::string("WhiteToMove: ") + (position_.whiteToMove ? "true" : "false"));
  out_.Line("CurrentMove: " + std::to_string(position_.fullMoveNumber));
  const Square ep = position_.enPassant;
  out_.Line("EnPassant: " + (ep == Square::None ? std::string("None") : SquareName(ep)));
  out_.Line("CastlingAllowed: " + (castling.empty() ? std::string("-") : castling));
  out_.Line("FEN: " + FormatFen(position_));
}

}  // namespace perch
