// The session's scale from GDK_SCALE and the resource database's Xft.dpi, including odd and hostile input.
#include <gtest/gtest.h>

#include <string>

#include "platform/linux/x11/SessionScale.h"

namespace platform {
namespace {

TEST(SessionScale, GdkScaleTakesOnlyWholeNumbersFromOneToEight) {
  EXPECT_EQ(ScaleFromGdkScale("1"), 1);
  EXPECT_EQ(ScaleFromGdkScale("2"), 2);
  EXPECT_EQ(ScaleFromGdkScale("8"), 8);
  for (const char* ignored : {"0", "9", "-2", "1.5", "2x", " 2", "two", "", "99999999999999999999"}) {
    EXPECT_EQ(ScaleFromGdkScale(ignored), std::nullopt) << '"' << ignored << '"';
  }
}

TEST(SessionScale, XftDpiRoundsToTheNearestScaleWithHalvesDown) {
  struct Case {
    const char* dpi;
    int scale;
  };
  for (const Case& c : {Case{"96", 1}, Case{"120", 1}, Case{"144", 1}, Case{"144.5", 2}, Case{"192", 2},
                        Case{"240", 2}, Case{"241", 3}, Case{"288", 3}, Case{"40", 1}, Case{"96.0", 1},
                        Case{"100000", 8}, Case{"99999999999999999999999", 8}}) {
    const std::string resources = std::string("Xft.dpi:\t") + c.dpi + "\n";
    EXPECT_EQ(ScaleFromResources(resources), c.scale) << c.dpi;
  }
}

TEST(SessionScale, TheResourceStringIsReadLineByLineAndTheLastXftDpiWins) {
  EXPECT_EQ(ScaleFromResources("Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n"), 2);
  EXPECT_EQ(ScaleFromResources("Xft.dpi: 192"), 2) << "no newline at the end";
  EXPECT_EQ(ScaleFromResources("Xft.dpi:\t96\nXft.dpi:\t288\n"), 3);
  EXPECT_EQ(ScaleFromResources("Xft.dpi:\t288\nXft.dpi:\tnonsense\n"), 3) << "an unusable line is skipped";
  EXPECT_EQ(ScaleFromResources("  Xft.dpi  :  192  \r\n"), 2);
  for (const char* none :
       {"", "\n\n", "Xft.dpi:", "Xft.dpi: -192", "Xft.dpi: 0", "Xft.dpi: 192dpi", "Xft.dpiX: 192",
        "*dpi: 192", "Xft.dpi 192", "Xft.dpi: nan", "Xft.dpi: inf", "garbage\x01\xff:::\n:::"}) {
    EXPECT_EQ(ScaleFromResources(none), std::nullopt) << '"' << none << '"';
  }
  const std::string withNul(
      "Xft.dpi: 1\0"
      "92\n",
      14);
  EXPECT_EQ(ScaleFromResources(withNul), std::nullopt) << "a NUL inside the number spoils it";
}

TEST(SessionScale, GdkScaleComesFirstThenXftDpiThenOne) {
  EXPECT_EQ(SessionScale("3", "Xft.dpi: 192\n"), 3);
  EXPECT_EQ(SessionScale("1.5", "Xft.dpi: 192\n"), 2);
  EXPECT_EQ(SessionScale(nullptr, "Xft.dpi: 192\n"), 2);
  EXPECT_EQ(SessionScale(nullptr, ""), 1);
  EXPECT_EQ(SessionScale("0", "junk"), 1);
}

}  // namespace
}  // namespace platform
