// The move routine: every move of the game, the user's and the engine's,
// is made here and reported through the game events.

#include <cctype>
#include <cstddef>
#include <string_view>
#include <utility>

#include "chess/model/ChessGame.h"

namespace perch {

namespace {

// Weights for the mating-material test; a side needs 5 or more to mate.
int MaterialWeight(char piece) {
  switch (std::tolower(static_cast<unsigned char>(piece))) {
    case 'p':
    case 'r':
    case 'q': return 5;
    case 'b': return 3;
    case 'n': return 2;
    default: return 0;
  }
}

// A pawn becomes a queen, rook, bishop or knight; a second king or a pawn on
// the last rank would leave a game no rule can go on with.
bool IsPromotionLetter(char c) { return std::string_view("NBRQnbrq").find(c) != std::string_view::npos; }

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// Releases the engine however the user's move ends, a throwing handler
// included, so that the engine is never left parked for good.
class EngineHoldGuard {
 public:
  explicit EngineHoldGuard(TChessGameHooks& hooks) : hooks_(hooks) { hooks_.StopThinking(); }
  ~EngineHoldGuard() {
    hooks_.ReleaseEngineHold();
    hooks_.StartThinking();
  }
  EngineHoldGuard(const EngineHoldGuard&) = delete;
  EngineHoldGuard& operator=(const EngineHoldGuard&) = delete;

