#pragma once
// perch-tray's heart: it holds the controller's window on the message link,
// keeps the companion running, offers the menu on a tray icon (or on a
// fallback button), tells in the tooltip what the bird is doing, and runs
// lively mode.

#include "apps/perch-tray/CompanionProcess.h"
#include "apps/perch-tray/GameWindowWatch.h"
#include "apps/perch-tray/LivelyScheduler.h"
#include "apps/perch-tray/RoutineTracker.h"
#include "apps/perch-tray/TrayMenu.h"
#include "apps/perch-tray/TraySettings.h"

#include "companion/SettingsFile.h"

#include "platform/LinkWindow.h"

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>

class QSocketNotifier;
class QSystemTrayIcon;

namespace perch {

class TFallbackButton;
class TSayDialog;
class TRenameDialog;
class TSettingsDialog;
class TLinkReceiver;
struct TLinkMessage;

class TTrayController : public QObject {
  Q_OBJECT
 public:
  // `verbose` prints the link's traffic and the tooltip on standard output.
  TTrayController(std::unique_ptr<perch::TLinkWindow> window, bool verbose);
  ~TTrayController() override;

  // Shows the icon (or the button) and starts the companion.
  void Start();
  // The menu's Quit: asks the companion to quit; perch-tray ends after it.
  void Quit();
  // Takes action names, one a line, from standard input (for tests).
  void AcceptActionsOnStandardInput();

  QMenu* Menu() const { return menu_.menu; }

 private:
  void OnMessage(const perch::TLinkMessage& message);
  void OnNotice(int code);
  // Posts a request (with its lParam); `fromUser` tells the user when the
  // bird cannot hear it.
  bool Post(int request, bool fromUser = true, std::int64_t value = 0);
  void SayText();
  void ShowSettings();
  void ShowAbout();
  void ShowTrouble(const QString& message);
  void ChooseLanguage(TLanguageMode mode);
  // The bird hidden until a time (a null one: until shown again): the
  // companion is asked to send it away, lively mode waits, and perch-tray
  // asks it back when the time comes, or at "Show".
  void HideBird(const QDateTime& until);
  void ShowBird();
  bool Hidden() const;
  void ScheduleComingBack();
  void OnHideTimer();
  void Rename();
  // The companion's settings file, where its size, voice and names are
  // kept; nullopt when the companion's program is not found.
  std::optional<TSettingsFile> CompanionSettings() const;
  // The menu's check marks as the companion keeps its size and voice.
  void ReflectCompanionSettings();
  void SetLively(bool enabled);
  void SetStartAtLogin(bool enabled);
  void ApplyLively(const TLivelySettings& lively);
  void ScheduleLively();
  void OnLivelyTimer();
  void ShowMenuOrButton();
  void UpdateTooltip();
  // Follows the game's window while a game is open (see TGameWindowWatch).
  void WatchGameWindow();
  void OnGameWatch();
  QString BirdName() const;
  void OfferLanguageToCompanion() const;
  QString Activity() const;
  void Log(const QString& line) const;
  void OnStandardInput();

  // A hidden widget that owns the menu and parents the dialogs.
  QWidget owner_;
  QIcon icon_;
  TTraySettings settings_;
  TRoutineTracker routines_;
  TLivelyScheduler scheduler_;
  TTrayMenu menu_;
  TCompanionProcess companion_;
  perch::TLinkReceiver* receiver_ = nullptr;
  QSystemTrayIcon* tray_ = nullptr;
  TFallbackButton* fallback_ = nullptr;
  QPointer<TSayDialog> sayDialog_;
  QPointer<TSettingsDialog> settingsDialog_;
  QPointer<TRenameDialog> renameDialog_;
  QTimer hideTimer_;  // brings the bird back when its time away is up
  QTimer livelyTimer_;
  QTimer trayWatch_;  // switches from the button to the tray when one appears
  QTimer gameWatch_;
  TGameWindowWatch gameWindow_;
  QSocketNotifier* input_ = nullptr;
  QByteArray inputLine_;
  bool verbose_;
  bool awake_ = false;  // notice 40 seen since the companion started
  bool quitting_ = false;
  bool lost_ = false;  // the companion kept dying and is left alone
  QString lastTooltip_;
};

}  // namespace perch
