#include "apps/perch-tray/TrayController.h"

#include "apps/perch-tray/AppIcon.h"
#include "apps/perch-tray/Autostart.h"
#include "apps/perch-tray/FallbackButton.h"
#include "apps/perch-tray/FullScreenCheck.h"
#include "apps/perch-tray/RenameDialog.h"
#include "apps/perch-tray/RequestCodes.h"
#include "apps/perch-tray/SayDialog.h"
#include "apps/perch-tray/SettingsDialog.h"

#include "companion/SettingsFile.h"
#include "platform/PlatformError.h"
#include "platform/qt/LinkReceiver.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <QTime>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace perch {

namespace {

// While a full-screen window keeps lively mode back, it looks again this often.
constexpr int FullScreenRetryMs = 15000;
constexpr int TrayWatchMs = 5000;
// The game's window is looked at this often: the tooltip follows within a second.
constexpr int GameWatchMs = 400;
// A test's action line longer than this is no action name; it is dropped.
constexpr int MaxInputLine = 256;
// The time away is looked at again at least this often (a clock set back,
// a far time written into the settings by hand).
constexpr qint64 MaxHideWaitMs = qint64{3600} * 1000;

// The volume step of the menu nearest a volume.
QAction* NearestVolume(const std::vector<QAction*>& steps, int volume) {
  QAction* nearest = nullptr;
  for (QAction* step : steps)
    if (nearest == nullptr ||
        std::abs(step->data().toInt() - volume) < std::abs(nearest->data().toInt() - volume))
      nearest = step;
  return nearest;
}

double UniformRandom() {
  static std::mt19937 generator{std::random_device{}()};
  return std::uniform_real_distribution<double>(0.0, 1.0)(generator);
}

int LocalMinuteOfDay() {
  const QTime now = QTime::currentTime();
  return now.hour() * 60 + now.minute();
}

}  // namespace

