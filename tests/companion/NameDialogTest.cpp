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

}  // namespace
