#include "apps/perch-board/BoardWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QMetaObject>
#include <QVBoxLayout>
#include <cstdio>

#include "chess/engine/Fen.h"
#include "chess/engine/HintEngine.h"
#include "chess/model/Pgn.h"
#include "companion/SettingsFile.h"

namespace perch {

namespace {

// The menu bar lies over the window's margin and the board's top border, so
// that the squares keep their place in the window.
constexpr int MenuBarHeight = 23;
constexpr int DefaultDepth = 3;
constexpr int HintDepth = 4;

int PlyOf(const TChessGame& game) { return 2 * (game.CurrentMove() - 1) + (game.WhiteToMove() ? 0 : 1); }

TGameOptions StartOptions(const TSettingsFile* settings, int commandLineDepth) {
  TGameOptions defaults;
  defaults.depth = DefaultDepth;
  TGameOptions options = settings != nullptr ? ReadGameOptions(*settings, defaults) : defaults;
  if (commandLineDepth > 0) options.depth = commandLineDepth;
  return options;
}

}  // namespace

TBoardWindow::TBoardWindow(int searchDepth, std::unique_ptr<TSettingsFile> settings)
    : settings_(std::move(settings)),
      commandLineDepth_(searchDepth),
      hints_(std::make_unique<THintEngine>()) {
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

  TGameMenuBar::TCommands commands;
  commands.newGame = [this] { NewGameAsked(); };
  commands.takeBack = [this] { TakeBack(); };
  commands.hint = [this] { Hint(); };
  commands.resign = [this] { Resign(); };
  commands.saveGame = [this] { SaveGame(); };
  commands.copyGame = [this] { CopyGame(); };
  commands.close = [this] { close(); };
  menus_ = new TGameMenuBar(this, commands, StartOptions(settings_.get(), commandLineDepth_));
  menus_->OnOptionsChanged = [this](const TGameOptions& options, const TGameOptions& before) {
    OptionsChanged(options, before);
  };
  layout->activate();
  menus_->setGeometry(0, 0, width(), MenuBarHeight);
  whiteOnTop_ = menus_->Options().flipBoard;
  connect(flipButton_, &QPushButton::clicked, this, [this] { Flip(); });
  connect(newGameButton_, &QPushButton::clicked, this, [this] { NewGame(); });
  NewGame();
}

TBoardWindow::~TBoardWindow() {
  hints_.reset();  // its answers are posted to this window
  delete board_.data();
}

void TBoardWindow::NewGame() {
  delete board_.data();
  ++hintRequest_;
  result_.clear();
  pgnResult_ = "*";
  auto* board = new TChessBrd(boardHost_);
  board_ = board;
  const TGameOptions options = menus_->Options();
  board->setWhiteOnTop(whiteOnTop_);
  board->setSearchDepth(options.depth);
  board->setDisplayCoords({DisplayCoords::West, DisplayCoords::South});
  ApplyBoardOptions(*board, options);
  // The board shows its coordinates here whatever the option says.
  board->setDisplayCoords({DisplayCoords::West, DisplayCoords::South});
  board->setComputerPlaysBlack(!options.playAsBlack);
  board->setComputerPlaysWhite(options.playAsBlack);
  board->OnMate = [this](TChessGame* sender, Square, Square) {
    const bool whiteWon = !sender->WhiteToMove();
    Report(whiteWon ? "result white" : "result black");
    pgnResult_ = whiteWon ? "1-0" : "0-1";
    ShowStatus(whiteWon ? tr("White wins") : tr("Black wins"));
  };
  board->OnStaleMate = [this](TChessGame*, Square, Square) {
    Report("result stalemate");
    pgnResult_ = "1/2-1/2";
    ShowStatus(tr("Stalemate"));
  };
  board->OnDraw = [this](TChessGame*) {
    Report("result draw");
    pgnResult_ = "1/2-1/2";
    if (result_.isEmpty()) ShowStatus(tr("Draw"));
  };
  board->OnNoMatingMaterial = [this](TChessGame*) { ShowStatus(tr("Draw: no mating material")); };
  board->OnThreefoldPosition = [this](TChessGame*) { ShowStatus(tr("Draw by repetition")); };
  board->OnLegalMove = [this](TChessGame*, Square from, Square to) {
    Report("move " + SquareName(from) + SquareName(to));
    ShowStatus({});
  };
  board->OnPromotion = [this](TChessGame*, Square, Square, char& piece) {
    Report(std::string("promotion ") + piece);
  };
  board->OnPaint = [this](TChessGame*) {
    QMetaObject::invokeMethod(
        this, [this] { UpdateStatus(); }, Qt::QueuedConnection);
  };
  board->show();
  menus_->raise();
  ShowStatus({});
}

void TBoardWindow::NewGameAsked() {
  if (board_ && result_.isEmpty() && PlyOf(*board_) > 0 &&
      QMessageBox::question(this, tr("Perch chess"), tr("Give up this game and start a new one?")) !=
          QMessageBox::Yes)
    return;
  NewGame();
}

void TBoardWindow::TakeBack() {
  if (!board_ || !board_->isEnabled()) return;
  const bool engineToMove =
      board_->WhiteToMove() ? board_->ComputerPlaysWhite() : board_->ComputerPlaysBlack();
  board_->setHintSquares(Square::None, Square::None);
  board_->ClearSelection();
  const bool enginePlays = board_->ComputerPlaysWhite() || board_->ComputerPlaysBlack();
  if (!board_->TakeBack(enginePlays && !engineToMove ? 2 : 1)) return;
  ++hintRequest_;
  result_.clear();
  pgnResult_ = "*";
  Report("takeback");
  ShowStatus({});
}

void TBoardWindow::Hint() {
  if (!board_ || !result_.isEmpty() || !board_->isEnabled()) return;
  const std::uint64_t request = ++hintRequest_;
  const int ply = PlyOf(*board_);
  status_->setText(tr("Looking for a good move…"));
  hints_->Request(FormatFen(*board_), HintDepth, [this, request, ply](const THintResult& r) {
    QMetaObject::invokeMethod(
        this,
        [this, request, ply, r] {
          if (request != hintRequest_ || !board_ || PlyOf(*board_) != ply) return;
          UpdateStatus();
          if (!r.found || !board_->IsLegalMove(r.from, r.to)) return;
          board_->setHintSquares(r.from, r.to);
          status_->setText(
              tr("Hint: %1").arg(QString::fromStdString(MoveSan(*board_, r.from, r.to, r.promotion))));
        },
        Qt::QueuedConnection);
  });
}

void TBoardWindow::Resign() {
  if (!board_ || !result_.isEmpty()) return;
  board_->setComputerPlaysBlack(false);
  board_->setComputerPlaysWhite(false);
  board_->setEnabled(false);
  ++hintRequest_;
  const bool userWhite = !menus_->Options().playAsBlack;
  pgnResult_ = userWhite ? "0-1" : "1-0";
  Report("result resigned");
  ShowStatus(tr("You resigned"));
}

std::string TBoardWindow::Pgn() const {
  if (!board_) return {};
  TPgnTags tags;
  tags.event = "Casual game";
  tags.site = "perch-board";
  tags.date = QDate::currentDate().toString(QStringLiteral("yyyy.MM.dd")).toStdString();
  tags.round = "-";
  const bool userWhite = !board_->ComputerPlaysWhite() && board_->ComputerPlaysBlack();
  tags.white = userWhite ? "You" : "Perch";
  tags.black = userWhite ? "Perch" : "You";
  return GamePgn(*board_, tags, pgnResult_);
}

void TBoardWindow::SaveGame() {
  const std::string text = Pgn();
  const QString path = QFileDialog::getSaveFileName(this, tr("Save game"), QStringLiteral("game.pgn"),
                                                    tr("Chess games (*.pgn)"));
  if (path.isEmpty()) return;
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(text.data(), static_cast<qint64>(text.size())) < 0 || !file.flush())
    QMessageBox::warning(this, tr("Perch chess"),
                         tr("The game could not be saved to %1: %2").arg(path, file.errorString()));
}

