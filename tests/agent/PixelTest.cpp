#include "agent/BalloonWindow.h"
#include "agent/CharacterFile.h"
#include "agent/CharacterPainter.h"

#include <QImage>

#include <cmath>

#include <gtest/gtest.h>

using namespace perch;

namespace {

TCharacterDef Bird() { return LoadCharacterFile(ResolveCharacterFile("bird.chr")); }

// The box around what is drawn solidly.
QRect OpaqueBounds(const QImage& image) {
  QRect bounds;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) > 200) bounds |= QRect(x, y, 1, 1);
  return bounds;
}

int DarkPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += qGray(image.pixel(x, y)) < 110;
  return count;
}

}  // namespace

TEST(Pixels, BirdIsDrawnWithClearSpaceAroundIt) {
  const TCharacterDef bird = Bird();
  for (double scale : {1.0, 2.0}) {
    const QImage image = RenderCharacter(bird, bird.RestPose(), scale);
    ASSERT_EQ(image.width(), int(200 * scale));
    const QRect all = image.rect();
    // The body fills the middle; the bird is about 130 pixels tall.
    EXPECT_EQ(qAlpha(image.pixel(all.center().x(), int(all.height() * 0.65))), 255);
    const QRect bounds = OpaqueBounds(image);
    EXPECT_NEAR((bounds.bottom() - bounds.top()) / scale, 130, 15);
    // Corners and edges stay transparent.
    EXPECT_GE(bounds.top(), int(20 * scale));
    EXPECT_GE(bounds.left(), int(20 * scale));
    EXPECT_EQ(qAlpha(image.pixel(all.right(), all.bottom())), 0);
  }
}

TEST(Pixels, ScaledSizeCoversPartialPixelsAndStaysBounded) {
  TCharacterDef character;
  character.size = QSizeF(100, 50);
  EXPECT_EQ(ScaledSize(character, 1.0), QSize(100, 50));
  EXPECT_EQ(ScaledSize(character, 0.333), QSize(34, 17)) << "a partial pixel is still covered";
  // Sizes that would overflow an int, or are no size at all, stay in range.
  const QSize huge = ScaledSize(character, 1e300);
  EXPECT_GT(huge.width(), 0);
  EXPECT_GT(huge.height(), 0);
  EXPECT_EQ(ScaledSize(character, -2.0), QSize(0, 0));
  EXPECT_EQ(ScaledSize(character, std::nan("")), QSize(0, 0));
}

TEST(Pixels, PropsOutOfSightAreNotClickable) {
  const TCharacterDef bird = Bird();
  const QRegion outline =
      CharacterOutline(bird, EvaluateAnimation(bird, *bird.Find("thinking"), 2000), 1.0, 0);
  EXPECT_TRUE(outline.contains(QPoint(100, 120)));
  EXPECT_FALSE(outline.contains(QPoint(165, 28))) << "the thought bubble is not part of the bird";
}

TEST(Pixels, BalloonShowsChineseGlyphs) {
  auto render = [](const QString& text) {
    TBalloonWindow balloon(true);
    balloon.Present(text, QPoint(300, 300), QRect(200, 300, 200, 184));
    balloon.RevealAll();
    return balloon.grab().toImage();
  };
  const QImage hello = render("你好，我们下棋吧");
  const QImage bye = render("再见，明天再来玩");
  EXPECT_GT(DarkPixels(hello), 150) << "the characters are drawn";
  ASSERT_EQ(hello.size(), bye.size()) << "same count of characters, same balloon";
  // Missing glyphs would draw identical boxes for every character.
  EXPECT_NE(hello, bye);
  EXPECT_EQ(qAlpha(hello.pixel(0, hello.height() - 1)), 0) << "transparent beside the tail";
}

TEST(Pixels, LongTextsKeepTheBalloonCompactAndOnScreen) {
  // Chinese without a single blank wraps between characters.
  TBalloonWindow chinese(true);
  chinese.Present(QString("我们一起下棋吧").repeated(8), QPoint(300, 400), QRect(200, 400, 200, 184));
  EXPECT_LT(chinese.width(), 300);
  EXPECT_GT(chinese.height(), 80) << "wrapped onto several lines";
  // A very long text scrolls instead of growing, and its last lines show.
  TBalloonWindow balloon(true);
  balloon.Present(QString("a long sentence that goes on ").repeated(200), QPoint(640, 500),
                  QRect(540, 500, 200, 184));
  EXPECT_LT(balloon.height(), 260);
  balloon.RevealAll();
  EXPECT_GT(DarkPixels(balloon.grab().toImage()), 300);
}

// While the first character is revealed, the balloon looks as if the second
// had no ink at all: not a sliver of it shows.
TEST(Pixels, ARevealedWordShowsNothingOfTheNextCharacter) {
  auto render = [](const QString& text) {
    TBalloonWindow balloon(true);
    balloon.Present(text, QPoint(300, 300), QRect(200, 300, 200, 184));
    balloon.SetWords({{0, 1, 0}, {1, 1, 300}, {2, 1, 600}});
    balloon.RevealWord(0);
    return balloon.grab().toImage();
  };
  const QString blank = QStringLiteral("\u3000");  // an ideographic space: the width of a character, no ink
  for (const QString& text : {QStringLiteral("小鸟飞"), QStringLiteral("我们好")}) {
    SCOPED_TRACE(text.toStdString());
    const QImage revealed = render(text);
    const QImage alone = render(text.left(1) + blank + blank);
    ASSERT_EQ(revealed.size(), alone.size());
    EXPECT_GT(DarkPixels(revealed), 10) << "the first character shows";
    EXPECT_EQ(revealed, alone);
  }
}
