#pragma once
// The window of perch-board: a board, the user White and the engine Black,
// with a button that turns the board and one that starts a new game.

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include "chess/board/TChessBrd.h"

class TBoardWindow : public QWidget {
 public:
  explicit TBoardWindow(int searchDepth);

  TChessBrd* Board() const { return board_; }

 private:
  void NewGame();
  void Flip();
  void ShowStatus(const QString& text);

  int searchDepth_;
  bool whiteOnTop_ = false;
  QWidget* boardHost_;
  QPointer<TChessBrd> board_;
  QPushButton* flipButton_;
  QPushButton* newGameButton_;
  QLabel* status_;
};
