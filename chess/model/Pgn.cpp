// Portable Game Notation of a game: each recorded move is replayed on a
// game of its own, set up from its record, which decides what its notation
// needs (the piece, another piece that could go there, check and mate).

#include "chess/model/Pgn.h"

#include <array>
#include <cctype>
#include <optional>
#include <vector>

namespace perch {

namespace {

using Side = TChessGame::Side;

constexpr std::string_view StartPositionText =
    "rnbqkbnrpppppppp                                PPPPPPPPRNBQKBNR";

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

std::string SquareText(Square sq) {
  return {static_cast<char>('a' + FileOf(sq) - 1), static_cast<char>('0' + RankOf(sq))};
}

// The state a record holds, set up on a game of its own (with no history,
// so no repetition refuses its moves).
struct TurnState {
  std::string position;
  bool whiteToMove = true;
  CastleSet castling;
  Square enPassant = Square::None;
};

void SetUp(TChessGame& game, const TurnState& state) {
  game.setPosition(state.position);
  game.setWhiteToMove(state.whiteToMove);
  game.setCastlingAllowed(state.castling);
  if (state.enPassant != Square::None) game.setEnPassant(state.enPassant);
}

std::string FenOf(const TurnState& state, int moveNumber) {
  std::string text;
  for (std::size_t row = 0; row < 8; ++row) {
    int blanks = 0;
    for (std::size_t file = 0; file < 8; ++file) {
      const char c = state.position[row * 8 + file];
      if (c == ' ') {
        ++blanks;
        continue;
      }
      if (blanks > 0) text += static_cast<char>('0' + blanks);
      blanks = 0;
      text += c;
    }
    if (blanks > 0) text += static_cast<char>('0' + blanks);
    if (row < 7) text += '/';
  }
  text += state.whiteToMove ? " w " : " b ";
  const std::string_view letters = "KQkq";
  std::string rights;
  for (int bit = 0; bit < 4; ++bit)
    if (state.castling.Contains(static_cast<CanStillCastle>(bit))) rights += letters[bit];
  text += rights.empty() ? "-" : rights;
  text += " " + (state.enPassant == Square::None ? std::string("-") : SquareText(state.enPassant));
  return text + " 0 " + std::to_string(moveNumber);
}

std::string TagValue(const std::string& value, std::string_view unknown) {
  if (value.empty()) return std::string(unknown);
  std::string escaped;
  for (const char c : value) {
    if (c == '"' || c == '\\') escaped += '\\';
    // A tag is one line.
    escaped += (c == '\n' || c == '\r') ? ' ' : c;
  }
  return escaped;
}

// The notation without its check mark.
std::string SanBody(const TChessGame& game, Square from, Square to, char promotion) {
  const char piece = Upper(game.PieceAt(from));
  if (piece == 'K' && std::abs(FileOf(to) - FileOf(from)) == 2)
    return FileOf(to) > FileOf(from) ? "O-O" : "O-O-O";
  std::string san;
  if (piece == 'P') {
    if (FileOf(from) != FileOf(to)) san = std::string(1, static_cast<char>('a' + FileOf(from) - 1)) + "x";
    san += SquareText(to);
    if (RankOf(to) == 8 || RankOf(to) == 1) san += std::string("=") + Upper(promotion);
    return san;
  }
  san = piece;
  // Another piece of the kind that may go there too.
  bool other = false, sameFile = false, sameRank = false;
  for (int n = 1; n <= 64; ++n) {
    const Square sq = SquareFromIndex(n);
    if (sq == from || game.PieceAt(sq) != game.PieceAt(from) || !game.IsLegalMove(sq, to)) continue;
    other = true;
    sameFile = sameFile || FileOf(sq) == FileOf(from);
    sameRank = sameRank || RankOf(sq) == RankOf(from);
  }
  if (other) {
    const std::string square = SquareText(from);
    if (!sameFile) san += square[0];
    else if (!sameRank) san += square[1];
    else san += square;
  }
  if (game.PieceAt(to) != ' ') san += 'x';
  return san + SquareText(to);
}

char PromotionOrQueen(char promotion) {
  const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(promotion)));
  return std::string_view("qrbn").find(lower) != std::string_view::npos ? lower : 'q';
}