 private:
  TChessGameHooks& hooks_;
};

}  // namespace

bool TChessGame::UserMove(Square from, Square to) {
  EngineHoldGuard hold(Hooks());
  return MakeMove(from, to);
}

bool TChessGame::MakeMove(Square from, Square to) {
  const bool wasOver = gameOver_;
  gameOver_ = false;
  if (!IsLegalMove(from, to)) return false;

  // What a take back puts back. Handlers may make moves of their own, which
  // add points after this one, so it is reached by its index.
  const std::size_t point = takeBack_.size();
  {
    TakeBackPoint& before = takeBack_.emplace_back();
    before.board = board_;
    before.whiteToMove = WhiteToMove();
    before.currentMove = currentMove_;
    before.enPassant = enPassant_;
    before.castling = CastlingAllowed();
    before.gameOver = wasOver;
    before.historyLength = history_.size();
  }
  ++movesInProgress_;
  struct InProgress {
    int& count;
    ~InProgress() { --count; }
  } inProgress{movesInProgress_};

  // The turn being played, with its move. Handlers may write the state
  // while the move runs, so every step below reads it afresh.
  {
    MoveInfo& played = RecordToWriteKept(currentMove_, SideToMove(), takeBack_[point].played);
    played.PositionStr = Position();
    played.Castling = CastlingAllowed();
    played.OldSq = from;
    played.NewSq = to;
    played.EnPassantSq = enPassant_;
  }

  TChessGameHooks& hooks = Hooks();
  hooks.PaintSquare(from);
  if (hooks.AnimateMoves() && (from != hooks.DragFromSquare() || to != hooks.DropSquare())) {
    hooks.PaintBoardLines();
    hooks.AnimateMove(from, to);
  }

  const char captured = board_[SquareIndex(to)];
  board_[SquareIndex(to)] = board_[SquareIndex(from)];
  board_[SquareIndex(from)] = ' ';
  hooks.PaintSquare(to);
  hooks.DrawPiece(to);
  hooks.PaintBoardLines();

  if (!WhiteToMove()) ++currentMove_;
  whiteToMove_.store(!WhiteToMove(), std::memory_order_relaxed);

  if (OnLegalMove) OnLegalMove(this, from, to);
  if (captured != ' ' && OnCapture) OnCapture(this, from, to, captured);

  const char arrived = PieceAt(to);
  if ((arrived == 'P' || arrived == 'p') && (RankOf(to) == 8 || RankOf(to) == 1)) {
    if (OnPromotion) {
      const char offered = promotionPiece_;
      OnPromotion(this, from, to, promotionPiece_);
      // Anything a pawn cannot become keeps the letter that was offered.
      if (!IsPromotionLetter(promotionPiece_)) promotionPiece_ = offered;
    }
    PromotePawn(to);
  }

  TakeEnPassantPawn(from, to);

  const char moved = PieceAt(to);
  if ((moved == 'P' && RankOf(from) == 2 && RankOf(to) == 4) ||
      (moved == 'p' && RankOf(from) == 7 && RankOf(to) == 5)) {
    enPassant_ = SquareFromIndex((SquareIndex(from) + SquareIndex(to)) / 2);
  } else {
    enPassant_ = Square::None;
  }

  CompleteCastling(from, to);
  TakeCastlingRights(from);

  // Check on the whole move; from = to tests the board as it stands.
  const bool check = WhiteInCheckAfter(Square::A8, Square::A8) || BlackInCheckAfter(Square::A8, Square::A8);
  const bool canMove = HasLegalMove();
  bool draw = false;
  if (check) {
    if (OnCheck) OnCheck(this, from, to);
    if (!canMove && OnMate) {
      gameOver_ = true;
      OnMate(this, from, to);
    }
  } else if (!canMove) {
    if (OnStaleMate) OnStaleMate(this, from, to);
    draw = true;
  }

  if (NoMatingMaterial()) {
    if (OnNoMatingMaterial) OnNoMatingMaterial(this);
    draw = true;
  }

  // The turn that follows, with its position; its move is written when it
  // is played.
  {
    takeBack_[point].nextWritten = true;
    MoveInfo& next = RecordToWriteKept(currentMove_, SideToMove(), takeBack_[point].next);
    next.PositionStr = Position();
    next.Castling = CastlingAllowed();
    next.EnPassantSq = enPassant_;
  }

  if (IsThreefold()) {
    if (OnThreefoldPosition) OnThreefoldPosition(this);
    draw = true;
  }

  if (draw && OnDraw) {
    gameOver_ = true;
    OnDraw(this);
  }
  if (OnPaint) OnPaint(this);
  Hooks().MoveMade();
  return true;
}

MoveInfo& TChessGame::RecordToWriteKept(int moveNumber, Side side, TakeBackPoint::Record& kept) {
  kept.moveNumber = moveNumber;
  kept.side = side;
  if (const MoveInfo* earlier = HistoryRecord(moveNumber, side)) kept.before = *earlier;
  return RecordToWrite(moveNumber, side);
}

bool TChessGame::TakeBackMove() {
  // Inside a move its handlers see a half-made move; undoing under it would
  // leave the rest of the move to be made on the restored board.
  if (takeBack_.empty() || movesInProgress_ > 0) return false;
  Hooks().StopThinking();
  const TakeBackPoint point = std::move(takeBack_.back());
  takeBack_.pop_back();

  // The records in the reverse order of their writing, then the table's
  // length, which drops every record the move grew.
  const auto restore = [this](const TakeBackPoint::Record& r) {
    if (static_cast<std::size_t>(r.moveNumber) <= history_.size())
      history_[r.moveNumber - 1][static_cast<int>(r.side)] = r.before;
  };
  if (point.nextWritten) restore(point.next);
  restore(point.played);
  history_.resize(point.historyLength);

  board_ = point.board;
  whiteToMove_.store(point.whiteToMove, std::memory_order_relaxed);
  currentMove_ = point.currentMove;
  enPassant_ = point.enPassant;
  setCastlingAllowed(point.castling);
  gameOver_ = point.gameOver;
  return true;
}

void TChessGame::TakeEnPassantPawn(Square from, Square to) {
  // The en passant square here is still the one the previous move set.
  if (to != enPassant_ || FileOf(from) == FileOf(to)) return;
  const char pawn = PieceAt(to);
  Square taken = Square::None;
  if (RankOf(to) == 6 && pawn == 'P') taken = SquareOf(FileOf(to), 5);
  if (RankOf(to) == 3 && pawn == 'p') taken = SquareOf(FileOf(to), 4);
  if (taken == Square::None) return;
  if (OnCapture) OnCapture(this, from, to, PieceAt(taken));
  board_[SquareIndex(taken)] = ' ';
  Hooks().PaintSquare(taken);
  Hooks().PaintBoardLines();  // the repaint cut the lines along that square
}

void TChessGame::CompleteCastling(Square from, Square to) {
  struct RookMove {
    Square kingFrom, kingTo;
    char king;
    Square rookFrom, rookTo;
    char rook;
  };
  static constexpr RookMove RookMoves[4] = {
      {Square::E1, Square::G1, 'K', Square::H1, Square::F1, 'R'},
      {Square::E1, Square::C1, 'K', Square::A1, Square::D1, 'R'},
      {Square::E8, Square::G8, 'k', Square::H8, Square::F8, 'r'},
      {Square::E8, Square::C8, 'k', Square::A8, Square::D8, 'r'},
  };
  for (const RookMove& m : RookMoves) {
    if (from != m.kingFrom || to != m.kingTo || PieceAt(to) != m.king) continue;
    board_[SquareIndex(m.rookTo)] = m.rook;
    board_[SquareIndex(m.rookFrom)] = ' ';
    Hooks().PaintSquare(m.rookFrom);
    Hooks().DrawPiece(m.rookTo);
    Hooks().PaintBoardLines();
    if (OnCastle) OnCastle(this, from, to);
    return;
  }
}

void TChessGame::TakeCastlingRights(Square from) {
  // By the square a move leaves, whatever stood there; a capture on a
  // corner takes nothing away.
  switch (from) {
    case Square::E1:
      ExcludeRight(CanStillCastle::WhiteKingSide);
      ExcludeRight(CanStillCastle::WhiteQueenSide);
      break;
    case Square::H1: ExcludeRight(CanStillCastle::WhiteKingSide); break;
    case Square::A1: ExcludeRight(CanStillCastle::WhiteQueenSide); break;
    case Square::E8:
      ExcludeRight(CanStillCastle::BlackKingSide);
      ExcludeRight(CanStillCastle::BlackQueenSide);
      break;
    case Square::H8: ExcludeRight(CanStillCastle::BlackKingSide); break;
    case Square::A8: ExcludeRight(CanStillCastle::BlackQueenSide); break;
    default: break;
  }
}

bool TChessGame::NoMatingMaterial() const {
  int white = 0;
  int black = 0;
  for (int n = 1; n <= 64; ++n) {
    const char c = board_[n];
    if (SideOf(SquareFromIndex(n)) == 1) white += MaterialWeight(c);
    if (SideOf(SquareFromIndex(n)) == 0) black += MaterialWeight(c);
  }
  return white < 5 && black < 5;
}

void TChessGame::PromotePawn(Square sq) {
  const int rank = RankOf(sq);
  if (rank != 8 && rank != 1) return;
  const char upper = UpperAscii(promotionPiece_);
  board_[SquareIndex(sq)] = rank == 8 ? upper : static_cast<char>(upper + 32);
  Hooks().PaintSquare(sq);
  Hooks().DrawPiece(sq);
  Hooks().PaintBoardLines();
}

}  // namespace perch
