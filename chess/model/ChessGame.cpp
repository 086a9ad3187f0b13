// The state of a game: construction, the position string and the state
// properties with their write rules, and access to the history.

#include "chess/model/ChessGame.h"

#include <algorithm>
#include <cctype>

namespace perch {

namespace {

// Index 0 first (the filler of the None square), then A8 ... H1.
constexpr std::string_view StartBoard = "_rnbqkbnrpppppppp                                PPPPPPPPRNBQKBNR";

constexpr std::string_view SquareCharacters = " PNBRQKpnbrqk";

bool IsResetKeyword(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower == "init" || lower == "newgame";
}

}  // namespace

TChessGameHooks TChessGame::noHooks_;

TChessGame::TChessGame() {
  promotionPiece_ = 'q';
  NewGame();
}

TChessGame::~TChessGame() = default;

void TChessGame::NewGame() {
  Hooks().StopThinking();
  PutStartPosition();
  whiteToMove_.store(true, std::memory_order_relaxed);
  currentMove_ = 1;
  enPassant_ = Square::None;
  setCastlingAllowed(CastleSet::All());
}

void TChessGame::PutStartPosition() {
  std::copy(StartBoard.begin(), StartBoard.end(), board_.begin());
  board_[65] = '\0';
}

std::string TChessGame::Position() const { return std::string(board_.data() + 1, 64); }

void TChessGame::setPosition(std::string_view text) {
  Hooks().StopThinking();
  std::fill(board_.begin(), board_.begin() + 65, ' ');
  const std::size_t count = std::min<std::size_t>(text.size(), 64);
  for (std::size_t k = 0; k < count; ++k) {
    const char c = text[k];
    if (c == '\0') break;
    if (SquareCharacters.find(c) != std::string_view::npos) board_[k + 1] = c;
  }
  if (IsResetKeyword(text)) PutStartPosition();
  Hooks().PaintAll();
}

void TChessGame::setWhiteToMove(bool value) {
  Hooks().StopThinking();
  whiteToMove_.store(value, std::memory_order_relaxed);
}

void TChessGame::setEnPassant(Square value) {
  const int n = SquareIndex(value);
  const bool passedOver = (n >= SquareIndex(Square::A6) && n <= SquareIndex(Square::H6)) ||
                          (n >= SquareIndex(Square::A3) && n <= SquareIndex(Square::H3));
  if (!passedOver) return;
  Hooks().StopThinking();
  enPassant_ = value;
}

int TChessGame::SideOf(Square sq) const {
  const int n = SquareIndex(sq);
  if (n < 0 || n > 64) return -1;
  const char c = board_[n];
  if (c >= 'B' && c <= 'R') return 1;
  if (c >= 'b' && c <= 'r') return 0;
  return -1;
}

const MoveInfo* TChessGame::HistoryRecord(int moveNumber, Side side) const {
  if (moveNumber < 1 || static_cast<std::size_t>(moveNumber) > history_.size()) return nullptr;
  const MoveInfo& record = history_[moveNumber - 1][static_cast<int>(side)];
  return record.PositionStr.empty() ? nullptr : &record;
}

MoveInfo& TChessGame::RecordToWrite(int moveNumber, Side side) {
  // The move number starts at 1 and only ever grows, so the table grows
  // with the game instead of ending at a fixed length.
  const auto needed = static_cast<std::size_t>(std::max(moveNumber, 1));
  if (history_.size() < needed) history_.resize(needed);
  return history_[needed - 1][static_cast<int>(side)];
}

}  // namespace perch