// The move played on a game set up as `state`: its notation, or nothing
// when the move is not legal there.
std::optional<std::string> PlayedSan(const TurnState& state, Square from, Square to, char promotion) {
  TChessGame game;
  SetUp(game, state);
  if (!game.IsLegalMove(from, to)) return std::nullopt;
  std::string san = SanBody(game, from, to, promotion);
  bool check = false;
  game.OnCheck = [&check](TChessGame*, Square, Square) { check = true; };
  game.OnPromotion = [promotion](TChessGame*, Square, Square, char& piece) { piece = promotion; };
  if (!game.MakeMove(from, to)) return std::nullopt;
  if (check) san += game.HasLegalMove() ? "+" : "#";
  return san;
}

}  // namespace

std::string MoveSan(const TChessGame& game, Square from, Square to, char promotion) {
  if (!game.IsLegalMove(from, to)) return {};
  const TurnState state{game.Position(), game.WhiteToMove(), game.CastlingAllowed(), game.EnPassant()};
  return PlayedSan(state, from, to, PromotionOrQueen(promotion)).value_or(std::string());
}

std::string GamePgn(const TChessGame& game, const TPgnTags& tags, std::string_view result) {
  const bool known = result == "1-0" || result == "0-1" || result == "1/2-1/2" || result == "*";
  const std::string resultText = known ? std::string(result) : "*";

  // The recorded turns in order, from the first one written.
  struct Turn {
    int moveNumber;
    Side side;
    const MoveInfo* record;
  };
  std::vector<Turn> turns;
  for (int n = 1; n <= game.CurrentMove(); ++n) {
    for (const Side side : {Side::White, Side::Black}) {
      const MoveInfo* record = game.HistoryRecord(n, side);
      if (record == nullptr) {
        if (!turns.empty()) break;
        continue;
      }
      turns.push_back({n, side, record});
      if (record->OldSq == Square::None) break;  // the turn still to be played
    }
    if (!turns.empty() && turns.back().record->OldSq == Square::None) break;
  }

  const auto stateOf = [](const Turn& t) {
    return TurnState{t.record->PositionStr, t.side == Side::White, t.record->Castling, t.record->EnPassantSq};
  };

  std::string text;
  const auto tag = [&text](std::string_view name, const std::string& value) {
    text += "[" + std::string(name) + " \"" + value + "\"]\n";
  };
  tag("Event", TagValue(tags.event, "?"));
  tag("Site", TagValue(tags.site, "?"));
  tag("Date", TagValue(tags.date, "????.??.??"));
  tag("Round", TagValue(tags.round, "?"));
  tag("White", TagValue(tags.white, "?"));
  tag("Black", TagValue(tags.black, "?"));
  tag("Result", resultText);
  if (!turns.empty()) {
    const TurnState first = stateOf(turns.front());
    if (first.position != StartPositionText || !first.whiteToMove || first.castling != CastleSet::All() ||
        turns.front().moveNumber != 1) {
      tag("SetUp", "1");
      tag("FEN", FenOf(first, turns.front().moveNumber));
    }
  }
  text += "\n";

  // The move text, in lines of at most 79 columns.
  std::string line;
  const auto add = [&](const std::string& token) {
    if (!line.empty() && line.size() + 1 + token.size() > 79) {
      text += line + "\n";
      line.clear();
    }
    line += (line.empty() ? "" : " ") + token;
  };
  for (std::size_t k = 0; k < turns.size(); ++k) {
    const Turn& t = turns[k];
    if (t.record->OldSq == Square::None) break;
    // The piece a pawn became stands on its square at the next turn.
    const std::string after = k + 1 < turns.size() ? turns[k + 1].record->PositionStr : game.Position();
    const std::size_t arrived = static_cast<std::size_t>(SquareIndex(t.record->NewSq) - 1);
    const char promotion = PromotionOrQueen(arrived < after.size() ? after[arrived] : 'q');
    const std::optional<std::string> san = PlayedSan(stateOf(t), t.record->OldSq, t.record->NewSq, promotion);
    if (!san) break;  // a record no move of its position explains
    // A move number stays on the line of its move.
    if (t.side == Side::White) add(std::to_string(t.moveNumber) + ". " + *san);
    else if (k == 0) add(std::to_string(t.moveNumber) + "... " + *san);
    else add(*san);
  }
  add(resultText);
  return text + line + "\n";
}

}  // namespace perch