TTrayController::TTrayController(std::unique_ptr<perch::TLinkWindow> window, bool verbose)
    : icon_(AppIcon()),
      scheduler_(
          settings_.Lively(), [] { return std::chrono::steady_clock::now(); }, LocalMinuteOfDay,
          UniformRandom),
      menu_(BuildTrayMenu(&owner_)),
      verbose_(verbose) {
  QApplication::setWindowIcon(icon_);
  receiver_ = new perch::TLinkReceiver(
      std::move(window), [this](const perch::TLinkMessage& message) { OnMessage(message); }, this);

  const std::pair<QAction*, int> requests[] = {
      {menu_.greet, RequestGreet}, {menu_.eat, RequestEat},       {menu_.work, RequestWork},
      {menu_.sleep, RequestSleep}, {menu_.random, RequestRandom}, {menu_.chess, RequestChess},
  };
  for (const auto& entry : requests) {
    const int request = entry.second;
    connect(entry.first, &QAction::triggered, this, [this, request] { Post(request); });
  }
  connect(menu_.say, &QAction::triggered, this, &TTrayController::SayText);
  connect(menu_.written, &QAction::triggered, this, [this] { ChooseLanguage(TLanguageMode::Written); });
  connect(menu_.english, &QAction::triggered, this, [this] { ChooseLanguage(TLanguageMode::English); });
  connect(menu_.chinese, &QAction::triggered, this, [this] { ChooseLanguage(TLanguageMode::Chinese); });
  const std::pair<QAction*, int> sizes[] = {{menu_.sizeSmall, RequestSizeSmall},
                                            {menu_.sizeNormal, RequestSizeNormal},
                                            {menu_.sizeLarge, RequestSizeLarge}};
  for (const auto& [action, request] : sizes)
    connect(action, &QAction::triggered, this, [this, request = request] { Post(request); });
  connect(menu_.mute, &QAction::triggered, this,
          [this](bool muted) { Post(muted ? RequestMute : RequestUnmute); });
  for (QAction* step : menu_.volumes)
    connect(step, &QAction::triggered, this,
            [this, step] { Post(RequestVolume, true, step->data().toInt()); });
  const std::pair<QAction*, int> hideMinutes[] = {
      {menu_.hide15, 15}, {menu_.hide60, 60}, {menu_.hideUntilShown, 0}};
  for (const auto& [action, minutes] : hideMinutes)
    connect(action, &QAction::triggered, this, [this, minutes = minutes] {
      HideBird(minutes > 0 ? QDateTime::currentDateTimeUtc().addSecs(minutes * 60LL) : QDateTime());
    });
  connect(menu_.show, &QAction::triggered, this, &TTrayController::ShowBird);
  connect(menu_.rename, &QAction::triggered, this, &TTrayController::Rename);
  connect(menu_.lively, &QAction::toggled, this, &TTrayController::SetLively);
  connect(menu_.startAtLogin, &QAction::toggled, this, &TTrayController::SetStartAtLogin);
  connect(menu_.settings, &QAction::triggered, this, &TTrayController::ShowSettings);
  connect(menu_.about, &QAction::triggered, this, &TTrayController::ShowAbout);
  connect(menu_.quit, &QAction::triggered, this, &TTrayController::Quit);

  if (settings_.ChooseLanguageOnFirstStart(QLocale().name())) OfferLanguageToCompanion();
  const TLanguageMode language = settings_.LanguageMode().value_or(TLanguageMode::Written);
  (language == TLanguageMode::Chinese   ? menu_.chinese
   : language == TLanguageMode::English ? menu_.english
                                        : menu_.written)
      ->setChecked(true);
  NameWrittenMode(menu_, BirdName());
  menu_.lively->setChecked(scheduler_.Settings().enabled);
  menu_.startAtLogin->setChecked(AutostartEnabled());
  // Anything may have changed the autostart file since the menu was last open.
  connect(menu_.menu, &QMenu::aboutToShow, this, [this] {
    const QSignalBlocker quiet(menu_.startAtLogin);
    menu_.startAtLogin->setChecked(AutostartEnabled());
    NameWrittenMode(menu_, BirdName());  // named in the introduction meanwhile
    ReflectCompanionSettings();
  });
  ReflectCompanionSettings();
  hideTimer_.setSingleShot(true);
  connect(&hideTimer_, &QTimer::timeout, this, &TTrayController::OnHideTimer);
  ScheduleComingBack();

  livelyTimer_.setSingleShot(true);
  connect(&livelyTimer_, &QTimer::timeout, this, &TTrayController::OnLivelyTimer);
  connect(&trayWatch_, &QTimer::timeout, this, [this] {
    if (QSystemTrayIcon::isSystemTrayAvailable()) ShowMenuOrButton();
  });

  connect(&gameWatch_, &QTimer::timeout, this, &TTrayController::OnGameWatch);

  connect(&companion_, &TCompanionProcess::Starting, this, [this] {
    awake_ = false;
    lost_ = false;
    routines_.Clear();
    WatchGameWindow();
    UpdateTooltip();
  });
  connect(&companion_, &TCompanionProcess::Adopted, this, [this] {
    awake_ = true;  // its start-up notices went out before perch-tray listened
    if (Hidden()) Post(RequestFlyAway, false);
    routines_.Clear();
    WatchGameWindow();
    scheduler_.RestartIdle();
    ScheduleLively();
    UpdateTooltip();
  });
  connect(&companion_, &TCompanionProcess::GaveUp, this, [this] {
    lost_ = true;
    livelyTimer_.stop();
    UpdateTooltip();
  });
  connect(&companion_, &TCompanionProcess::Gone, this, [this] {
    Log(QStringLiteral("companion gone"));
    QApplication::quit();
  });
  connect(&companion_, &TCompanionProcess::Trouble, this, &TTrayController::ShowTrouble);
}

TTrayController::~TTrayController() {
  // The icon and the link go first, while everything their handlers reach
  // still exists; the fallback button is a top-level window of its own.
  delete tray_;
  delete receiver_;
  delete fallback_;
}

void TTrayController::Start() {
  ShowMenuOrButton();
  UpdateTooltip();
  companion_.Ensure();
}

