// Moves of the chess program's game, made on the engine's board.

#include "apps/perch-uci/UciPosition.h"

#include "chess/model/ChessGame.h"

namespace perch {

namespace {

constexpr char WhiteLetters[] = "PNBRQK";
constexpr char BlackLetters[] = "pnbrqk";

int PromotionPiece(char letter) {
  switch (letter) {
    case 'n': return engine::Knight;
    case 'b': return engine::Bishop;
    case 'r': return engine::Rook;
    case 'q': return engine::Queen;
    default: return -1;
  }
}

}  // namespace

bool PlayUciMove(TChessThread& engine, FenPosition& position, std::string_view move, char promotion) {
  if (move.size() != 4 && move.size() != 5) return false;
  const Square from = ParseSquareName(move.substr(0, 2));
  const Square to = ParseSquareName(move.substr(2, 2));
  if (from == Square::None || to == Square::None) return false;
  const int letterPiece = move.size() == 5 ? PromotionPiece(move[4]) : PromotionPiece(promotion);
  if (move.size() == 5 && letterPiece < 0) return false;

  TChessGame game;
  ApplyFen(position, game);
  engine.LinkGame(&game);
  engine.LoadPosition();
  engine.LinkGame(nullptr);
  const int fromIndex = SquareIndex(from) - 1, toIndex = SquareIndex(to) - 1;
  engine.GenerateMoves();
  TEngineMove chosen{};
  bool found = false;
  for (int i = engine.PlyFirst(0); i < engine.PlyEnd(0) && !found; ++i) {
    const TEngineMove candidate = engine.MoveList(i).move;
    if (candidate.from != fromIndex || candidate.to != toIndex) continue;
    const bool promotes = candidate.flags & engine::FlagPromotion;
    // A letter on a move that does not promote makes it no move.
    if (move.size() == 5 && !promotes) return false;
    if (promotes && candidate.promote != letterPiece) continue;
    chosen = candidate;
    found = true;
  }
  if (!found) return false;
  const bool resetsClock =
      chosen.flags & (engine::FlagCapture | engine::FlagPawnMove | engine::FlagEnPassant);
  if (!engine.DoMove(chosen)) return false;

  for (int s = 0; s < 64; ++s) {
    const int side = engine.SquareSide(s);
    const int piece = engine.SquarePiece(s);
    position.position[static_cast<std::size_t>(s)] =
        side == engine::Empty ? ' ' : (side == engine::White ? WhiteLetters : BlackLetters)[piece];
  }
  position.castling = CastleSet(static_cast<std::uint8_t>(engine.CastleRights()));
  position.enPassant = engine.EpSquare() < 0 ? Square::None : SquareFromIndex(engine.EpSquare() + 1);
  if (!position.whiteToMove) ++position.fullMoveNumber;
  position.whiteToMove = engine.SideToMove() == engine::White;
  if (resetsClock) position.halfMoveClock = 0;
  engine.UndoMove();
  return true;
}

}  // namespace perch
