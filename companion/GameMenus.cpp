#include "companion/GameMenus.h"

#include "chess/board/TChessBrd.h"
#include "companion/SettingsFile.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>

#include <algorithm>
#include <array>

namespace perch {

namespace {

// One stored option: its key in the settings and its field.
struct TOptionKey {
  const char* key;
  bool TGameOptions::*field;
};

constexpr std::array<TOptionKey, 7> OptionKeys{{
    {"playAsBlack", &TGameOptions::playAsBlack},
    {"flipBoard", &TGameOptions::flipBoard},
    {"coordinates", &TGameOptions::coordinates},
    {"showLastMove", &TGameOptions::showLastMove},
    {"slideMoves", &TGameOptions::slideMoves},
    {"varyMoves", &TGameOptions::varyMoves},
    {"clickMoves", &TGameOptions::clickMoves},
}};

constexpr const char* DepthKey = "depth";
// A sliding move waits this long at each pixel it moves: about a fifth of a
// second for a move of a few squares.
constexpr int SlideStepMs = 1;

QString Section() { return QString::fromLatin1(ChessSection); }

}  // namespace

QString StrengthName(int depth) {
  switch (depth) {
    case 1: return TGameMenuBar::tr("Fledgling");
    case 2: return TGameMenuBar::tr("Sparrow");
    case 3: return TGameMenuBar::tr("Robin");
    case 4: return TGameMenuBar::tr("Magpie");
    case 5: return TGameMenuBar::tr("Crow");
    case 6: return TGameMenuBar::tr("Raven");
    case 7: return TGameMenuBar::tr("Owl");
    case 8: return TGameMenuBar::tr("Eagle");
    default: return QString::number(depth);
  }
}

TGameOptions ReadGameOptions(const TSettingsFile& file, const TGameOptions& defaults) {
  TGameOptions options = defaults;
  const int depth = file.ReadInteger(Section(), QString::fromLatin1(DepthKey), 0);
  if (depth >= 1 && depth <= StrengthLevels) options.depth = depth;
  for (const TOptionKey& k : OptionKeys) {
    const int v = file.ReadInteger(Section(), QString::fromLatin1(k.key), -1);
    if (v == 0 || v == 1) options.*k.field = v == 1;
  }
  return options;
}

bool WriteGameOptions(TSettingsFile& file, const TGameOptions& options, const TGameOptions& before) {
  bool ok = true;
  if (options.depth != before.depth)
    ok = file.WriteInteger(Section(), QString::fromLatin1(DepthKey), options.depth);
  for (const TOptionKey& k : OptionKeys)
    if (options.*k.field != before.*k.field)
      ok = file.WriteInteger(Section(), QString::fromLatin1(k.key), options.*k.field ? 1 : 0) && ok;
  return ok;
}

void ApplyBoardOptions(TChessBrd& board, const TGameOptions& options) {
  // Each is set only when it differs, so that a board left at its defaults
  // is not even repainted.
  if (board.SearchDepth() != options.depth) board.setSearchDepth(options.depth);
  if (board.WhiteOnTop() != options.flipBoard) board.setWhiteOnTop(options.flipBoard);
  const CoordSet coords =
      options.coordinates ? CoordSet{DisplayCoords::West, DisplayCoords::South} : CoordSet{};
  if (board.DisplayCoords() != coords) board.setDisplayCoords(coords);
  if (board.ShowLastMove() != options.showLastMove) board.setShowLastMove(options.showLastMove);
  if (options.slideMoves) {
    board.setAnimateMoves(true);
    board.setAnimationDelay(SlideStepMs);
  } else if (board.AnimationDelay() == SlideStepMs) {
    board.setAnimationDelay(0);
  }
  if (board.ClickMoves() != options.clickMoves) board.setClickMoves(options.clickMoves);
  if (board.VaryMoves() != options.varyMoves) board.setVaryMoves(options.varyMoves);
}

void ApplyBoardSide(TChessBrd& board, const TGameOptions& options) {
  board.setComputerPlaysBlack(!options.playAsBlack);
  board.setComputerPlaysWhite(options.playAsBlack);
}

// --- the menu bar -------------------------------------------------------------------

TGameMenuBar::TGameMenuBar(QWidget* parent, const TCommands& commands, const TGameOptions& options)
    : QMenuBar(parent), options_(options) {
  setObjectName(QStringLiteral("GameMenuBar"));
  setNativeMenuBar(false);  // in the window, where the player looks for it
  game_ = addMenu(QString());
  AddCommand(game_, "newGame", commands.newGame, QKeySequence::New);
  AddCommand(game_, "takeBack", commands.takeBack, QKeySequence::Undo);
  AddCommand(game_, "hint", commands.hint, QKeySequence(Qt::Key_H));
  AddCommand(game_, "resign", commands.resign, QKeySequence());
  game_->addSeparator();
  AddCommand(game_, "saveGame", commands.saveGame, QKeySequence::Save);
  AddCommand(game_, "copyGame", commands.copyGame, QKeySequence::Copy);
  game_->addSeparator();
  AddCommand(game_, "close", commands.close, QKeySequence::Close);

  optionsMenu_ = addMenu(QString());
  strength_ = optionsMenu_->addMenu(QString());
  auto* levels = new QActionGroup(this);
  for (int depth = 1; depth <= StrengthLevels; ++depth) {
    QAction* level = strength_->addAction(QString());
    level->setCheckable(true);
    level->setChecked(depth == options_.depth);
    levels->addAction(level);
    items_[QStringLiteral("depth%1").arg(depth)] = level;
    connect(level, &QAction::triggered, this, [this, depth] {
      const TGameOptions before = options_;
      options_.depth = depth;
      Changed(before);
    });
  }
  AddOption(optionsMenu_, "playAsBlack", &TGameOptions::playAsBlack);
  optionsMenu_->addSeparator();
  AddOption(optionsMenu_, "flipBoard", &TGameOptions::flipBoard);
  AddOption(optionsMenu_, "coordinates", &TGameOptions::coordinates);
  AddOption(optionsMenu_, "showLastMove", &TGameOptions::showLastMove);
  AddOption(optionsMenu_, "slideMoves", &TGameOptions::slideMoves);
  AddOption(optionsMenu_, "varyMoves", &TGameOptions::varyMoves);
  AddOption(optionsMenu_, "clickMoves", &TGameOptions::clickMoves);
  Retranslate();
}

QAction* TGameMenuBar::AddCommand(QMenu* menu, const char* name, const std::function<void()>& command,
                                  const QKeySequence& keys) {
  if (!command) return nullptr;
  QAction* item = menu->addAction(QString());
  item->setObjectName(QString::fromLatin1(name));
  item->setShortcut(keys);
  connect(item, &QAction::triggered, this, [command] { command(); });
  items_[QString::fromLatin1(name)] = item;
  return item;
}

QAction* TGameMenuBar::AddOption(QMenu* menu, const char* name, bool TGameOptions::*option) {
  QAction* item = menu->addAction(QString());
  item->setObjectName(QString::fromLatin1(name));
  item->setCheckable(true);
  item->setChecked(options_.*option);
  connect(item, &QAction::toggled, this, [this, option](bool on) {
    if (options_.*option == on) return;
    const TGameOptions before = options_;
    options_.*option = on;
    Changed(before);
  });
  items_[QString::fromLatin1(name)] = item;
  return item;
}

void TGameMenuBar::Changed(const TGameOptions& before) {
  if (OnOptionsChanged && !(options_ == before)) OnOptionsChanged(options_, before);
}

QAction* TGameMenuBar::Item(const QString& name) const {
  const auto it = items_.find(name);
  return it == items_.end() ? nullptr : it->second;
}

void TGameMenuBar::Retranslate() {
  game_->setTitle(tr("&Game"));
  optionsMenu_->setTitle(tr("&Options"));
  strength_->setTitle(tr("Strength"));
  const std::pair<const char*, QString> texts[] = {
      {"newGame", tr("&New game")},
      {"takeBack", tr("&Take back")},
      {"hint", tr("&Hint")},
      {"resign", tr("&Resign")},
      {"saveGame", tr("&Save game…")},
      {"copyGame", tr("&Copy game")},
      {"close", tr("C&lose")},
      {"playAsBlack", tr("Play as &Black")},
      {"flipBoard", tr("&Flip board")},
      {"coordinates", tr("C&oordinates")},
      {"showLastMove", tr("Show the &last move")},
      {"slideMoves", tr("&Slide moves")},
      {"varyMoves", tr("&Vary the bird's moves")},
      {"clickMoves", tr("&Move by clicking")},
  };
  for (const auto& [name, text] : texts)
    if (QAction* item = Item(QString::fromLatin1(name))) item->setText(text);
  for (int depth = 1; depth <= StrengthLevels; ++depth)
    Item(QStringLiteral("depth%1").arg(depth))
        ->setText(tr("%1 (depth %2)").arg(StrengthName(depth)).arg(depth));
}

}  // namespace perch
