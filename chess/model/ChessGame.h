#pragma once
// The state of one chess game, its rules and the move routine with its
// events. The board control derives from this class and fills in the hooks;
// the engine reads Board, WhiteToMove, CastlingAllowed and EnPassant in place
// while it searches (every write of them first stops the engine).

#include <array>
#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "chess/model/CastleSet.h"
#include "chess/model/ChessEvents.h"
#include "chess/model/ChessGameHooks.h"
#include "chess/model/MoveInfo.h"
#include "chess/model/Square.h"

namespace perch {

class TChessGame {
 public:
  // Index 0 is the None square's filler, 1..64 the squares, 65 a NUL.
  using BoardArray = std::array<char, 66>;
  enum class Side { White = 0, Black = 1 };

  TChessGame();
  virtual ~TChessGame();
  TChessGame(const TChessGame&) = delete;
  TChessGame& operator=(const TChessGame&) = delete;

  // --- state properties ---------------------------------------------------
  std::string Position() const;
  void setPosition(std::string_view text);
  bool WhiteToMove() const { return whiteToMove_.load(std::memory_order_relaxed); }
  void setWhiteToMove(bool value);
  int CurrentMove() const { return currentMove_; }
  void setCurrentMove(int) {}  // the move number can only be read
  Square EnPassant() const { return enPassant_; }
  void setEnPassant(Square value);
  CastleSet CastlingAllowed() const { return castlingAllowed_.load(std::memory_order_relaxed); }
  // Stored without stopping the engine, so the field is atomic: the engine
  // may be reading it at that moment.
  void setCastlingAllowed(CastleSet value) { castlingAllowed_.store(value, std::memory_order_relaxed); }
  char PromotionPiece() const { return promotionPiece_; }
  bool GameOver() const { return gameOver_; }

  const BoardArray& Board() const { return board_; }
  // The character on a square; a blank for anything that is no square.
  char PieceAt(Square sq) const {
    const int n = SquareIndex(sq);
    return (n >= 1 && n <= 64) ? board_[n] : ' ';
  }
  // The history record of a turn, or nullptr when the turn has none.
  const MoveInfo* HistoryRecord(int moveNumber, Side side) const;

  // --- rules --------------------------------------------------------------
  int SideOf(Square sq) const;
  bool IsLegalMove(Square from, Square to) const;
  bool PawnMoveOk(Square from, Square to) const;
  bool KnightMoveOk(Square from, Square to) const;
  bool BishopMoveOk(Square from, Square to) const;
  bool RookMoveOk(Square from, Square to) const;
  bool QueenMoveOk(Square from, Square to) const;
  bool KingMoveOk(Square from, Square to) const;
  bool WhiteInCheckAfter(Square from, Square to) const;
  bool BlackInCheckAfter(Square from, Square to) const;
  bool HasLegalMove() const;
  bool IsThreefold() const;

  // --- moves --------------------------------------------------------------
  bool MakeMove(Square from, Square to);
  bool UserMove(Square from, Square to);
  void PromotePawn(Square sq);
  // Undoes the last move made: the board, the side to move, the move
  // number, castling rights, en passant square, the game-over mark and the
  // history records are as they were before it. Fires no event; false when
  // no move was made, or while a move is being made (from its handlers).
  // Writes of the state after that move do not survive its take back.
  bool TakeBackMove();
  // How many moves TakeBackMove can undo one after the other.
  int MovesToTakeBack() const { return static_cast<int>(takeBack_.size()); }
  // Whether a move is being made (its handlers are running).
  bool MakingMove() const { return movesInProgress_ > 0; }

  // --- events -------------------------------------------------------------
  TMoveEvent OnLegalMove;
  TCaptureEvent OnCapture;
  TPromotionEvent OnPromotion;
  TMoveEvent OnCastle;
  TMoveEvent OnCheck;
  TMoveEvent OnMate;
  TMoveEvent OnStaleMate;
  TNotifyEvent OnNoMatingMaterial;
  TNotifyEvent OnThreefoldPosition;
  TNotifyEvent OnDraw;
  TNotifyEvent OnPaint;
  TOneSquareEvent OnIllegalMove;  // fired by the input layer, not by MakeMove

  // The view and engine behind the model; nullptr means none.
  void setHooks(TChessGameHooks* hooks) { hooks_ = hooks; }

 protected:
  // The new-game set-up; runs once, at creation.
  void NewGame();
  TChessGameHooks& Hooks() const { return hooks_ ? *hooks_ : noHooks_; }

 private:
  Side SideToMove() const { return WhiteToMove() ? Side::White : Side::Black; }
  void PutStartPosition();
  // IsLegalMove without its repetition test, which cannot change while one
  // position is searched for moves.
  bool IsLegalIgnoringRepetition(Square from, Square to) const;
  // The attack test on a copy of the board in which the piece on `from`
  // has moved to `to`.
  bool KingAttackedAfter(Square from, Square to, bool whiteKing) const;
  bool CastlingOk(Square from, Square to) const;
  bool SlideReaches(Square from, Square to, const int (*steps)[2]) const;
  // The record of a turn, grown into existence when it is first written.
  MoveInfo& RecordToWrite(int moveNumber, Side side);
  void TakeEnPassantPawn(Square from, Square to);
  void CompleteCastling(Square from, Square to);
  void TakeCastlingRights(Square from);
  void ExcludeRight(CanStillCastle right) {
    CastleSet rights = CastlingAllowed();
    rights.Exclude(right);
    setCastlingAllowed(rights);
  }
  bool NoMatingMaterial() const;

  // The state before a move, as TakeBackMove puts it back. Of the history
  // only what the move wrote is kept: the records of its turn and of the
  // turn after, and the table's length.
  struct TakeBackPoint {
    struct Record {
      int moveNumber = 0;
      Side side = Side::White;
      MoveInfo before;
    };
    BoardArray board{};
    bool whiteToMove = true;
    int currentMove = 1;
    Square enPassant = Square::None;
    CastleSet castling;
    bool gameOver = false;
    std::size_t historyLength = 0;
    Record played;
    Record next;
    bool nextWritten = false;
  };
  // RecordToWrite, keeping the record's earlier content in the point.
  MoveInfo& RecordToWriteKept(int moveNumber, Side side, TakeBackPoint::Record& kept);

  BoardArray board_{};
  std::atomic<bool> whiteToMove_{true};
  int currentMove_ = 1;
  Square enPassant_ = Square::None;
  std::atomic<CastleSet> castlingAllowed_{CastleSet::All()};
  char promotionPiece_ = 'q';
  bool gameOver_ = false;
  // One pair of records (White, Black) per move number, grown as needed.
  std::vector<std::array<MoveInfo, 2>> history_;
  // One point per move made, last move last; it grows with the history.
  std::vector<TakeBackPoint> takeBack_;
  int movesInProgress_ = 0;  // MakeMove calls on the stack

  TChessGameHooks* hooks_ = nullptr;
  static TChessGameHooks noHooks_;
};

}  // namespace perch
