// FEN reading and writing, square and move names.

#include "chess/engine/Fen.h"

#include <algorithm>
#include <cctype>

#include "chess/model/ChessGame.h"

namespace perch {

namespace {

bool IsPieceLetter(char c) { return std::string_view("PNBRQKpnbrqk").find(c) != std::string_view::npos; }

bool IsNumber(std::string_view text) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

}  // namespace

std::string SquareName(Square sq) {
  if (sq == Square::None) return "";
  return {static_cast<char>('a' + FileOf(sq) - 1), static_cast<char>('0' + RankOf(sq))};
}

Square ParseSquareName(std::string_view name) {
  if (name.size() != 2) return Square::None;
  const int file = name[0] - 'a' + 1, rank = name[1] - '0';
  return SquareOf(file, rank);
}

std::string EngineMoveName(TEngineMove move) {
  std::string text = SquareName(SquareFromIndex(move.from + 1)) + SquareName(SquareFromIndex(move.to + 1));
  if ((move.flags & engine::FlagPromotion) && move.promote >= engine::Knight && move.promote <= engine::Queen)
    text += "?nbrq"[move.promote];
  return text;
}

std::optional<FenPosition> ParseFen(std::string_view fen, std::string& error) {
  std::string_view fields[6];
  int count = 0;
  size_t i = 0;
  while (i < fen.size()) {
    while (i < fen.size() && fen[i] == ' ') ++i;
    if (i == fen.size()) break;
    const size_t start = i;
    while (i < fen.size() && fen[i] != ' ') ++i;
    if (count == 6) {
      error = "bad FEN: too many fields";
      return std::nullopt;
    }
    fields[count++] = fen.substr(start, i - start);
  }
  if (count < 4) {
    error = "bad FEN: expected at least 4 fields, found " + std::to_string(count);
    return std::nullopt;
  }

  FenPosition result;
  result.position.assign(64, ' ');
  int row = 0, file = 0;
  for (char c : fields[0]) {
    if (c == '/') {
      if (file != 8 || row == 7) {
        error = "bad FEN: rank " + std::to_string(8 - row) + " does not have 8 squares";
        return std::nullopt;
      }
      ++row;
      file = 0;
    } else if (c >= '1' && c <= '8') {
      file += c - '0';
      if (file > 8) {
        error = "bad FEN: rank " + std::to_string(8 - row) + " has more than 8 squares";
        return std::nullopt;
      }
    } else if (IsPieceLetter(c)) {
      if (file >= 8) {
        error = "bad FEN: rank " + std::to_string(8 - row) + " has more than 8 squares";
        return std::nullopt;
      }
      result.position[row * 8 + file++] = c;
    } else {
      error = std::string("bad FEN: unexpected character '") + c + "' in the piece placement";
      return std::nullopt;
    }
  }
  if (row != 7 || file != 8) {
    error = "bad FEN: the piece placement does not have 8 ranks of 8 squares";
    return std::nullopt;
  }

  if (fields[1] == "w" || fields[1] == "b") {
    result.whiteToMove = fields[1] == "w";
  } else {
    error = "bad FEN: side to move must be w or b, not '" + std::string(fields[1]) + "'";
    return std::nullopt;
  }

  if (fields[2] != "-") {
    for (char c : fields[2]) {
      CanStillCastle right;
      switch (c) {
        case 'K': right = CanStillCastle::WhiteKingSide; break;
        case 'Q': right = CanStillCastle::WhiteQueenSide; break;
        case 'k': right = CanStillCastle::BlackKingSide; break;
        case 'q': right = CanStillCastle::BlackQueenSide; break;
        default:
          error =
              "bad FEN: castling rights must be letters of KQkq or -, not '" + std::string(fields[2]) + "'";
          return std::nullopt;
      }
      result.castling.Include(right);
    }
  }

  if (fields[3] != "-") {
    const Square ep = ParseSquareName(fields[3]);
    if (ep == Square::None || (RankOf(ep) != 3 && RankOf(ep) != 6)) {
      error = "bad FEN: en passant square must be on rank 3 or 6, not '" + std::string(fields[3]) + "'";
      return std::nullopt;
    }
    result.enPassant = ep;
  }

  for (int k = 4; k < count; ++k) {
    if (!IsNumber(fields[k])) {
      error = "bad FEN: move counter '" + std::string(fields[k]) + "' is not a number";
      return std::nullopt;
    }
  }
  // At most nine digits each, so the numbers fit.
  if (count > 4) result.halfMoveClock = std::stoi(std::string(fields[4]));
  if (count > 5) result.fullMoveNumber = std::max(std::stoi(std::string(fields[5])), 1);
  return result;
}

void ApplyFen(const FenPosition& fen, TChessGame& game) {
  game.setPosition(fen.position);
  game.setWhiteToMove(fen.whiteToMove);
  game.setCastlingAllowed(fen.castling);
  if (fen.enPassant != Square::None) game.setEnPassant(fen.enPassant);
}

namespace {

std::string FenText(const std::string& position, bool whiteToMove, CastleSet rights, Square enPassant,
                    int halfMoveClock, int fullMoveNumber) {
  std::string text;
  for (int row = 0; row < 8; ++row) {
    int blanks = 0;
    for (int file = 0; file < 8; ++file) {
      const char c = position[row * 8 + file];
      if (c == ' ') {
        ++blanks;
        continue;
      }
      if (blanks) text += static_cast<char>('0' + blanks);
      blanks = 0;
      text += c;
    }
    if (blanks) text += static_cast<char>('0' + blanks);
    if (row < 7) text += '/';
  }
  text += whiteToMove ? " w " : " b ";
  std::string castling;
  if (rights.Contains(CanStillCastle::WhiteKingSide)) castling += 'K';
  if (rights.Contains(CanStillCastle::WhiteQueenSide)) castling += 'Q';
  if (rights.Contains(CanStillCastle::BlackKingSide)) castling += 'k';
  if (rights.Contains(CanStillCastle::BlackQueenSide)) castling += 'q';
  text += castling.empty() ? "-" : castling;
  text += ' ';
  text += enPassant == Square::None ? "-" : SquareName(enPassant);
  text += " " + std::to_string(halfMoveClock) + " " + std::to_string(fullMoveNumber);
  return text;
}

}  // namespace

std::string FormatFen(const TChessGame& game) {
  return FenText(game.Position(), game.WhiteToMove(), game.CastlingAllowed(), game.EnPassant(), 0,
                 game.CurrentMove());
}

std::string FormatFen(const FenPosition& fen) {
  return FenText(fen.position, fen.whiteToMove, fen.castling, fen.enPassant, fen.halfMoveClock,
                 fen.fullMoveNumber);
}

}  // namespace perch
