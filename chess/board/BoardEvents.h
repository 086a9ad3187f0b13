#pragma once
// The events a board fires besides the game events of the model: the
// computer-player events and the mouse and drag events of the control
// itself. As with the game events, Sender is the board's TChessGame; an
// empty event is skipped.

#include <Qt>
#include <functional>

#include "chess/model/ChessEvents.h"

class QObject;

namespace perch {

// The custom engine answers with its move in the two squares, which the
// board sets to None before the call.
using TThinkEvent = std::function<void(TChessGame* Sender, Square& oldsq, Square& newsq)>;

enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum class TDragMode { dmManual, dmAutomatic };

using TMouseEvent = std::function<void(TChessGame* Sender, Qt::MouseButton Button,
                                       Qt::KeyboardModifiers Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TChessGame* Sender, Qt::KeyboardModifiers Shift, int X, int Y)>;
// Source is the control that started the drag; Accept arrives as true.
using TDragOverEvent =
    std::function<void(TChessGame* Sender, QObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TChessGame* Sender, QObject* Source, int X, int Y)>;
using TStartDragEvent = std::function<void(TChessGame* Sender)>;
// Target is the control that took the drop, nullptr for a cancelled drag.
using TEndDragEvent = std::function<void(TChessGame* Sender, QObject* Target, int X, int Y)>;

}  // namespace perch
