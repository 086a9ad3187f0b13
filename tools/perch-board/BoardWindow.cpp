#include "tools/perch-board/BoardWindow.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <cstdio>

namespace perch {

TBoardWindow::TBoardWindow(int searchDepth) : searchDepth_(searchDepth) {
  setWindowTitle(tr("Perch chess"));
  boardHost_ = new QWidget(this);
  boardHost_->setFixedSize(368, 368);
  flipButton_ = new QPushButton(tr("Flip"), this);
  newGameButton_ = new QPushButton(tr("New game"), this);
  status_ = new QLabel(this);
  status_->setTextFormat(Qt::PlainText);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(flipButton_);
  buttons->addWidget(newGameButton_);
  buttons->addWidget(status_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addWidget(boardHost_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(flipButton_, &QPushButton::clicked, this, [this] { Flip(); });
  connect(newGameButton_, &QPushButton::clicked, this, [this] { NewGame(); });
  NewGame();
}

void TBoardWindow::NewGame() {
  delete board_.data();
  auto* board = new TChessBrd(boardHost_);
  board_ = board;
  board->setWhiteOnTop(whiteOnTop_);
  board->setSearchDepth(searchDepth_);
  board->setDisplayCoords({DisplayCoords::West, DisplayCoords::South});
  board->setComputerPlaysBlack(true);
  board->OnMate = [this](TChessGame* sender, Square, Square) {
    const bool whiteWon = !sender->WhiteToMove();
    Report(whiteWon ? "result white" : "result black");
    ShowStatus(whiteWon ? tr("White wins") : tr("Black wins"));
  };
  board->OnStaleMate = [this](TChessGame*, Square, Square) {
    Report("result stalemate");
    ShowStatus(tr("Stalemate"));
  };
  board->OnDraw = [this](TChessGame*) {
    Report("result draw");
    ShowStatus(tr("Draw"));
  };
  board->OnLegalMove = [this](TChessGame*, Square from, Square to) {
    Report("move " + SquareName(from) + SquareName(to));
    ShowStatus({});
  };
  board->OnPromotion = [this](TChessGame*, Square, Square, char& piece) {
    Report(std::string("promotion ") + piece);
  };
  board->show();
  ShowStatus({});
}

std::string TBoardWindow::SquareName(Square sq) {
  return {static_cast<char>('a' + FileOf(sq) - 1), static_cast<char>('0' + RankOf(sq))};
}

void TBoardWindow::Report(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

void TBoardWindow::Flip() {
  whiteOnTop_ = !whiteOnTop_;
  if (board_) board_->setWhiteOnTop(whiteOnTop_);
}

void TBoardWindow::ShowStatus(const QString& text) { status_->setText(text); }

}  // namespace perch
