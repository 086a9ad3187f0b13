#pragma once
// The chess game window's menus and options, shared by the companion's game
// window and perch-board: the Game menu (new game, take back, hint, resign,
// save and copy the game, close) and the Options menu (the engine's
// strength, the side, the board's look and input). The options are kept in
// a settings file, section [chess], and read back by the next start.

#include <QCoreApplication>
#include <QMenuBar>
#include <QString>

#include <functional>
#include <map>

namespace perch {

class TChessBrd;
class TSettingsFile;

inline constexpr const char* ChessSection = "chess";

// Every option off and the strength at the engine's own depth 1: the game as
// it always was.
struct TGameOptions {
  int depth = 1;             // 1..8, the search depth of the engine
  bool playAsBlack = false;  // the engine plays White, from the next game
  bool flipBoard = false;    // White at the top
  bool coordinates = false;  // rank numbers left, file letters below
  bool showLastMove = false;
  bool slideMoves = false;  // the engine's moves slide over the board
  bool varyMoves = false;   // the engine picks among moves about as good
  bool clickMoves = false;  // a click on a piece and one on its target move it
  friend bool operator==(const TGameOptions&, const TGameOptions&) = default;
};

// The strength levels, by search depth: "Fledgling" (1) to "Eagle" (8).
inline constexpr int StrengthLevels = 8;
QString StrengthName(int depth);

// Each key that is absent or out of range keeps the value of `defaults`.
TGameOptions ReadGameOptions(const TSettingsFile& file, const TGameOptions& defaults = {});
// Writes the keys whose values differ from `before` (all keys when the
// file has none yet is not needed: absent keys read as the defaults).
bool WriteGameOptions(TSettingsFile& file, const TGameOptions& options, const TGameOptions& before);

// The options a board shows at once: strength, flip, coordinates, marks,
// sliding, variety and click moves. The side waits for the next game.
void ApplyBoardOptions(TChessBrd& board, const TGameOptions& options);
// The side: the engine plays Black, or with playAsBlack White.
void ApplyBoardSide(TChessBrd& board, const TGameOptions& options);

class TGameMenuBar : public QMenuBar {
  Q_OBJECT
 public:
  // The game commands; an empty one leaves its item out.
  struct TCommands {
    std::function<void()> newGame, takeBack, hint, resign, saveGame, copyGame, close;
  };

  TGameMenuBar(QWidget* parent, const TCommands& commands, const TGameOptions& options);

  const TGameOptions& Options() const { return options_; }
  // Called after the user changed an option, with the options as they now are.
  std::function<void(const TGameOptions& options, const TGameOptions& before)> OnOptionsChanged;
  // The item of a command or option by its name ("takeBack", "hint",
  // "clickMoves", "depth3", ...), or null.
  QAction* Item(const QString& name) const;
  // The texts in the current language.
  void Retranslate();

 private:
  QAction* AddCommand(QMenu* menu, const char* name, const std::function<void()>& command,
                      const QKeySequence& keys);
  QAction* AddOption(QMenu* menu, const char* name, bool TGameOptions::*option);
  void Changed(const TGameOptions& before);

  TGameOptions options_;
  QMenu* game_;
  QMenu* optionsMenu_;
  QMenu* strength_;
  std::map<QString, QAction*> items_;
};

}  // namespace perch