void TTrayController::ShowMenuOrButton() {
  if (QSystemTrayIcon::isSystemTrayAvailable()) {
    trayWatch_.stop();
    if (tray_ == nullptr) {
      tray_ = new QSystemTrayIcon(icon_, this);
      tray_->setContextMenu(menu_.menu);
      connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        Log(QStringLiteral("tray icon clicked %1").arg(static_cast<int>(reason)));
        if (reason == QSystemTrayIcon::Trigger) menu_.menu->popup(QCursor::pos());
      });
    }
    tray_->setToolTip(lastTooltip_);
    tray_->show();
    if (fallback_ != nullptr) fallback_->hide();
    Log(QStringLiteral("tray icon shown"));
    return;
  }
  if (fallback_ != nullptr && fallback_->isVisible()) return;
  const bool first = fallback_ == nullptr;
  if (first) {
    fallback_ = new TFallbackButton(icon_, menu_.menu);
    fallback_->setToolTip(lastTooltip_);
  }
  fallback_->ShowInCorner();
  Log(QStringLiteral("fallback button shown"));
  trayWatch_.start(TrayWatchMs);
  if (!first) return;
  const QString notice =
      tr("There is no system tray on this desktop, so Perch's menu is on the small button "
         "at the bottom right corner of the screen.");
  // Said once ever in a box, later on standard error only.
  std::fprintf(stderr, "perch-tray: %s\n", qPrintable(notice));
  if (settings_.TrayNoticeShown()) return;
  settings_.SetTrayNoticeShown();
  // Beside the button rather than in its way: the box neither takes the
  // keyboard from the user's window nor holds the button back until it is
  // closed.
  auto* box = new QMessageBox(QMessageBox::Information, tr("Perch"), notice, QMessageBox::Ok, &owner_);
  box->setTextFormat(Qt::PlainText);
  box->setWindowFlag(Qt::Window);
  box->setWindowModality(Qt::NonModal);
  box->setAttribute(Qt::WA_ShowWithoutActivating);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->show();
}

void TTrayController::OnMessage(const perch::TLinkMessage& message) {
  if (message.message != perch::WM_COMPANION) return;  // the controller takes notices only
  if (message.wParam > 0xFFFFFFFFu) return;
  OnNotice(static_cast<int>(message.wParam));
}

void TTrayController::OnNotice(int code) {
  switch (code) {
    case NoticeRoutineEnded:
      Log(QStringLiteral("notice 20"));
      routines_.Ended();
      if (!routines_.Running()) scheduler_.RestartIdle();
      break;
    case NoticeStarted:
      Log(QStringLiteral("notice 40"));
      companion_.NoteStartedUp();
      if (!awake_ && settings_.Chinese()) Post(RequestChinese, false);
      // The mode last chosen here, which the companion keeps too.
      if (const auto mode = settings_.LanguageMode(); !awake_ && mode) Post(LanguageRequest(*mode), false);
      // A bird hidden stays hidden when the companion starts again.
      if (!awake_ && Hidden()) Post(RequestFlyAway, false);
      awake_ = true;
      scheduler_.RestartIdle();
      break;
    case NoticeClicked:
      Log(QStringLiteral("notice 41"));
      routines_.Clicked();       // the bird stopped what it played to answer
      scheduler_.RestartIdle();  // the user is with the bird
      break;
    default: return;  // not a notice of the companion's: ignored
  }
  ScheduleLively();
  WatchGameWindow();
  UpdateTooltip();
}

bool TTrayController::Post(int request, bool fromUser, std::int64_t value) {
  perch::TPostResult result = perch::TPostResult::NoWindow;
  try {
    result = perch::PostMessageTo(perch::CompanionClass, perch::WM_COMPANION,
                                  static_cast<std::uint64_t>(request), value);
  } catch (const perch::TPlatformError& error) {
    std::fprintf(stderr, "perch-tray: %s\n", error.what());
  }
  if (result != perch::TPostResult::Delivered) {
    Log(QStringLiteral("request %1 lost").arg(request));
    if (fromUser && !quitting_ && tray_ != nullptr) {
      tray_->showMessage(tr("Perch"), tr("The bird is not there to hear it."), QSystemTrayIcon::Warning);
    }
    return false;
  }
  Log(value == 0 ? QStringLiteral("request %1").arg(request)
                 : QStringLiteral("request %1 %2").arg(request).arg(value));
  routines_.Requested(request);
  if (request == RequestChess) gameWindow_.Forget();  // the window is looked for afresh
  ScheduleLively();
  WatchGameWindow();
  UpdateTooltip();
  return true;
}

