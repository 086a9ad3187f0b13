// The chess game window around the board: the menu bar (Game and Options),
// the status line under the board, the options kept in config.ini, the
// hint, and the bird's lines during a game beyond its comments of old
// (checks, promotions, a dropped piece, a strong move, a take back, a
// resignation).

#include "companion/Actor.h"
#include "companion/Companion.h"
#include "companion/ErrorBox.h"

#include "chess/board/TChessBrd.h"
#include "chess/engine/Fen.h"
#include "chess/engine/HintEngine.h"
#include "chess/model/Pgn.h"

#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <deque>
#include <optional>

namespace perch {

namespace {

// The menu bar lies over the board's top border, with the status line at
// its right: the squares and the buttons keep their places in the window,
// and the window its size, which the bird's place beside it is worked out
// from.
constexpr int MenuBarHeight = 23;
// A move that changes the hint engine's score by this much for the bird
// dropped material; one that gains the user this much since the user's
// move before is strong.
constexpr int DroppedMaterialCp = 200;
constexpr int StrongMoveCp = 100;
// Requests for the watch of the user's moves waiting for the hint engine:
// at most the position before a move and the one after it, and one more.
constexpr std::size_t MostWaitingEvaluations = 3;

int PlyOf(const TChessGame& game) { return 2 * (game.CurrentMove() - 1) + (game.WhiteToMove() ? 0 : 1); }

bool SideToMoveInCheck(const TChessGame& game) {
  return game.WhiteToMove() ? game.WhiteInCheckAfter(Square::A8, Square::A8)
                            : game.BlackInCheckAfter(Square::A8, Square::A8);
}

bool BirdPlaysWhite(const TChessGame* game) {
  const auto* board = dynamic_cast<const TChessBrd*>(game);
  return board != nullptr && board->property("birdPlaysWhite").toBool();
}

// "the knight to f3" in the words of the hint.
QString HintLine(char piece, Square to, char promotion) {
  const QString square = QString::fromStdString(SquareName(to));
  if (promotion != 0) return TActor::tr("Try the pawn to %1 and make it a queen.").arg(square);
  switch (piece) {
    case 'N':
    case 'n': return TActor::tr("Try the knight to %1.").arg(square);
    case 'B':
    case 'b': return TActor::tr("Try the bishop to %1.").arg(square);
    case 'R':
    case 'r': return TActor::tr("Try the rook to %1.").arg(square);
    case 'Q':
    case 'q': return TActor::tr("Try the queen to %1.").arg(square);
    case 'K':
    case 'k': return TActor::tr("Try the king to %1.").arg(square);
    default: return TActor::tr("Try the pawn to %1.").arg(square);
  }
}

}  // namespace

// The hint engines of the open game and what the watch of the user's moves
// has seen. The engines answer on their own threads; the answers come to
// the form's thread as queued calls and are dropped when the game has
// moved on.
struct TActor::TGameWatch {
  THintEngine hint;
  THintEngine watch;
  std::uint64_t hintRequest = 0;  // the newest hint asked for

  // The watch's requests, one at a time in order, so that the position
  // before the user's move and the one after it are both searched.
  struct TEvaluation {
    std::string fen;
    std::function<void(const THintResult&)> done;  // on the form's thread
  };
  std::deque<TEvaluation> waiting;
  bool searching = false;
  std::uint64_t game = 0;  // a new game or a take back ends the evaluations before it

