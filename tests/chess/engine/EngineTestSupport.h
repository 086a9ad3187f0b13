#pragma once
// Helpers shared by the engine tests: a game plus an engine linked to it,
// loaded from a FEN, move lookup by name and the board as text.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "chess/engine/Fen.h"
#include "chess/engine/TChessThread.h"
#include "chess/model/ChessGame.h"

using namespace perch;

// Side and piece code of every square, then side to move, other side,
// rights, en passant square and ply: for comparing whole boards.
inline std::string Snapshot(const TChessThread& e) {
  std::string text;
  for (int s = 0; s < 64; ++s) text += std::to_string(e.SquareSide(s)) + std::to_string(e.SquarePiece(s));
  for (int v : {e.SideToMove(), e.OtherSide(), e.CastleRights(), e.EpSquare(), e.Ply()})
    text += "/" + std::to_string(v);
  return text;
}

struct LinkedEngine {
  std::unique_ptr<TChessGame> game = std::make_unique<TChessGame>();
  std::unique_ptr<TChessThread> engine = std::make_unique<TChessThread>();

  LinkedEngine() { engine->LinkGame(game.get()); }
  explicit LinkedEngine(const std::string& fen) { Load(fen); }

  void Load(const std::string& fen) {
    std::string error;
    auto parsed = ParseFen(fen, error);
    ASSERT_TRUE(parsed) << error;
    game = std::make_unique<TChessGame>();
    ApplyFen(*parsed, *game);
    engine->LinkGame(game.get());
    engine->LoadPosition();
  }

  TChessThread& operator*() { return *engine; }
  TChessThread* operator->() { return engine.get(); }
  std::string Snapshot() const { return ::Snapshot(*engine); }

  // The generated move with this name; fails the test when there is none.
  TEngineMove Find(const std::string& name) {
    engine->GenerateMoves();
    for (int i = engine->PlyFirst(engine->Ply()); i < engine->PlyEnd(engine->Ply()); ++i)
      if (EngineMoveName(engine->MoveList(i).move) == name) return engine->MoveList(i).move;
    ADD_FAILURE() << "no generated move " << name;
    return {};
  }
};