void TTrayController::SayText() {
  if (sayDialog_) {
    sayDialog_->raise();
    sayDialog_->activateWindow();
    return;
  }
  sayDialog_ = new TSayDialog(BirdName(), settings_.SayHistory(), &owner_);
  sayDialog_->setWindowFlag(Qt::Window);
  sayDialog_->setAttribute(Qt::WA_DeleteOnClose);
  connect(sayDialog_, &QDialog::accepted, this, [this] {
    const QString text = sayDialog_->Text();
    if (text.isEmpty()) return;
    settings_.RememberSaid(text);
    const auto datagram = perch::EncodeCopyData(text.toStdString());
    perch::TPostResult result = perch::TPostResult::NoWindow;
    try {
      result = perch::PostToWindow(perch::CompanionClass, datagram);
    } catch (const perch::TPlatformError& error) {
      std::fprintf(stderr, "perch-tray: %s\n", error.what());
    }
    Log(result == perch::TPostResult::Delivered ? QStringLiteral("text %1").arg(text)
                                                : QStringLiteral("text lost"));
  });
  sayDialog_->show();
  sayDialog_->activateWindow();
}

void TTrayController::ChooseLanguage(TLanguageMode mode) {
  settings_.SetLanguageMode(mode);
  // The voice first, as a companion without language modes understands it
  // (English for the texts as written, as they start); the mode then makes
  // it inaudible in a one-language mode.
  Post(mode == TLanguageMode::Chinese ? RequestChinese : RequestEnglish);
  Post(LanguageRequest(mode));
}

void TTrayController::HideBird(const QDateTime& until) {
  settings_.SetHiddenUntil(until);
  ScheduleComingBack();
  Post(RequestFlyAway);
  ScheduleLively();
  UpdateTooltip();
}

void TTrayController::ShowBird() {
  settings_.SetHiddenUntil(std::nullopt);
  hideTimer_.stop();
  Post(RequestComeBack, false);
  scheduler_.RestartIdle();  // back from its time away, the bird rests first
  ScheduleLively();
  UpdateTooltip();
}

bool TTrayController::Hidden() const {
  const auto until = settings_.HiddenUntil();
  return until && (until->isNull() || QDateTime::currentDateTimeUtc() < *until);
}

void TTrayController::ScheduleComingBack() {
  hideTimer_.stop();
  const auto until = settings_.HiddenUntil();
  if (!until || until->isNull()) return;
  const qint64 wait = QDateTime::currentDateTimeUtc().msecsTo(*until);
  hideTimer_.start(static_cast<int>(std::clamp<qint64>(wait, 0, MaxHideWaitMs)));
}

void TTrayController::OnHideTimer() {
  if (!settings_.HiddenUntil()) return;  // shown meanwhile (another perch-tray, the user's editor)
  if (Hidden()) return ScheduleComingBack();
  Log(QStringLiteral("time away is up"));
  ShowBird();
}

std::optional<TSettingsFile> TTrayController::CompanionSettings() const {
  const QString program = TCompanionProcess::ProgramPath();
  if (program.isEmpty()) return std::nullopt;
  return TSettingsFile(SettingsLocation(QFileInfo(program).absolutePath()));
}

void TTrayController::ReflectCompanionSettings() {
  const QString section = QString::fromLatin1(SettingsSection);
  QString size;
  int volume = 100;
  bool muted = false;
  if (const auto file = CompanionSettings()) {
    size = file->ReadString(section, QStringLiteral("size")).value_or(QString()).trimmed().toLower();
    volume = file->ReadInteger(section, QStringLiteral("volume"), 100);
    muted = file->ReadInteger(section, QStringLiteral("mute"), 0) != 0;
  }
  (size == u"small"   ? menu_.sizeSmall
   : size == u"large" ? menu_.sizeLarge
                      : menu_.sizeNormal)
      ->setChecked(true);
  menu_.mute->setChecked(muted);
  if (QAction* step = NearestVolume(menu_.volumes, volume)) step->setChecked(true);
  menu_.show->setVisible(Hidden());
}

void TTrayController::Rename() {
  if (renameDialog_) {
    renameDialog_->raise();
    renameDialog_->activateWindow();
    return;
  }
  const auto file = CompanionSettings();
  if (!file) {
    ShowTrouble(tr("The bird's names cannot be changed: its program was not found."));
    return;
  }
  const QString section = QString::fromLatin1(SettingsSection);
  renameDialog_ =
      new TRenameDialog(file->ReadString(section, QStringLiteral("halname")).value_or(QString()),
                        file->ReadString(section, QStringLiteral("username")).value_or(QString()), &owner_);
  renameDialog_->setWindowFlag(Qt::Window);
  renameDialog_->setAttribute(Qt::WA_DeleteOnClose);
  connect(renameDialog_, &QDialog::accepted, this, [this] {
    auto names = CompanionSettings();
    if (!names) return;
    const QString parameters = QString::fromLatin1(SettingsSection);
    // Where the introduction keeps them; the companion reads them again.
    if (!names->WriteString(parameters, QStringLiteral("halname"), renameDialog_->BirdName()) ||
        !names->WriteString(parameters, QStringLiteral("username"), renameDialog_->UserName())) {
      ShowTrouble(tr("The names could not be saved in %1.").arg(names->Path()));
      return;
    }
    Post(RequestReadNames, false);
    NameWrittenMode(menu_, BirdName());
    UpdateTooltip();
  });
  renameDialog_->show();
  renameDialog_->activateWindow();
}

