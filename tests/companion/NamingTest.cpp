#include "Companion.h"
#include "NameDialog.h"

#include <gtest/gtest.h>

TEST(StripName, RemovesBlanksAndControlCharactersAtBothEndsOnly) {
  EXPECT_EQ(StripName(QStringLiteral("  Polly  ")), QStringLiteral("Polly"));
  EXPECT_EQ(StripName(QStringLiteral("\t\x01Tuli Bird\r\n\x7f")), QStringLiteral("Tuli Bird"));
  EXPECT_EQ(StripName(QStringLiteral("\u3000小鸟\u00a0")), QStringLiteral("小鸟"));
  EXPECT_EQ(StripName(QStringLiteral(" \t \x1b ")), QString());
  EXPECT_EQ(StripName(QStringLiteral("a\tb")), QStringLiteral("a\tb"));
}

TEST(HalfRoundedToEven, ExactHalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(HalfRoundedToEven(1024), 512);
  EXPECT_EQ(HalfRoundedToEven(768), 384);
  EXPECT_EQ(HalfRoundedToEven(1025), 512);  // 512.5
  EXPECT_EQ(HalfRoundedToEven(1027), 514);  // 513.5
  EXPECT_EQ(HalfRoundedToEven(1), 0);
  EXPECT_EQ(HalfRoundedToEven(3), 2);
}
