#pragma once
// The window of perch-board: a board, the user White and the engine Black,
// with a button that turns the board and one that starts a new game, the
// game's menus (the Game and Options menus of the companion's game window)
// and a status line. The game is also written to standard output, one line
// per move ("move e2e4", "promotion q") and one for its end ("result
// white|black|stalemate|draw|resigned").

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <memory>
#include <string>

#include "chess/board/TChessBrd.h"
#include "companion/GameMenus.h"

namespace perch {

class THintEngine;
class TSettingsFile;

class TBoardWindow : public QWidget {
  Q_DECLARE_TR_FUNCTIONS(TBoardWindow)

 public:
  // The options come from the settings file when there is one (null: none
  // kept); a depth given on the command line (> 0) counts for this run.
  TBoardWindow(int searchDepth, std::unique_ptr<TSettingsFile> settings = nullptr);
  ~TBoardWindow() override;

  TChessBrd* Board() const { return board_; }
  TGameMenuBar* Menus() const { return menus_; }

 private:
  void NewGame();
  void NewGameAsked();
  void TakeBack();
  void Hint();
  void Resign();
  void SaveGame();
  void CopyGame();
  std::string Pgn() const;
  void Flip();
  void ShowStatus(const QString& text);
  void UpdateStatus();
  void OptionsChanged(const TGameOptions& options, const TGameOptions& before);
  static std::string SquareName(Square sq);
  static void Report(const std::string& line);

  std::unique_ptr<TSettingsFile> settings_;
  int commandLineDepth_;
  bool whiteOnTop_ = false;
  QWidget* boardHost_;
  QPointer<TChessBrd> board_;
  QPushButton* flipButton_;
  QPushButton* newGameButton_;
  QLabel* status_;
  TGameMenuBar* menus_;
  std::unique_ptr<THintEngine> hints_;
  std::uint64_t hintRequest_ = 0;
  QString result_;  // the end of the game and why, once over
  std::string pgnResult_ = "*";
};

}  // namespace perch
