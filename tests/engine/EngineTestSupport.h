#pragma once
// Helpers shared by the engine tests: a game plus an engine linked to it,
// loaded from a FEN, and move lookup by name.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "chess/engine/Fen.h"
#include "chess/engine/TChessThread.h"
#include "chess/model/ChessGame.h"

struct LinkedEngine {
  std::unique_ptr<TChessGame> game = std::make_unique<TChessGame>();
  std::unique_ptr<TChessThread> engine = std::make_unique<TChessThread>();

  LinkedEngine() { engine->LinkGame(game.get()); }
  explicit LinkedEngine(const std::string& fen) : LinkedEngine() { Load(fen); }

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

  // The moves generated at the current ply, by name, in list order.
  std::vector<std::string> ListedMoves() {
    std::vector<std::string> names;
    for (int i = engine->PlyFirst[engine->Ply]; i < engine->PlyEnd[engine->Ply]; ++i)
      names.push_back(EngineMoveName(engine->MoveList[i].move));
    return names;
  }

  // The generated move with this name; fails the test when there is none.
  TEngineMove Find(const std::string& name) {
    engine->GenerateMoves();
    for (int i = engine->PlyFirst[engine->Ply]; i < engine->PlyEnd[engine->Ply]; ++i)
      if (EngineMoveName(engine->MoveList[i].move) == name) return engine->MoveList[i].move;
    ADD_FAILURE() << "no generated move " << name;
    return {};
  }

  // The 64 squares as piece letters, for comparing whole boards.
  std::string Snapshot() const {
    std::string text;
    for (int s = 0; s < 64; ++s) {
      const int side = engine->SquareSide[s], piece = engine->SquarePiece[s];
      if (side == engine::Empty) {
        text += piece == engine::Empty ? '.' : '?';
        continue;
      }
      const char letter = "pnbrqk?"[piece];
      text += side == engine::White ? static_cast<char>(letter - 32) : letter;
    }
    text += "/" + std::to_string(engine->SideToMove) + std::to_string(engine->OtherSide) + "/" +
            std::to_string(engine->CastleRights) + "/" + std::to_string(engine->EpSquare) + "/" +
            std::to_string(engine->Ply);
    return text;
  }
};
