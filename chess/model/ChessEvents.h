#pragma once
// The event types through which a board reports the game. Every event is a
// callable whose first parameter is the sending board; an empty one is
// skipped.

#include <functional>

#include "chess/model/Square.h"

namespace perch {

class TChessGame;

using TMoveEvent = std::function<void(TChessGame* Sender, Square oldSq, Square newSq)>;
using TCaptureEvent = std::function<void(TChessGame* Sender, Square oldSq, Square newSq, char CapturedPiece)>;
using TOneSquareEvent = std::function<void(TChessGame* Sender, Square square)>;
// The handler receives the current promotion letter and may replace it.
using TPromotionEvent = std::function<void(TChessGame* Sender, Square oldSq, Square newSq, char& NewPiece)>;
using TNotifyEvent = std::function<void(TChessGame* Sender)>;

}  // namespace perch
