// The board's side of the computer player: stopping and releasing the
// engine, and the custom engine asked through OnCalculateMove.

#include "chess/board/TChessBrd.h"

bool TChessBrd::ComputersTurn() const {
  return (ComputerPlaysWhite() && WhiteToMove()) || (ComputerPlaysBlack() && !WhiteToMove());
}

bool TChessBrd::Thinking() const { return false; }

void TChessBrd::setThinkingPriority(TThreadPriority v) { thinkingPriority_ = static_cast<int>(v); }

void TChessBrd::StopThinking() { engineHeld_ = true; }

void TChessBrd::StartThinking() {
  if (designMode_) return;
  if (!customEngine_) return;
  if (!ComputersTurn() || !OnCalculateMove || engineHeld_) return;
  Square oldsq = Square::None, newsq = Square::None;
  OnCalculateMove(this, oldsq, newsq);
  if (engineHeld_) return;
  if (!MakeMove(oldsq, newsq) && OnCalculationFailed) OnCalculationFailed(this, oldsq, newsq);
}

void TChessBrd::AfterEnginePass() {}

void TChessBrd::EngineTimerTick() { CustomEnginePoll(); }

void TChessBrd::CustomEnginePoll() {
  if (!engineHeld_ && customEngine_ && ComputersTurn() && !designMode_) StartThinking();
}
