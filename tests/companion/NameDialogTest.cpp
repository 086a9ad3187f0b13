// The name dialog leaves the rest of the program usable: the character can
// be clicked while it is open, and the answer is what was typed.

#include "companion/NameDialog.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QInputDialog>
#include <QTest>
#include <QTimer>

using namespace perch;

namespace {

class TClickCounter : public QWidget {
 public:
  int clicks = 0;

 protected:
  void mousePressEvent(QMouseEvent*) override { ++clicks; }
};

QInputDialog* OpenNameDialog() {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (auto* dialog = qobject_cast<QInputDialog*>(window); dialog != nullptr && dialog->isVisible())
      return dialog;
  return nullptr;
}

TEST(NameDialog, TheCharacterTakesClicksWhileItIsOpen) {
  TClickCounter bird;  // stands for the character's window
  bird.resize(100, 100);
  bird.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&bird));
  int clicksWhileOpen = -1;
  QTimer::singleShot(0, [&] {
    QInputDialog* dialog = OpenNameDialog();
    ASSERT_NE(dialog, nullptr);
    // Through the window system, where a modal dialog would hold the click back.
    QTest::mouseClick(bird.windowHandle(), Qt::LeftButton, {}, QPoint(50, 50));
    clicksWhileOpen = bird.clicks;
    dialog->setTextValue(QStringLiteral(" Polly "));
    dialog->accept();
  });
  EXPECT_EQ(AskName(QStringLiteral("起名字")), QStringLiteral("Polly"));
  EXPECT_EQ(clicksWhileOpen, 1);
  QTimer::singleShot(0, [] {
    if (QInputDialog* dialog = OpenNameDialog()) dialog->reject();
  });
  EXPECT_EQ(AskName(QStringLiteral("输入你的名字")), std::nullopt);
}

// Beside the character, never over it, inside the area: on the right while
// it has room, then the left, below, above; with no side roomy enough, the
// roomiest, still inside the area.
TEST(NameDialog, PlacedBesideTheCharacterOnTheSideWithRoom) {
  const QRect area(0, 0, 1280, 1000);
  const QSize frame(300, 160);
  const auto check = [&](QRect bird, QPoint expected, const char* what) {
    const QPoint at = PlaceBeside(frame, bird, area);
    EXPECT_EQ(at, expected) << what;
    const QRect dialog(at, frame);
    EXPECT_TRUE(area.contains(dialog)) << what;
    EXPECT_FALSE(dialog.intersects(bird)) << what;
  };
  check({400, 300, 200, 184}, {612, 300}, "room on the right, level with the bird");
  check({1000, 300, 200, 184}, {688, 300}, "the right edge is near: on the left");
  check({1000, 900, 200, 100}, {688, 840}, "kept inside the area at its foot");
  check({100, 300, 1100, 184}, {100, 496}, "a wide bird: below");
  check({100, 700, 1100, 300}, {100, 528}, "a wide bird at the foot: above");
  // Offset areas (a second monitor) count from their own corner.
  EXPECT_EQ(PlaceBeside(frame, {1300, 50, 200, 184}, {1280, 0, 1024, 768}), QPoint(1512, 50));
  // No side with room: the roomiest, inside the area.
  const QRect crowded(0, 0, 400, 300);
  const QPoint at = PlaceBeside(frame, {40, 40, 320, 220}, crowded);
  EXPECT_TRUE(crowded.contains(QRect(at, frame)));
}

// Given the character's rectangle, the dialog opens beside it.
TEST(NameDialog, OpensBesideTheCharacter) {
  const QRect bird(200, 150, 200, 184);
  QRect dialogAt;
  QTimer::singleShot(0, [&] {
    QInputDialog* dialog = OpenNameDialog();
    ASSERT_NE(dialog, nullptr);
    dialogAt = dialog->frameGeometry();
    dialog->reject();
  });
  EXPECT_EQ(AskName(QStringLiteral("起名字"), bird), std::nullopt);
  ASSERT_FALSE(dialogAt.isEmpty());
  EXPECT_FALSE(dialogAt.intersects(bird)) << dialogAt.x() << "," << dialogAt.y();
  EXPECT_GE(dialogAt.x(), bird.right());
}

}  // namespace
