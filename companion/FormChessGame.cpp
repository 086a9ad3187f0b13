// The chess game with the companion: the board on the form, the "New" and
// "Exit" buttons, and the character's comments on the board's events. The
// user plays White, the computer Black.

#include "companion/Actor.h"
#include "companion/BoardSide.h"
#include "companion/Companion.h"
#include "companion/ErrorBox.h"
#include "companion/ScreenArea.h"
#include "companion/WindowActivation.h"

#include "chess/board/TChessBrd.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <map>
#include <set>

namespace perch {

namespace {

constexpr int GameFormLeft = 400;
constexpr int HiddenFormLeft = -400;
constexpr int BoardSize = 368;

// A wait inside a board's event handler processes messages while the board
// is still inside its move, so "Exit" may want the board gone then. Such a
// board is only taken off the form; it is destroyed once its last handler
// has returned, and its later events are ignored.
struct TBoardsInEvents {
  std::map<const TChessGame*, int> handlersRunning;
  std::set<const TChessGame*> retired;
};

TBoardsInEvents& Boards() {
  static TBoardsInEvents boards;
  return boards;
}

// After the last handler of a retired board: the board is still finishing
// its move, so it goes when the event loop next runs. The call is delivered
// to the form, not to the board, whose own event handling must not be
// running when it is destroyed.
void DestroyWhenIdle(TChessBrd* board) {
  QTimer::singleShot(0, board->parentWidget(), [board = QPointer<TChessBrd>(board)] { delete board.data(); });
}

// Runs a handler for the sending board, reporting what it throws.
template <typename THandler>
void RunBoardHandler(TChessGame* sender, THandler&& handler) {
  if (Boards().retired.contains(sender)) return;
  ++Boards().handlersRunning[sender];
  RunReportingErrors(handler);
  if (--Boards().handlersRunning[sender] > 0) return;
  Boards().handlersRunning.erase(sender);
  if (Boards().retired.contains(sender)) {
    if (auto* board = dynamic_cast<TChessBrd*>(sender)) DestroyWhenIdle(board);
  }
}

bool BirdPlaysWhite(const TChessGame* game) {
  const auto* board = dynamic_cast<const TChessBrd*>(game);
  return board != nullptr && board->property("birdPlaysWhite").toBool();
}

void ShowGameOverBox(QWidget* form, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, TActor::tr("Perch"), text, QMessageBox::Ok, form);
  box.setObjectName(QStringLiteral("GameOverBox"));
  box.setWindowRole(QStringLiteral("perch-game-over"));  // lets scripts find it
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace

void TActor::ConnectGameTalk(TChessBrd& board) {
  board.OnCheck = [this](TChessGame* sender, Square, Square) {
    RunBoardHandler(sender, [&] {
      if (!sender->HasLegalMove()) return;  // the mate has its own comment
      if (BirdMadeTheMove(sender)) SayAboutMove(sender, tr("Check!"), QStringLiteral("GetAttention"));
      else SayAboutMove(sender, tr("Oh! My king is in check."), QStringLiteral("confused"));
    });
  };
  board.OnPromotion = [this](TChessGame* sender, Square, Square, char&) {
    RunBoardHandler(sender, [&] {
      if (BirdMadeTheMove(sender))
        SayAboutMove(sender, tr("My pawn becomes a queen!"), QStringLiteral("Pleased"));
      else SayAboutMove(sender, tr("Your pawn is promoted. Well played!"), QStringLiteral("confused"));
    });
  };
  board.OnStaleMate = [this](TChessGame* sender, Square, Square) {
    RunBoardHandler(sender, [&] { EndGame(tr("Stalemate: a draw.")); });
  };
  board.OnNoMatingMaterial = [this](TChessGame* sender) {
    RunBoardHandler(sender, [&] { EndGame(tr("A draw: neither side has the pieces to mate.")); });
  };
  board.OnThreefoldPosition = [this](TChessGame* sender) {
    RunBoardHandler(sender, [&] { EndGame(tr("A draw by repetition.")); });
  };
  board.OnPaint = [this](TChessGame* sender) {
    if (sender == ChessBrd1) ScheduleGameStatus();
  };
}

void TActor::RetireBoard(TChessBrd* board) {
  if (Boards().handlersRunning.contains(board)) {
    board->hide();
    board->setComputerPlaysBlack(false);  // plays no more while it waits to go
    board->setComputerPlaysWhite(false);
    Boards().retired.insert(board);
    QObject::connect(board, &QObject::destroyed, [board] { Boards().retired.erase(board); });
  } else {
    delete board;
  }
}

void TActor::ConnectGameButtons() {
  connect(Button1, &QPushButton::clicked, this, [this] { RunReportingErrors([this] { Button1Click(); }); });
  connect(Button2, &QPushButton::clicked, this, [this] { RunReportingErrors([this] { Button2Click(); }); });
}

void TActor::PlayChess() {
  setLeft(GameFormLeft);

  auto* board = new TChessBrd(this);
  ChessBrd1 = board;
  board->setHeight(BoardSize);
  board->setWidth(BoardSize);
  board->setLeft(0);
  board->setTop(0);
  board->setVisible(true);
  board->setThinkingPriority(TThreadPriority::tpIdle);
  board->setComputerPlaysBlack(true);
  board->setSquareDark(Image1Bitmap());
  board->setSquareLight(Image2Bitmap());
  board->OnCapture = [this](TChessGame* sender, Square, Square, char) {
    RunBoardHandler(sender, [&] { ChessBrd1Capture(sender); });
  };
  board->OnDraw = [this](TChessGame* sender) { RunBoardHandler(sender, [&] { ChessBrd1Draw(sender); }); };
  board->OnLegalMove = [this](TChessGame* sender, Square, Square) {
    RunBoardHandler(sender, [&] { ChessBrd1LegalMove(sender); });
    // Once the move is done: the watch of the user's moves and the status.
    if (sender == ChessBrd1)
      QTimer::singleShot(0, this, [this, board = QPointer<TChessBrd>(ChessBrd1)] {
        if (!board.isNull()) RunReportingErrors([&] { WatchUserMoves(board.data()); });
      });
  };
  board->OnCastle = [this](TChessGame* sender, Square, Square) {
    RunBoardHandler(sender, [&] { ChessBrd1Castle(sender); });
  };
  board->OnMate = [this](TChessGame* sender, Square, Square) {
    RunBoardHandler(sender, [&] { ChessBrd1Mate(sender); });
  };
  SetUpGameWindow(*board);
  // The buttons are windows of their own and stay above the board.
  Button1->raise();
  Button2->raise();

  PlaceCharacterBesideBoard(1);
  if (GameOptions().playAsBlack) SayChinese(tr("这次我先走~~"));
  else SayChinese(tr("你先~~"));
  WatchUserMoves(board);
  BringGameToFront();
}

void TActor::BringGameToFront() {
  // The form has just been shown (or is on screen already, at "New"): its
  // window is activated once the window manager has mapped it, or not at
  // all when that has not happened within the bound.
  constexpr int CheckMs = 100;
  constexpr int MostChecks = 50;
  auto* check = new QTimer(this);
  connect(check, &QTimer::timeout, this, [this, check, checks = 0]() mutable {
    QWindow* window = windowHandle();
    const bool shown = window != nullptr && window->isExposed();
    if (!shown && isVisible() && ++checks < MostChecks) return;
    check->deleteLater();
    if (!shown || x() < 0) return;
    window->setFlag(Qt::WindowDoesNotAcceptFocus, false);
    ActivateAsAskedFor(this);
  });
  check->start(CheckMs);
}

void TActor::PlaceCharacterBesideBoard(int speed) {
  // Where the bird is wished (above the board's top right), moved to the
  // nearest place beside the window, whose squares and buttons stay clear.
  const QRect board = frameGeometry();
  const QPoint wished(x() + 100, y() - 50);
  const QPoint at = BesideBoard(board, QSize(Char().Width(), Char().Height()), wished, AreaAround(board));
  Char().setKeepClear(board);
  followingBoard_ = true;
  besideAt_ = at;
  if (speed > 0) {
    Char().MoveTo(static_cast<std::int16_t>(at.x()), static_cast<std::int16_t>(at.y()), speed);
  } else {
    Char().StopAll(QStringLiteral("move"));
    Char().setLeft(static_cast<std::int16_t>(at.x()));
    Char().setTop(static_cast<std::int16_t>(at.y()));
  }
}

void TActor::KeepCharacterBesideBoard() {
  if (!followingBoard_ || Character == nullptr || x() < 0) return;
  const QRect board = frameGeometry();
  const QPoint at = BesideBoard(board, QSize(Character->Width(), Character->Height()),
                                QPoint(x() + 100, y() - 50), AreaAround(board));
  if (at == besideAt_) return;  // also while the bird still flies there
  RunReportingErrors([this] { PlaceCharacterBesideBoard(0); });
}

void TActor::StopFollowingBoard() {
  followingBoard_ = false;
  if (Character != nullptr) Character->setKeepClear(QRect());
}

void TActor::Button1Click() {
  PlayChess();
  Button1->setEnabled(false);
}

void TActor::Button2Click() {
  if (ChessBrd1 != nullptr) {
    TChessBrd* board = ChessBrd1;
    ChessBrd1 = nullptr;
    if (Boards().handlersRunning.contains(board)) {
      board->hide();
      board->setComputerPlaysBlack(false);  // plays no more while it waits to go
      Boards().retired.insert(board);
      QObject::connect(board, &QObject::destroyed, [board] { Boards().retired.erase(board); });
    } else {
      delete board;
    }
  }
  StopFollowingBoard();
  setLeft(HiddenFormLeft);
  RandomActivity();
  NotifyController(NoticeRoutineEnded);
}

// The handlers read the sending board: events may still come from a board
// of an earlier game.

void TActor::ChessBrd1LegalMove(TChessGame* Sender) {
  PrevMoveNo = CurMoveNo;
  CurMoveNo = Sender->CurrentMove();
  if (CurMoveNo % 8 == 0) {
    MarkMoveCommented(Sender);
    Char().Play(QStringLiteral("thinking"));
    WaitSeconds(2);
    Char().StopAll(QStringLiteral("play"));
  }
}

// The move number rises with each move of Black: a number higher than the
// one before means the computer made this move, an equal one the user.

void TActor::ChessBrd1Capture(TChessGame* Sender) {
  MarkMoveCommented(Sender);
  Char().Play(BirdMadeTheMove(Sender) ? QStringLiteral("pleased") : QStringLiteral("sad"));
}

// With the bird playing White the attribution turns round: its moves are
// the ones that leave the number as it was.
void TActor::ChessBrd1Mate(TChessGame* Sender) {
  MarkMoveCommented(Sender);
  const bool birdIsWhite = BirdPlaysWhite(Sender);
  const bool blackMoved = CurMoveNo > PrevMoveNo;
  const bool whiteMoved = CurMoveNo == PrevMoveNo;
  if (Sender == ChessBrd1 && (blackMoved || whiteMoved)) {
    const bool birdWon = birdIsWhite ? whiteMoved : blackMoved;
    EndGame(birdWon ? tr("Checkmate. %1 wins.").arg(BirdName()) : tr("Checkmate. You win!"));
    pgnResult_ = whiteMoved ? QStringLiteral("1-0") : QStringLiteral("0-1");
  }
  if (birdIsWhite ? whiteMoved : blackMoved) {
    SayChinese(tr("我赢了，承让承让"));
    Char().Play(QStringLiteral("Pleased"));
    ShowGameOverBox(this, tr("你输了!"));
  } else if (birdIsWhite ? blackMoved : whiteMoved) {
    Char().Play(QStringLiteral("sad"));
    SayChinese(tr("你赢了，厉害厉害。"));
    ShowGameOverBox(this, tr("你赢了!"));
  }
  Button1->setEnabled(true);
}

void TActor::ChessBrd1Draw(TChessGame* Sender) {
  MarkMoveCommented(Sender);
  if (Sender == ChessBrd1) EndGame(tr("A draw."));
  SayChinese(tr("和棋了。根据规则，连续重复三次就算和棋。"));
  Button1->setEnabled(true);
}

void TActor::ChessBrd1Castle(TChessGame* Sender) {
  MarkMoveCommented(Sender);
  SayChinese(tr("车王易位！"));
}

}  // namespace perch
