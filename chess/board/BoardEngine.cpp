// The board's side of the computer player: creating and ending the engine
// thread, stopping and releasing it, the turn test and the hand-over of its
// move on the main thread, and the custom engine asked through
// OnCalculateMove.

#include <chrono>

#include "chess/board/BoardErrorBox.h"
#include "chess/board/DragImage.h"
#include "chess/board/MainThreadCalls.h"
#include "chess/board/TChessBrd.h"
#include "chess/engine/EngineThread.h"

namespace perch {

bool TChessBrd::ComputersTurn() const {
  return (ComputerPlaysWhite() && WhiteToMove()) || (ComputerPlaysBlack() && !WhiteToMove());
}

bool TChessBrd::Thinking() const { return engineThread_ && engineThread_->IsThinking(); }

void TChessBrd::setThinkingPriority(TThreadPriority v) {
  thinkingPriority_ = static_cast<int>(v);
  if (engineThread_) engineThread_->ApplyPriority(SearchPriorityOf(v));
}

// --- the engine thread ------------------------------------------------------------

void TChessBrd::CreateEngineThread() {
  mainThreadCalls_ = std::make_unique<TMainThreadCalls>();
  TEngineThread::TLinks links;
  links.game = this;
  links.searchDepth = &searchDepth_;
  links.priority = [this] { return SearchPriorityOf(ThinkingPriority()); };
  TEngineThread::TCallbacks callbacks;
  callbacks.RunOnMainThread = [calls = mainThreadCalls_.get()](std::function<void()> call) {
    return calls->Run(std::move(call));
  };
  callbacks.TurnTest = [this] { return EnginePassMayStart(); };
  callbacks.MoveCallback = [this](Square from, Square to) { HandOverMoveOnMainThread(from, to); };
  callbacks.PassEndCallback = [this] { perch::RunReportingErrors([this] { AfterEnginePass(); }); };
  engineThread_ = std::make_unique<TEngineThread>(std::move(links), std::move(callbacks));
}

void TChessBrd::DestroyEngineThread() {
  if (!engineThread_) return;
  // Refuse every further call first: a queued move is dropped and never
  // reaches the board; then end the thread, stopping any search.
  mainThreadCalls_->Close();
  engineThread_.reset();
  mainThreadCalls_.reset();
}

// Main thread, asked by the engine thread before each search: the engine
// searches only when released, the computer is to move and has a move.
bool TChessBrd::EnginePassMayStart() {
  ++engineTurnTests_;
  if (destroying_ || customEngine_ || designMode_) return false;
  if (engineThread_->Parked() || engineThread_->StopRequested()) return false;
  if (!ComputersTurn() || !HasLegalMove()) return false;
  inPass_ = true;
  return true;
}

void TChessBrd::HandOverMoveOnMainThread(Square from, Square to) {
  // A stop that came after the search ended still discards its move.
  if (destroying_ || engineThread_->StopRequested()) return;
  handingOver_ = true;
  struct Clear {
    bool& flag;
    ~Clear() { flag = false; }
  } clear{handingOver_};
  // A throwing handler is reported; the engine plays on.
  perch::RunReportingErrors([&] { MakeMove(from, to); });
}

void TChessBrd::AfterEnginePass() {
  if (destroying_ || !engineThread_) return;
  engineThread_->ClearThinking();
  engineThread_->MarkParked();
  inPass_ = false;
  if (!engineThread_->StopRequested()) StartThinking();
}

// Runs the engine's calls until its pass has ended and parked it. Only the
// engine's own calls run here, no other event.
void TChessBrd::WaitUntilParked() {
  while (inPass_ && !engineThread_->Finished()) {
    mainThreadCalls_->Drain();
    if (!inPass_) break;
    mainThreadCalls_->WaitForCall(std::chrono::milliseconds(10));
  }
  inPass_ = false;
  engineThread_->MarkParked();
}

// --- stopping and starting ------------------------------------------------------------

void TChessBrd::StopThinking() {
  if (!customEngine_ && engineThread_) {
    engineThread_->RequestStop();
    if (inPass_ && !handingOver_) WaitUntilParked();
    else
      // Idle between passes, or blocked in the hand-over of a move whose
      // handler called us: either way it starts nothing before its pass ends.
      engineThread_->MarkParked();
  }
  engineHeld_ = true;
}

void TChessBrd::StartThinking() {
  if (designMode_ || destroying_) return;
  if (!customEngine_) {
    if (engineThread_) engineThread_->Release();
    return;
  }
  if (!ComputersTurn() || !OnCalculateMove || engineHeld_ || askingCustomEngine_) return;
  // A handler that pumps events must not be asked again from inside itself.
  askingCustomEngine_ = true;
  struct Clear {
    bool& flag;
    ~Clear() { flag = false; }
  } clear{askingCustomEngine_};
  Square oldsq = Square::None, newsq = Square::None;
  OnCalculateMove(this, oldsq, newsq);
  if (engineHeld_) return;
  if (!MakeMove(oldsq, newsq) && OnCalculationFailed) OnCalculationFailed(this, oldsq, newsq);
}

// --- taking back and varied play ------------------------------------------------------

bool TChessBrd::TakeBack(int halfMoves) {
  if (halfMoves < 1 || MovesToTakeBack() == 0 || MakingMove()) return false;
  // The stop parks the engine: a move it found meanwhile, queued for this
  // thread or not, meets the stop request and is dropped (see
  // HandOverMoveOnMainThread), and no pass starts until the release below.
  StopThinking();
  if (dragPhase_ != DragPhase::Idle) {
    EndDragState();
    if (DragImageShown()) dragImage_->HideImage();
  }
  dragFromSquare_ = Square::None;
  dropSquare_ = Square::None;
  int undone = 0;
  while (undone < halfMoves && TakeBackMove()) ++undone;
  Paint();
  // As after the user's move: the computer moves if it is its turn.
  ReleaseEngineHold();
  StartThinking();
  return true;
}

void TChessBrd::setVaryMoves(bool v) {
  varyMoves_ = v;
  if (engineThread_) engineThread_->Engine().setVaryMoves(v);
}

void TChessBrd::setVarySeed(std::uint64_t seed) {
  if (engineThread_) engineThread_->Engine().setVarySeed(seed);
}

void TChessBrd::EngineTimerTick() { CustomEnginePoll(); }

void TChessBrd::CustomEnginePoll() {
  if (!engineHeld_ && customEngine_ && ComputersTurn() && !designMode_) StartThinking();
}

void TChessBrd::WakeEngine() {
  if (engineThread_ && !destroying_) engineThread_->Wake();
}

void TChessBrd::setCustomEngine(bool v) {
  customEngine_ = v;
  WakeEngine();  // the built-in engine may be the one to move now
}

}  // namespace perch