void TTrayController::SetLively(bool enabled) {
  TLivelySettings lively = scheduler_.Settings();
  if (lively.enabled == enabled) return;
  lively.enabled = enabled;
  ApplyLively(lively);
}

void TTrayController::ApplyLively(const TLivelySettings& lively) {
  settings_.SetLively(lively);
  scheduler_.SetSettings(lively);
  const QSignalBlocker quiet(menu_.lively);
  menu_.lively->setChecked(lively.enabled);
  ScheduleLively();
}

void TTrayController::SetStartAtLogin(bool enabled) {
  if (SetAutostart(enabled, QApplication::applicationFilePath())) return;
  const QSignalBlocker quiet(menu_.startAtLogin);
  menu_.startAtLogin->setChecked(AutostartEnabled());
  ShowTrouble(tr("The login start could not be changed in %1.").arg(AutostartPath()));
}

void TTrayController::ShowSettings() {
  if (settingsDialog_) {
    settingsDialog_->raise();
    settingsDialog_->activateWindow();
    return;
  }
  settingsDialog_ = new TSettingsDialog(scheduler_.Settings(), AutostartEnabled(), &owner_);
  settingsDialog_->setWindowFlag(Qt::Window);
  settingsDialog_->setAttribute(Qt::WA_DeleteOnClose);
  connect(settingsDialog_, &QDialog::accepted, this, [this] {
    ApplyLively(settingsDialog_->Lively());
    if (settingsDialog_->StartAtLogin() != AutostartEnabled()) {
      SetStartAtLogin(settingsDialog_->StartAtLogin());
      const QSignalBlocker quiet(menu_.startAtLogin);
      menu_.startAtLogin->setChecked(AutostartEnabled());
    }
  });
  settingsDialog_->show();
  settingsDialog_->activateWindow();
}

void TTrayController::ShowAbout() {
  auto* box = new QMessageBox(QMessageBox::NoIcon, tr("About Perch"),
                              tr("Perch %1\n\nA companion bird for the desktop: it lives beside your "
                                 "windows, talks in balloons, goes about its day and plays chess "
                                 "with you.")
                                  .arg(QApplication::applicationVersion()),
                              QMessageBox::Ok, &owner_);
  box->setTextFormat(Qt::PlainText);
  box->setIconPixmap(icon_.pixmap(64, 64));
  box->setWindowFlag(Qt::Window);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->show();
}

void TTrayController::ShowTrouble(const QString& message) {
  std::fprintf(stderr, "perch-tray: %s\n", qPrintable(message));
  auto* box = new QMessageBox(QMessageBox::Warning, tr("Perch"), message, QMessageBox::Ok, &owner_);
  box->setTextFormat(Qt::PlainText);
  box->setWindowFlag(Qt::Window);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->show();
  UpdateTooltip();
}

void TTrayController::Quit() {
  if (quitting_) return;
  quitting_ = true;
  livelyTimer_.stop();
  const bool told = Post(RequestQuit, false);
  UpdateTooltip();
  companion_.ExpectQuit(told);
}

void TTrayController::ScheduleLively() {
  livelyTimer_.stop();
  // The routine's end reschedules, and so does the bird coming back.
  if (quitting_ || lost_ || !awake_ || routines_.Running() || Hidden()) return;
  if (const auto wait = scheduler_.TimeUntilDue()) livelyTimer_.start(static_cast<int>(wait->count()));
}

void TTrayController::OnLivelyTimer() {
  if (quitting_ || !awake_ || Hidden()) return;
  const TLivelyBlockers blockers{routines_.Running(), routines_.GameOpen(), ActiveWindowIsFullScreen()};
  if (const auto request = scheduler_.Due(blockers)) {
    Log(QStringLiteral("lively"));
    Post(*request, false);
    ScheduleLively();
    return;
  }
  if (blockers.fullScreen) {
    livelyTimer_.start(FullScreenRetryMs);
    return;
  }
  ScheduleLively();
}

