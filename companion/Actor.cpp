#include "companion/Actor.h"

#include "companion/DesktopWindows.h"
#include "companion/ErrorBox.h"
#include "companion/Perching.h"
#include "companion/PointerNotice.h"
#include "platform/qt/LinkReceiver.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

// The wood textures are compiled into the static library; their resource
// has to be pulled in by name.
static void LoadWoodTextures() { Q_INIT_RESOURCE(Wood); }

namespace perch {

namespace {

QLabel* MakeImage(QWidget* parent, const QImage& bitmap, int x, int y) {
  auto* image = new QLabel(parent);
  image->setGeometry(x, y, 105, 105);
  // Unstretched, as designed: the top left of the 160 x 160 bitmap shows.
  image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  image->setPixmap(QPixmap::fromImage(bitmap));
  return image;
}

}  // namespace

TActor::TActor(std::unique_ptr<TAgent> agent, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      image1Bitmap_((LoadWoodTextures(), QStringLiteral(":/wood/Image1.bmp"))),
      image2Bitmap_(QStringLiteral(":/wood/Image2.bmp")) {
  // Failures anywhere, the board's included, reach the companion's own box.
  perch::SetBoardErrorReporter(ShowErrorBox);
  ProgramFolder = QCoreApplication::applicationDirPath();
  setObjectName(QStringLiteral("TActor"));
  setWindowRole(QStringLiteral("perch-game"));  // lets scripts find it
  // The user clicks the board to play: a game coming up takes no focus.
  setAttribute(Qt::WA_ShowWithoutActivating);
  QFont font;  // the default sans face stands in for "MS Sans Serif", 8 point
  font.setPixelSize(11);
  setFont(font);
  setFixedSize(DesignClientSize, DesignClientSize);
  move(DesignLeft, DesignTop);  // out of sight: not shown

  Image1 = MakeImage(this, image1Bitmap_, 40, 56);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image2 = MakeImage(this, image2Bitmap_, 152, 56);
  Image2->setObjectName(QStringLiteral("Image2"));

  Edit1 = new QLineEdit(QStringLiteral("Edit1"), this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setGeometry(0, 0, 121, 21);
  Edit1->setMaxLength(32767);
  Edit1->hide();

  Button1 = new QPushButton(this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(264, 344, 35, 25);
  Button1->setEnabled(false);

  Button2 = new QPushButton(this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setGeometry(304, 344, 35, 25);
  ConnectGameButtons();
  RetranslateForm();

  Agent = agent.release();
  Agent->setParent(this);
  Agent->setObjectName(QStringLiteral("Agent"));

  percher_ = new TPercher([this] { return Character; },
                          [this](int low, int high) { return RandomNumber(low, high); }, this);
  pointerWatch_ = new TPointerWatch(
      [this]() -> std::optional<QRect> {
        if (Character == nullptr || routineDepth_ > 0) return std::nullopt;
        return QRect(Character->Left(), Character->Top(), Character->Width(), Character->Height());
      },
      [] { return QCursor::pos(); },
      [this](QPoint pointer) { RunReportingErrors([&] { NoticePointer(pointer); }); }, this);
  // Only where there is a pointer to follow (not offscreen).
  if (TDesktopWindows::Available()) pointerWatch_->Start();

  link_ = new perch::TLinkReceiver(
      std::make_unique<perch::TLinkWindow>(perch::CompanionClass),
      [this](const perch::TLinkMessage& message) { HandleLinkMessage(message); }, this);
}

TActor::~TActor() = default;

void TActor::RetranslateForm() {
  setWindowTitle(tr("Perch — Chess"));
  Button1->setText(tr("New"));
  Button2->setText(tr("Exit"));
  if (GameMenus != nullptr) {
    GameMenus->Retranslate();
    UpdateGameStatus();
  }
}

void TActor::setLeft(int left) {
  move(left, y());
  // Out of sight is not shown at all: window managers would clamp the form
  // onto the screen or list it. Shown, it gets its place again, as some
  // managers place a window only once it is mapped.
  if (left < 0) {
    hide();
  } else if (!isVisible()) {
    ShowWithoutFocus();
    move(left, y());
  }
}

void TActor::ShowWithoutFocus() {
  // Some window managers focus every new window whatever its user time says:
  // it maps refusing the focus, and accepts it (a click on it gives it) once
  // the manager has shown it.
  setWindowFlag(Qt::WindowDoesNotAcceptFocus, true);
  show();
  auto* check = new QTimer(this);
  connect(check, &QTimer::timeout, this, [this, check] {
    QWindow* window = windowHandle();
    if (window != nullptr && !window->isExposed() && isVisible()) return;
    if (window != nullptr) window->setFlag(Qt::WindowDoesNotAcceptFocus, false);
    check->deleteLater();
  });
  check->start(100);
}

void TActor::closeEvent(QCloseEvent* event) {
  // The form lives as long as the process; its close box does what "Exit"
  // does, from the event loop rather than inside the window system's event.
  event->ignore();
  if (x() >= 0) QTimer::singleShot(0, this, [this] { RunReportingErrors([this] { Button2Click(); }); });
}

void TActor::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  KeepCharacterBesideBoard();
}

TAgentCharacter& TActor::Char() {
  if (Character == nullptr) throw TAgentError("the character is not loaded");
  return *Character;
}

}  // namespace perch
