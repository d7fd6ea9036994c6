// The print settings read from the data directory: the twelve numbers of a settings group
// and the printer's font.
#include "print/print_settings.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tableau::print {
namespace {

using test::writeFile;

TEST(PrintSettings, TwelveGroupsOfThree) {
    const auto v = DodiciValori(" 27 5x0.5  7-3");
    EXPECT_EQ(v[0], 27);
    EXPECT_EQ(v[1], 5);
    EXPECT_DOUBLE_EQ(v[2], 0.5);
    EXPECT_EQ(v[3], 7);
    EXPECT_EQ(v[4], -3);
    EXPECT_EQ(v[5], 0);
    EXPECT_EQ(v[11], 0);
}

TEST(PrintSettings, FontFromFontStpOrCourierNew) {
    test::TempDir dir;
    EXPECT_EQ(LeggiFontStampa(dir.path()), "Courier New");
    writeFile(dir / "fontstp.TXT", "");
    EXPECT_EQ(LeggiFontStampa(dir.path()), "Courier New");
    writeFile(dir / "fontstp.TXT", "  Lucida Console  \r\nArial\r\n");
    EXPECT_EQ(LeggiFontStampa(dir.path()), "Lucida Console");
}

}  // namespace
}  // namespace tableau::print
