#pragma once
// TActor, the companion form: the window the controlling program talks to.
// It stays out of sight left of the screen and carries the chessboard while
// a game is open. Its routines live in files of their own, one per concept.

#include "agent/AgentControl.h"
#include "companion/GameMenus.h"
#include "companion/LanguageMode.h"
#include "companion/SettingsFile.h"
#include "platform/LinkMessage.h"

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace perch {

class TChessBrd;
class TChessGame;
class TPercher;
class TPointerWatch;

// A draw from a generator reseeded from the clock.
int DrawFromClock(int low, int high);

class TLinkReceiver;

class TActor : public QWidget {
  Q_OBJECT
 public:
  // Builds the designed layout around the given agent control (the form
  // owns it) and binds the companion's link window, so that requests are
  // answered from the first wait on. Throws perch::TPlatformError when the
  // window cannot be bound.
  explicit TActor(std::unique_ptr<TAgent> agent, QWidget* parent = nullptr);
  ~TActor() override;

  // Designed position and client size.
  static constexpr int DesignLeft = -400;
  static constexpr int DesignTop = 117;
  static constexpr int DesignClientSize = 369;
  // Deeper nesting of routines than this drops the request (a flood of
  // requests during waits must not exhaust the stack).
  static constexpr int MaxRoutineDepth = 32;

  // Design-time components.
  QLabel* Image1;        // dark wood, the dark squares of the chessboard
  QLabel* Image2;        // light wood, the light squares
  QLineEdit* Edit1;      // the last text from the controller
  QPushButton* Button1;  // "New"
  QPushButton* Button2;  // "Exit"
  TAgent* Agent;

  QImage Image1Bitmap() const { return image1Bitmap_; }
  QImage Image2Bitmap() const { return image2Bitmap_; }

  // Set-up of the form (settings, character) ending with the introduction.
  // A failing step throws and ends it there.
  void FormCreate();
  // The first-run introduction; on a later start only notice 40.
  void Introduce();
  // Speaks a Chinese line in language 2052 (which stays set) and waits 1 s;
  // in a one-language mode, in that mode's voice.
  void SayChinese(const QString& text);
  // Speaks an English line in the current language (requests 21 and 22);
  // in a one-language mode, in that mode's voice.
  void Say(const QString& text);

  // The language mode: read from config.ini by FormCreate, changed by
  // requests 30-32. Setting it installs its translations, puts the form's
  // own texts in it and gives the character its voice; the next line is
  // spoken in it, lines already queued keep theirs.
  TLanguageMode LanguageMode() const { return languageMode_; }
  void SetLanguageMode(TLanguageMode mode);
  // The same at the controller's request, kept in config.ini.
  void ChangeLanguageMode(TLanguageMode mode);

  // One datagram of the controller; catches and reports every error.
  void HandleLinkMessage(const perch::TLinkMessage& message);
  // value: the request's lParam (the volume of request 65).
  void HandleRequest(std::uint64_t code, std::int64_t value = 0);
  void HandleText(const QString& text);

  // Routines started by requests 0-5 and the click reaction.
  void RandomActivity();
  void EatCookies();
  void GoToSleep();
  void GreetUser();
  void DoWork();
  void InviteToChess();
  // Behaviours between the routines, each by request ending with notice
  // 20: perching on a window (50; the bird stays perched after the notice),
  // a hop (51), a look around (52), preening (53) and a short line (54).
  void Perch();
  void Hop();
  void LookAround();
  void Preen();
  void Chatter();
  // The lines of Chatter, in the current language mode.
  static QStringList ChatterLines();
  TPercher& Percher() { return *percher_; }
  void AgentClick(TAgent* Sender, const QString& CharacterID, int Button, int Shift, std::int16_t x,
                  std::int16_t y);
  // The random draws of the routines: a whole number from low to high, each
  // equally likely. Tests may put their own in.
  std::function<int(int low, int high)> RandomNumber = DrawFromClock;

  // The chess game: the form comes on screen with a new board, the user
  // plays White. "New" and "Exit" start and end games.
  void PlayChess();
  void Button1Click();
  void Button2Click();
  void ChessBrd1LegalMove(TChessGame* Sender);
  void ChessBrd1Capture(TChessGame* Sender);
  void ChessBrd1Mate(TChessGame* Sender);
  void ChessBrd1Draw(TChessGame* Sender);
  void ChessBrd1Castle(TChessGame* Sender);
  // The board of the latest game; the move numbers seen at the last two
  // legal moves, kept across games.
  TChessBrd* ChessBrd1 = nullptr;
  int PrevMoveNo = 0;
  int CurMoveNo = 0;

  // The game window's menus and the status line under the board, made with
  // the first game (GameWindow.cpp). The options are kept in config.ini,
  // section [chess].
  TGameMenuBar* GameMenus = nullptr;
  QLabel* GameStatus = nullptr;
  TGameOptions GameOptions() const;
  // The Game menu's commands.
  void NewGameAsked();
  void TakeBackAsked();
  void HintAsked();
  void ResignAsked();
  void SaveGameAsked();
  void CopyGameAsked();
  // The game so far in PGN, the players named from the settings.
  QString GamePgnText() const;
  // Says what the status line says now.
  QString GameStatusText() const;
  // Test hook: the hint engine's depth (the hint and the watch of the
  // user's moves).
  int HintDepth = 4;

  // The loaded character, or null when loading failed: then the routines
  // leave out their character steps and still report to the controller.
  TAgentCharacter* Character = nullptr;
  TAgentRequestPtr LoadRequest;
  // The folder of the program's own executable, where the settings live
  // when it is writable.
  QString ProgramFolder;
  QString IniPath;
  std::unique_ptr<TSettingsFile> IniFile;

  int RoutineDepth() const { return routineDepth_; }

  // The bird's home on the desktop, each part kept in config.ini and read
  // by FormCreate (see Home.cpp): the place the user dragged it to, its
  // size, its voice's volume and silence. Nothing kept leaves it as it was
  // designed.
  enum class TBirdSize { Small, Normal, Large };
  static double BirdScale(TBirdSize size);
  void RestoreHome();
  // The user let go of the bird somewhere: the place is kept.
  void KeepPlace();
  void ChangeSize(TBirdSize size);
  void ChangeMuted(bool muted);
  void ChangeVolume(std::int64_t percent);
  // Away (requests 66 and 67): the bird flies off the screen and stays off
  // until asked back; meanwhile routine requests end at once with notice
  // 20 and texts are not spoken. Not kept: the controller asks again.
  void FlyAway();
  void ComeBack();
  bool Away() const { return Character != nullptr && Character->Away(); }
  // The names the introduction gave (halname, username), read at start and
  // again at request 68, after the controller changed them; the bird says
  // a new name of its own or the user's.
  void ReadNames(bool sayNewOnes);
  QString HalName;
  QString UserName;
  // Whether the bird perched where it was kept; read and written with the
  // place for the perching behaviours.
  bool Perching = false;

  // The form's Left as the routines read and write it: at a negative Left
  // the form is out of sight, its window not shown at all.
  void setLeft(int left);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  TAgentCharacter& Char();  // throws TAgentError when not loaded
  void ConnectGameButtons();
  void RetranslateForm();
  // The voice of a one-language mode, set only when it is not set already.
  void UseModeVoice();
  void ShowWithoutFocus();
  // A game comes only when the user asks for it (the controller's request,
  // "New"): once the window manager shows the form, it is raised and
  // activated as any window the user just asked for.
  void BringGameToFront();
  // During a game the character stands beside the game's window (and the
  // balloon keeps off it), following it when the user moves the window.
  void PlaceCharacterBesideBoard(int speed);
  void KeepCharacterBesideBoard();
  void StopFollowingBoard();
  // The game window: menus, status line and options around a new board,
  // and the bird's new lines during a game.
  void SetUpGameWindow(TChessBrd& board);
  void ConnectGameTalk(TChessBrd& board);
  void ApplyGameOptions(const TGameOptions& options, const TGameOptions& before);
  void ScheduleGameStatus();
  void UpdateGameStatus();
  // Takes the board away as "Exit" does: at once, or once its handlers
  // have returned.
  void RetireBoard(TChessBrd* board);
  // A new line of the bird about the latest move: at most one a move, and
  // none when one of the game's own comments spoke for that move.
  void SayAboutMove(TChessGame* sender, const QString& text, const QString& animation);
  void SayAboutPly(int ply, const QString& text, const QString& animation);
  void SayGameLine(const QString& text, const QString& animation);
  void MarkMoveCommented(TChessGame* sender);
  void WatchUserMoves(TChessGame* sender);
  void Evaluate(std::string fen, std::function<void(const struct THintResult&)> done);
  void EvaluateNext();
  bool BirdMadeTheMove(TChessGame* sender) const;
  QString BirdName() const;
  QString PlayerName() const;
  void EndGame(const QString& result);
  struct TGameWatch;
  struct TGameWatchEnd {
    void operator()(TGameWatch* watch) const;  // where the watch is complete
  };
  std::unique_ptr<TGameWatch, TGameWatchEnd> gameWatch_;
  bool statusScheduled_ = false;
  QString gameResult_;  // the result and why, once the game is over
  QString pgnResult_ = QStringLiteral("*");
  bool followingBoard_ = false;
  QPoint besideAt_;  // where the bird was last sent beside the board

  QImage image1Bitmap_;
  QImage image2Bitmap_;
  perch::TLinkReceiver* link_;
  int routineDepth_ = 0;
  TLanguageMode languageMode_ = TLanguageMode::Written;
  // The character's language as the texts as written would leave it (set up
  // in English, changed by requests 21 and 22 and by the Chinese lines):
  // what it gets back when the written mode returns.
  int writtenLanguage_ = LanguageEnglish;
  bool depthReported_ = false;  // the drop at the bound is written once per spell
  TPercher* percher_;
  // The bird turns to a pointer that comes near while no routine runs.
  TPointerWatch* pointerWatch_;
  void NoticePointer(QPoint pointer);
  int lastChatter_ = -1;  // the line Chatter said last, not said twice running
};

}  // namespace perch
