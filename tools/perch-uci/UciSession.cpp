// The UCI commands.

#include "UciSession.h"

#include "PerchRelease.h"

#include <algorithm>
#include <chrono>
#include <sstream>

#include "chess/engine/BenchSuite.h"
#include "chess/engine/Fen.h"

namespace {

constexpr int MaxPerftDepth = 10;

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

std::string ScoreText(int score) {
  if (score > 9000) return "mate " + std::to_string((10000 - score + 1) / 2);
  if (score < -9000) return "mate " + std::to_string(-((10000 + score) / 2));
  return "cp " + std::to_string(score);
}

}  // namespace

UciSession::UciSession(std::ostream& out) : out_(out), game_(NewGame()) { engine_->LinkGame(game_.get()); }

bool UciSession::Handle(const std::string& line) {
  const Words words = SplitWords(line);
  if (words.empty()) return true;
  const std::string& command = words[0];
  if (command == "quit") return false;
  if (command == "uci") {
    Identify();
  } else if (command == "isready") {
    out_ << "readyok\n";
  } else if (command == "ucinewgame") {
    engine_->ClearSearchMemory();
  } else if (command == "setoption") {
    SetOption(words);
  } else if (command == "position") {
    Position(words);
  } else if (command == "go") {
    Go(words);
  } else if (command == "stop" || command == "ponderhit") {
    // The search runs to its end before the next command is read.
  } else if (command == "bench") {
    Bench();
  } else if (command == "d") {
    Display();
  } else {
    Error("unknown command '" + command + "'");
  }
  out_.flush();
  return true;
}

void UciSession::Error(const std::string& what) { out_ << "info string error: " << what << "\n"; }

void UciSession::Identify() {
  out_ << "id name Perch " << PerchVersion << "\n"
       << "id author the Perch developers\n"
       << "option name EventLog type check default false\n"
       << "option name SearchDepth type spin default 4 min 1 max 8\n"
       << "uciok\n";
}

void UciSession::SetOption(const Words& words) {
  // setoption name <name> value <value>
  auto name = std::find(words.begin(), words.end(), "name");
  auto value = std::find(words.begin(), words.end(), "value");
  if (name == words.end() || name + 1 >= words.end() || value == words.end() || value + 1 >= words.end()) {
    Error("setoption needs: setoption name <name> value <value>");
    return;
  }
  const std::string& option = name[1];
  const std::string& text = value[1];
  if (option == "EventLog") {
    if (text == "true" || text == "false") eventLog_ = text == "true";
    else Error("EventLog takes true or false, not '" + text + "'");
  } else if (option == "SearchDepth") {
    int depth = 0;
    if (ParseInt(text, depth)) defaultDepth_ = std::clamp(depth, TChessThread::MinSearchDepth, TChessThread::MaxSearchDepth);
    else Error("SearchDepth takes a number, not '" + text + "'");
  } else {
    Error("unknown option '" + option + "'");
  }
}

std::unique_ptr<TChessGame> UciSession::NewGame() {
  auto game = std::make_unique<TChessGame>();
  TChessGame* g = game.get();
  auto log = [this](const std::string& text) {
    if (eventLog_) out_ << "info string event " << text << "\n";
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
    std::string error;
    const auto parsed = ParseFen(fen, error);
    if (!parsed) {
      Error(error);
      return;
    }
    ApplyFen(*parsed, *game);
  } else {
    Error("position needs startpos or fen <FEN>");
    return;
  }

  game_ = std::move(game);
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
  if (text.size() != 4 && text.size() != 5) return false;
  const Square from = ParseSquareName(text.substr(0, 2));
  const Square to = ParseSquareName(text.substr(2, 2));
  if (from == Square::None || to == Square::None) return false;
  const char pawn = game_->PieceAt(from);
  const bool promotes = (pawn == 'P' && RankOf(to) == 8) || (pawn == 'p' && RankOf(to) == 1);
  promotionLetter_ = 0;
  if (text.size() == 5) {
    const char letter = text[4];
    if (!promotes || std::string_view("nbrq").find(letter) == std::string_view::npos) return false;
    promotionLetter_ = letter;
  }
  const bool made = game_->MakeMove(from, to);
  promotionLetter_ = 0;
  return made;
}

