#pragma once
// The window of perch-board: a board, the user White and the engine Black,
// with a button that turns the board and one that starts a new game. The
// game is also written to standard output, one line per move ("move e2e4",
// "promotion q") and one for its end ("result white|black|stalemate|draw").

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <string>

#include "chess/board/TChessBrd.h"

namespace perch {

class TBoardWindow : public QWidget {
  Q_DECLARE_TR_FUNCTIONS(TBoardWindow)

 public:
  explicit TBoardWindow(int searchDepth);

  TChessBrd* Board() const { return board_; }

 private:
  void NewGame();
  void Flip();
  void ShowStatus(const QString& text);
  static std::string SquareName(Square sq);
  static void Report(const std::string& line);

  int searchDepth_;
  bool whiteOnTop_ = false;
  QWidget* boardHost_;
  QPointer<TChessBrd> board_;
  QPushButton* flipButton_;
  QPushButton* newGameButton_;
  QLabel* status_;
};

}  // namespace perch
