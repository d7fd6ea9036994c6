#include "routines/text.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tableau::routines {
namespace {

TEST(FiltraCaratteri, CleansTypedTexts) {
    struct Case {
        std::string in;
        int mode;
        std::string out;
    };
    const Case cases[] = {
        {"Dell'Orto", 0, "DELLORTO"},
        {"'", 0, " "},
        {"", 0, " "},
        {"", 1, "0"},
        {"12,5 kg-", 1, "12,5-"},
        {"abc", 1, "0"},
        {"abc", 2, "0"},
        {"abc", -1, "0"},
        {" a b ", 0, " A B "},
        {"perch\xE8 c\xE0 \xF9", 0, "PERCH\xC8 C\xC0 \xD9"},
        {"\xFF\x9A\x9C\x9E", 0, "\x9F\x8A\x8C\x8E"},
        {"\xF7\xDF\xB5", 0, "\xF7\xDF\xB5"},  // division sign, sharp s, micro: no capitals
        {"101a", 0, "101A"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FiltraCaratteri(c.in, c.mode), c.out) << c.in << " mode " << c.mode;
    }
}

TEST(TestoTraAsterischi, TakesTheTextBetweenTheFirstTwoAsterisks) {
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"abc*def*ghi", "def"}, {"*a*b*", "a"},       {"**", ""}, {"x**y", ""},
        {"abc*def", ""},        {"no asterisk", ""},  {"", ""},   {"*", ""},
        {"*culla*", "culla"},   {"a * b * c", " b "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TestoTraAsterischi(c.in), c.out) << c.in;
    }
}

TEST(SostituisciBordi, MapsEveryByteAsTheChartNeeds) {
    const std::set<int> bars = {179, 180, 183, 186, 195, 204};
    const std::set<int> dashes = {187, 188, 191, 192, 193, 194, 196, 197,
                                  200, 201, 202, 203, 206, 217, 218};
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    std::string line = all;
    std::string& result = SostituisciBordi(line);
    EXPECT_EQ(&result, &line) << "the replacement is made in the caller's text";
    ASSERT_EQ(line.size(), 256u);
    for (int b = 0; b < 256; ++b) {
        const char expected = bars.count(b) ? '|' : dashes.count(b) ? '-' : static_cast<char>(b);
        EXPECT_EQ(line[static_cast<std::size_t>(b)], expected) << "byte " << b;
    }

    std::string frame = "\xDA\xC4\xC2\xC4\xBF";
    EXPECT_EQ(SostituisciBordi(frame), "-----");
    std::string bar = "\xB3 \xB3";
    EXPECT_EQ(SostituisciBordi(bar), "| |");
    std::string doubleLine = "\xCD";
    EXPECT_EQ(SostituisciBordi(doubleLine), "\xCD");
}

TEST(TextHelpers, TrimAndLeft) {
    EXPECT_EQ(TogliSpazi("  a b  "), "a b");
    EXPECT_EQ(TogliSpazi("\ta\t"), "\ta\t");  // spaces only
    EXPECT_EQ(TogliSpazi("   "), "");
    EXPECT_EQ(TogliSpazi(""), "");
    EXPECT_EQ(Sinistra("abcdef", 3), "abc");
    EXPECT_EQ(Sinistra("ab", 17), "ab");
}

}  // namespace
}  // namespace tableau::routines