  // The user's turn as the watch saw it: the best move and its score for
  // the user, at the ply of the position.
  int beforePly = -1;
  std::optional<THintResult> before;
  std::optional<int> previousUserScore;  // the score before the user's move before
  int commentedPly = -1;                 // the last move something was said about
};

void TActor::TGameWatchEnd::operator()(TGameWatch* watch) const { delete watch; }

TGameOptions TActor::GameOptions() const {
  return GameMenus != nullptr ? GameMenus->Options()
                              : (IniFile != nullptr ? ReadGameOptions(*IniFile) : TGameOptions{});
}

// --- set-up ------------------------------------------------------------------------

void TActor::SetUpGameWindow(TChessBrd& board) {
  if (GameMenus == nullptr) {
    TGameMenuBar::TCommands commands;
    auto run = [this](void (TActor::*command)()) {
      return [this, command] { RunReportingErrors([this, command] { (this->*command)(); }); };
    };
    commands.newGame = run(&TActor::NewGameAsked);
    commands.takeBack = run(&TActor::TakeBackAsked);
    commands.hint = run(&TActor::HintAsked);
    commands.resign = run(&TActor::ResignAsked);
    commands.saveGame = run(&TActor::SaveGameAsked);
    commands.copyGame = run(&TActor::CopyGameAsked);
    commands.close = [this] { Button2->click(); };
    GameMenus =
        new TGameMenuBar(this, commands, IniFile != nullptr ? ReadGameOptions(*IniFile) : TGameOptions{});
    GameMenus->setGeometry(0, 0, width(), MenuBarHeight);
    GameMenus->OnOptionsChanged = [this](const TGameOptions& options, const TGameOptions& before) {
      RunReportingErrors([&] { ApplyGameOptions(options, before); });
    };
    GameStatus = new QLabel(GameMenus);
    GameStatus->setObjectName(QStringLiteral("GameStatus"));
    GameStatus->setTextFormat(Qt::PlainText);
    GameStatus->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    GameStatus->setContentsMargins(0, 0, 6, 0);
    GameStatus->setMinimumWidth(220);
    GameMenus->setCornerWidget(GameStatus, Qt::TopRightCorner);
    gameWatch_.reset(new TGameWatch);
  }
  GameMenus->raise();
  GameMenus->show();
  GameStatus->show();

  const TGameOptions options = GameMenus->Options();
  ApplyBoardOptions(board, options);
  if (options.playAsBlack) ApplyBoardSide(board, options);
  board.setProperty("birdPlaysWhite", options.playAsBlack);
  ++gameWatch_->game;
  gameWatch_->hint.Cancel();
  gameWatch_->watch.Cancel();
  gameWatch_->waiting.clear();
  gameWatch_->searching = false;
  gameWatch_->before.reset();
  gameWatch_->previousUserScore.reset();
  gameWatch_->beforePly = -1;
  gameWatch_->commentedPly = -1;
  gameResult_.clear();
  pgnResult_ = QStringLiteral("*");
  ConnectGameTalk(board);
  UpdateGameStatus();
}

void TActor::ApplyGameOptions(const TGameOptions& options, const TGameOptions& before) {
  if (IniFile != nullptr) WriteGameOptions(*IniFile, options, before);
  // The side waits for the next game; the rest shows at once.
  if (ChessBrd1 != nullptr) ApplyBoardOptions(*ChessBrd1, options);
}

// --- talk -----------------------------------------------------------------------------

bool TActor::BirdMadeTheMove(TChessGame* sender) const {
  // Black's move raises the move number (see the capture comment).
  const bool blackMoved = CurMoveNo > PrevMoveNo;
  return BirdPlaysWhite(sender) ? CurMoveNo == PrevMoveNo : blackMoved;
}

void TActor::MarkMoveCommented(TChessGame* sender) {
  if (sender == ChessBrd1 && gameWatch_ != nullptr) gameWatch_->commentedPly = PlyOf(*sender);
}

void TActor::SayAboutMove(TChessGame* sender, const QString& text, const QString& animation) {
  if (sender != ChessBrd1 || gameWatch_ == nullptr) return;
  const int ply = PlyOf(*sender);
  // Said once the move is done: a comment of the game's own for the same
  // move, which may still come (a mate, a draw), goes first.
  QTimer::singleShot(0, this, [this, ply, text, animation] { SayAboutPly(ply, text, animation); });
}

void TActor::SayAboutPly(int ply, const QString& text, const QString& animation) {
  // About the latest move, or the user's move the bird has just answered.
  if (ChessBrd1 == nullptr || gameWatch_ == nullptr || gameWatch_->commentedPly == ply) return;
  const int now = PlyOf(*ChessBrd1);
  if (now != ply && now != ply + 1) return;
  gameWatch_->commentedPly = ply;
  RunReportingErrors([&] { SayGameLine(text, animation); });
}

void TActor::SayGameLine(const QString& text, const QString& animation) {
  if (Character == nullptr) return;
  Char().Play(animation);
  // The game's new lines are written in English: in the written mode they
  // are spoken in English.
  if (LanguageMode() == TLanguageMode::Written) {
    writtenLanguage_ = LanguageEnglish;
    if (Char().LanguageID() != LanguageEnglish) Char().setLanguageID(LanguageEnglish);
  }
  Say(text);
}

QString TActor::BirdName() const {
  const auto name = IniFile != nullptr
                        ? IniFile->ReadString(QString::fromLatin1(SettingsSection), QStringLiteral("halname"))
                        : std::nullopt;
  return name && !name->isEmpty() ? *name : QStringLiteral("Perch");
}

QString TActor::PlayerName() const {
  const auto name = IniFile != nullptr ? IniFile->ReadString(QString::fromLatin1(SettingsSection),
                                                             QStringLiteral("username"))
                                       : std::nullopt;
  return name && !name->isEmpty() ? *name : tr("You");
}

// --- the watch of the user's moves -------------------------------------------------------

void TActor::Evaluate(std::string fen, std::function<void(const THintResult&)> done) {
  TGameWatch& w = *gameWatch_;
  if (w.waiting.size() >= MostWaitingEvaluations) w.waiting.pop_front();
  w.waiting.push_back({std::move(fen), std::move(done)});
  EvaluateNext();
}

void TActor::EvaluateNext() {
  TGameWatch& w = *gameWatch_;
  if (w.searching || w.waiting.empty()) return;
  // One request at a time: a new one would cancel the one running.
  w.searching = true;
  TGameWatch::TEvaluation e = std::move(w.waiting.front());
  w.waiting.pop_front();
  w.watch.Request(std::move(e.fen), HintDepth, [this, done = std::move(e.done)](const THintResult& r) {
    QMetaObject::invokeMethod(
        this,
        [this, done, r] {
          gameWatch_->searching = false;
          RunReportingErrors([&] { done(r); });
          EvaluateNext();
        },
        Qt::QueuedConnection);
  });
}

void TActor::WatchUserMoves(TChessGame* sender) {
  auto* board = dynamic_cast<TChessBrd*>(sender);
  if (board == nullptr || board != ChessBrd1 || gameWatch_ == nullptr || board->GameOver()) return;
  // Only against the bird: with the engine off both sides are the user's.
  if (!board->ComputerPlaysBlack() && !board->ComputerPlaysWhite()) return;
  const int ply = PlyOf(*board);
  const bool birdToMove = board->WhiteToMove() == board->ComputerPlaysWhite();
  const std::uint64_t game = gameWatch_->game;
  if (!birdToMove) {
    // The user's turn: the best move and its score, to measure the move by.
    Evaluate(FormatFen(*board), [this, game, ply](const THintResult& r) {
      TGameWatch& w = *gameWatch_;
      if (w.game != game || !r.found) return;
      w.previousUserScore = w.before ? std::optional<int>(w.before->scoreCp) : std::nullopt;
      w.beforePly = ply;
      w.before = r;
    });
    return;
  }
  const std::pair<Square, Square> last = board->LastMove();
  Evaluate(FormatFen(*board), [this, game, ply, last](const THintResult& r) {
    TGameWatch& w = *gameWatch_;
    if (w.game != game || !r.found || !w.before || w.beforePly != ply - 1) return;
    const int userBefore = w.before->scoreCp;
    const int userAfter = -r.scoreCp;
    const bool bestMove = w.before->from == last.first && w.before->to == last.second;
    if (userBefore - userAfter >= DroppedMaterialCp) {
      SayAboutPly(ply, tr("Oops! That piece was hanging."), QStringLiteral("Pleased"));
    } else if (bestMove && w.previousUserScore && userAfter - *w.previousUserScore >= StrongMoveCp) {
      SayAboutPly(ply, tr("Strong move! I did not see that coming."), QStringLiteral("confused"));
    }
  });
}

// --- the status line --------------------------------------------------------------------

void TActor::ScheduleGameStatus() {
  // Once the move is done and its events have all come.
  if (statusScheduled_) return;
  statusScheduled_ = true;
  QTimer::singleShot(0, this, [this] {
    statusScheduled_ = false;
    RunReportingErrors([this] { UpdateGameStatus(); });
  });
}

QString TActor::GameStatusText() const {
  if (!gameResult_.isEmpty()) return gameResult_;
  const TChessBrd* board = ChessBrd1;
  if (board == nullptr) return {};
  const bool birdToMove = board->WhiteToMove() ? board->ComputerPlaysWhite() : board->ComputerPlaysBlack();
  const bool check = SideToMoveInCheck(*board);
  if (birdToMove)
    return check ? tr("Check! %1 is thinking…").arg(BirdName()) : tr("%1 is thinking…").arg(BirdName());
  const QString side = board->WhiteToMove() ? tr("White to move") : tr("Black to move");
  return check ? tr("Check! %1.").arg(side) : tr("%1.").arg(side);
}

void TActor::UpdateGameStatus() {
  if (GameStatus != nullptr) GameStatus->setText(GameStatusText());
}

void TActor::EndGame(const QString& result) {
  if (gameResult_.isEmpty()) gameResult_ = result;
  // Mates set their own result; whatever else ends a game here is a draw.
  if (pgnResult_ == QStringLiteral("*")) pgnResult_ = QStringLiteral("1/2-1/2");
  ScheduleGameStatus();
}

// --- the Game menu -------------------------------------------------------------------------

void TActor::NewGameAsked() {
  if (ChessBrd1 != nullptr && gameResult_.isEmpty() && PlyOf(*ChessBrd1) > 0) {
    QMessageBox ask(QMessageBox::Question, tr("Perch"), tr("Give up this game and start a new one?"),
                    QMessageBox::Yes | QMessageBox::No, this);
    ask.setObjectName(QStringLiteral("NewGameBox"));
    ask.setDefaultButton(QMessageBox::No);
    if (ask.exec() != QMessageBox::Yes) return;
  }
  if (ChessBrd1 != nullptr) {
    TChessBrd* old = ChessBrd1;
    ChessBrd1 = nullptr;
    RetireBoard(old);
  }
  Button1Click();
}

void TActor::TakeBackAsked() {
  TChessBrd* board = ChessBrd1;
  if (board == nullptr || !board->isEnabled()) return;
  // While the bird's reply is still coming only the user's move goes back;
  // after it, the reply and the user's move.
  const bool birdToMove = board->WhiteToMove() ? board->ComputerPlaysWhite() : board->ComputerPlaysBlack();
  const bool birdPlays = board->ComputerPlaysWhite() || board->ComputerPlaysBlack();
  board->setHintSquares(Square::None, Square::None);
  board->ClearSelection();
  if (!board->TakeBack(birdPlays && !birdToMove ? 2 : 1)) return;
  ++gameWatch_->game;
  gameWatch_->waiting.clear();
  gameWatch_->before.reset();
  gameWatch_->previousUserScore.reset();
  gameWatch_->hint.Cancel();
  gameResult_.clear();
  pgnResult_ = QStringLiteral("*");
  Button1->setEnabled(false);
  // The move numbers as the handlers would have seen them.
  CurMoveNo = board->CurrentMove();
  PrevMoveNo = CurMoveNo;
  gameWatch_->commentedPly = PlyOf(*board);
  SayGameLine(tr("All right, let us try that again."), QStringLiteral("GestureLeft"));
  WatchUserMoves(board);
  UpdateGameStatus();
}

void TActor::HintAsked() {
  TChessBrd* board = ChessBrd1;
  if (board == nullptr || !gameResult_.isEmpty() || !board->isEnabled()) return;
  const bool birdToMove = board->WhiteToMove() ? board->ComputerPlaysWhite() : board->ComputerPlaysBlack();
  if (birdToMove || !board->HasLegalMove()) return;
  const std::uint64_t request = ++gameWatch_->hintRequest;
  const int ply = PlyOf(*board);
  const std::uint64_t game = gameWatch_->game;
  GameStatus->setText(tr("Looking for a good move…"));
  gameWatch_->hint.Request(FormatFen(*board), HintDepth, [this, request, ply, game](const THintResult& r) {
    QMetaObject::invokeMethod(
        this,
        [this, request, ply, game, r] {
          RunReportingErrors([&] {
            // Only the newest hint, and only while its position stands.
            if (request != gameWatch_->hintRequest) return;
            UpdateGameStatus();
            TChessBrd* now = ChessBrd1;
            if (now == nullptr || game != gameWatch_->game || PlyOf(*now) != ply) return;
            if (!r.found || !now->IsLegalMove(r.from, r.to)) return;
            now->setHintSquares(r.from, r.to);
            SayGameLine(HintLine(now->PieceAt(r.from), r.to, r.promotion), QStringLiteral("GestureLeft"));
          });
        },
        Qt::QueuedConnection);
  });
}

void TActor::ResignAsked() {
  TChessBrd* board = ChessBrd1;
  if (board == nullptr || !gameResult_.isEmpty()) return;
  board->setComputerPlaysBlack(false);
  board->setComputerPlaysWhite(false);
  board->setEnabled(false);  // no more moves on it
  gameWatch_->hint.Cancel();
  gameWatch_->waiting.clear();
  ++gameWatch_->game;
  gameResult_ = tr("You resigned. %1 wins.").arg(BirdName());
  pgnResult_ = BirdPlaysWhite(board) ? QStringLiteral("1-0") : QStringLiteral("0-1");
  Button1->setEnabled(true);
  UpdateGameStatus();
  SayGameLine(tr("Thank you for the game! Shall we play again?"), QStringLiteral("Wave"));
}

QString TActor::GamePgnText() const {
  if (ChessBrd1 == nullptr) return {};
  const bool birdWhite = BirdPlaysWhite(ChessBrd1);
  TPgnTags tags;
  tags.event = "Casual game";
  tags.site = "Perch";
  tags.date = QDate::currentDate().toString(QStringLiteral("yyyy.MM.dd")).toStdString();
  tags.round = "-";
  tags.white = (birdWhite ? BirdName() : PlayerName()).toStdString();
  tags.black = (birdWhite ? PlayerName() : BirdName()).toStdString();
  return QString::fromStdString(GamePgn(*ChessBrd1, tags, pgnResult_.toStdString()));
}

void TActor::SaveGameAsked() {
  if (ChessBrd1 == nullptr) return;
  const QString text = GamePgnText();
  const QString path = QFileDialog::getSaveFileName(this, tr("Save game"), QStringLiteral("game.pgn"),
                                                    tr("Chess games (*.pgn)"));
  if (path.isEmpty()) return;
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0 ||
      !file.flush())
    ShowErrorBox(tr("The game could not be saved to %1: %2").arg(path, file.errorString()));
}

void TActor::CopyGameAsked() {
  if (ChessBrd1 == nullptr) return;
  QGuiApplication::clipboard()->setText(GamePgnText());
}

}  // namespace perch