void TBoardWindow::CopyGame() { QGuiApplication::clipboard()->setText(QString::fromStdString(Pgn())); }

void TBoardWindow::OptionsChanged(const TGameOptions& options, const TGameOptions& before) {
  // Only what changed is written: a depth given on the command line stays
  // this run's until the user picks one.
  if (settings_ != nullptr) WriteGameOptions(*settings_, options, before);
  whiteOnTop_ = options.flipBoard;
  if (board_) {
    ApplyBoardOptions(*board_, options);
    board_->setDisplayCoords({DisplayCoords::West, DisplayCoords::South});
  }
}

std::string TBoardWindow::SquareName(Square sq) {
  return {static_cast<char>('a' + FileOf(sq) - 1), static_cast<char>('0' + RankOf(sq))};
}

void TBoardWindow::Report(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

void TBoardWindow::Flip() {
  // The same as the menu's item, which keeps the choice.
  if (QAction* flip = menus_->Item(QStringLiteral("flipBoard"))) flip->toggle();
}

void TBoardWindow::ShowStatus(const QString& text) {
  if (!text.isEmpty()) result_ = text;
  UpdateStatus();
}

void TBoardWindow::UpdateStatus() {
  if (!result_.isEmpty()) {
    status_->setText(result_);
    return;
  }
  if (!board_) return;
  const bool engineToMove =
      board_->WhiteToMove() ? board_->ComputerPlaysWhite() : board_->ComputerPlaysBlack();
  const bool check = board_->WhiteToMove() ? board_->WhiteInCheckAfter(Square::A8, Square::A8)
                                           : board_->BlackInCheckAfter(Square::A8, Square::A8);
  QString text = engineToMove            ? tr("Thinking…")
                 : board_->WhiteToMove() ? tr("White to move")
                                         : tr("Black to move");
  if (check) text = tr("Check! %1").arg(text);
  status_->setText(text);
}

}  // namespace perch