void TTrayController::OfferLanguageToCompanion() const {
  // The first start's choice is the companion's too, from its introduction
  // on, unless it keeps one of its own.
  const QString program = TCompanionProcess::ProgramPath();
  const auto mode = settings_.LanguageMode();
  if (program.isEmpty() || !mode) return;
  TSettingsFile file(SettingsLocation(QFileInfo(program).absolutePath()));
  const QString section = QString::fromLatin1(SettingsSection);
  const QString key = QString::fromLatin1(LanguageKey);
  if (!file.ReadString(section, key)) file.WriteString(section, key, LanguageModeName(*mode));
}

QString TTrayController::BirdName() const {
  const QString program = TCompanionProcess::ProgramPath();
  if (!program.isEmpty()) {
    const TSettingsFile file(SettingsLocation(QFileInfo(program).absolutePath()));
    const auto name = file.ReadString(QString::fromLatin1(SettingsSection), QStringLiteral("halname"));
    if (name && !name->trimmed().isEmpty()) return name->trimmed().left(40);
  }
  return QStringLiteral("Pip");
}

QString TTrayController::Activity() const {
  const QString name = BirdName();
  if (quitting_) return tr("%1 is flying away").arg(name);
  if (lost_) return tr("%1 is unwell and has gone").arg(name);
  if (!awake_) return tr("%1 is waking up").arg(name);
  if (Hidden()) return tr("%1 is away").arg(name);
  switch (routines_.Current().value_or(-1)) {
    case RequestRandom: return tr("%1 is up to something").arg(name);
    case RequestEat: return tr("%1 is eating").arg(name);
    case RequestSleep: return tr("%1 is sleeping").arg(name);
    case RequestGreet: return tr("%1 is greeting you").arg(name);
    case RequestWork: return tr("%1 is working").arg(name);
    case RequestChess: return tr("%1 is playing chess").arg(name);
    default: return tr("%1 is resting").arg(name);
  }
}

void TTrayController::UpdateTooltip() {
  const QString tooltip = Activity();
  if (tooltip == lastTooltip_) return;
  lastTooltip_ = tooltip;
  if (tray_ != nullptr) tray_->setToolTip(tooltip);
  if (fallback_ != nullptr) fallback_->setToolTip(tooltip);
  Log(QStringLiteral("tooltip %1").arg(tooltip));
}

void TTrayController::WatchGameWindow() {
  if (!routines_.GameOpen() || quitting_) {
    gameWatch_.stop();
    return;
  }
  if (!gameWatch_.isActive()) gameWatch_.start(GameWatchMs);
}

void TTrayController::OnGameWatch() {
  if (gameWindow_.Look() != TGameWindowWatch::TState::Gone) return;
  Log(QStringLiteral("game window closed"));
  routines_.GameClosed();
  WatchGameWindow();
  UpdateTooltip();
}

void TTrayController::Log(const QString& line) const {
  if (!verbose_) return;
  std::printf("%s\n", line.toUtf8().constData());
  std::fflush(stdout);
}

void TTrayController::AcceptActionsOnStandardInput() {
  input_ = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
  connect(input_, &QSocketNotifier::activated, this, &TTrayController::OnStandardInput);
}

void TTrayController::OnStandardInput() {
  char buffer[512];
  const ssize_t length = read(STDIN_FILENO, buffer, sizeof buffer);
  if (length <= 0) {
    input_->setEnabled(false);  // end of input: no more actions
    return;
  }
  for (ssize_t i = 0; i < length; ++i) {
    if (buffer[i] != '\n') {
      if (inputLine_.size() <= MaxInputLine) inputLine_ += buffer[i];
      continue;
    }
    const QString name = QString::fromUtf8(inputLine_).trimmed();
    inputLine_.clear();
    if (name == u"menu") {
      menu_.menu->popup(QPoint(100, 100));
    } else if (QAction* action = FindMenuAction(menu_.menu, name)) {
      menu_.menu->hide();
      action->trigger();
    } else {
      std::fprintf(stderr, "perch-tray: no action %s\n", qPrintable(name.left(MaxInputLine)));
    }
  }
}

}  // namespace perch