void UciSession::Go(const Words& words) {
  int depth = defaultDepth_;
  for (size_t i = 1; i < words.size(); ++i) {
    if (words[i] == "perft") {
      int n = 0;
      if (i + 1 >= words.size() || !ParseInt(words[i + 1], n) || n < 1 || n > MaxPerftDepth) {
        Error("go perft needs a depth of 1 to " + std::to_string(MaxPerftDepth));
        return;
      }
      Perft(n);
      return;
    }
    if (words[i] == "depth") {
      if (i + 1 >= words.size() || !ParseInt(words[i + 1], depth)) {
        Error("go depth needs a number");
        return;
      }
      ++i;
    }
    // Clock and other limits are accepted and ignored: the search is by depth.
  }
  Search(std::clamp(depth, TChessThread::MinSearchDepth, TChessThread::MaxSearchDepth));
}

void UciSession::Search(int depth) {
  TChessThread& engine = *engine_;
  engine.setSearchDepth(depth);
  engine.StopSearch = false;
  auto iterationStart = std::chrono::steady_clock::now();
  engine.OnIteration = [&](int d, int score, std::uint64_t nodes) {
    const auto now = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(now - iterationStart).count();
    iterationStart = now;
    out_ << "info depth " << d << " score " << ScoreText(score) << " nodes " << nodes << " nps "
         << static_cast<std::uint64_t>(seconds > 0 ? nodes / seconds : 0) << " pv";
    for (int j = 0; j < engine.BestLineLength[0]; ++j) out_ << " " << EngineMoveName(engine.BestLine[0][j]);
    out_ << "\n";
    out_.flush();
  };
  engine.IsThinking = true;
  engine.SearchBestMove();
  engine.IsThinking = false;
  engine.OnIteration = nullptr;

  // The search leaves its choice in the best line. Where it found none (no
  // legal move, or every move scored outside the root window in an absurd
  // position) the line may hold an older move, so the choice is checked.
  engine.LoadPosition();
  TEngineMove move = engine.BestLine[0][0];
  if (!engine.IsLegalMove(move) && !engine.FirstLegalMove(move)) {
    out_ << "bestmove 0000\n";
    return;
  }
  out_ << "bestmove " << EngineMoveName(move) << "\n";
}

void UciSession::Perft(int depth) {
  engine_->LoadPosition();
  const std::uint64_t total = engine_->PerftDivide(depth, [this](TEngineMove move, std::uint64_t count) {
    out_ << EngineMoveName(move) << ": " << count << "\n";
  });
  if (engine_->PerftOverflow) Error("the position has too many moves for a perft of this depth");
  out_ << "\nNodes searched: " << total << "\n\n";
}

void UciSession::Bench() {
  auto engine = std::make_unique<TChessThread>();
  const EngineFigures figures = MeasureEngine(*engine, 1);
  out_ << PerftLine("start", 5, figures.start5) << "\n"
       << PerftLine("kiwipete", 4, figures.kiwipete4) << "\n"
       << SearchSuiteLine(figures.suiteNodes, figures.suiteSeconds) << "\n";
  // The bench games are the engine's own; the session's link stays as it was.
  engine_->LinkGame(game_.get());
}

void UciSession::Display() {
  const std::string position = game_->Position();
  for (int row = 0; row < 8; ++row) {
    std::string line = position.substr(row * 8, 8);
    std::replace(line.begin(), line.end(), ' ', '.');
    out_ << line << "\n";
  }
  const CastleSet rights = game_->CastlingAllowed();
  std::string castling;
  if (rights.Contains(CanStillCastle::WhiteKingSide)) castling += 'K';
  if (rights.Contains(CanStillCastle::WhiteQueenSide)) castling += 'Q';
  if (rights.Contains(CanStillCastle::BlackKingSide)) castling += 'k';
  if (rights.Contains(CanStillCastle::BlackQueenSide)) castling += 'q';
  out_ << "Position: \"" << position << "\"\n"
       << "WhiteToMove: " << (game_->WhiteToMove() ? "true" : "false") << "\n"
       << "CurrentMove: " << game_->CurrentMove() << "\n"
       << "EnPassant: " << (game_->EnPassant() == Square::None ? "None" : SquareName(game_->EnPassant())) << "\n"
       << "CastlingAllowed: " << (castling.empty() ? "-" : castling) << "\n"
       << "FEN: " << FormatFen(*game_) << "\n";
}
