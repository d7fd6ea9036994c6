#include "routines/codepage.h"

#include <gtest/gtest.h>

#include <string>

#include "routines/errors.h"

namespace tableau::routines {
namespace {

TEST(Codepage, EveryByteSurvivesARoundTrip) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = InUtf8(byte);
        EXPECT_EQ(InCp1252(utf8), byte) << "byte " << b;
        if (b >= 0x80) {
            EXPECT_GE(utf8.size(), 2u) << "byte " << b << " must be encoded, not copied";
        }
    }
}

TEST(Codepage, TellsUtf8FromWindows1252) {
    EXPECT_TRUE(ScrittoInUtf8("\xE2\x82\xAC"));
    EXPECT_TRUE(ScrittoInUtf8("Citt\xC3\xA0 e Luned\xC3\xAC"));
    EXPECT_FALSE(ScrittoInUtf8("solo ASCII"));        // nothing to convert
    EXPECT_FALSE(ScrittoInUtf8("Citt\xE0"));          // Windows-1252
    EXPECT_FALSE(ScrittoInUtf8("\x80"));              // the euro sign in Windows-1252
    EXPECT_FALSE(ScrittoInUtf8("\xC3"));              // cut short
    EXPECT_FALSE(ScrittoInUtf8("\xC0\xA7"));          // overlong
    EXPECT_FALSE(ScrittoInUtf8("\xE2\x82\xAC\xE0"));  // mixed
}

TEST(Codepage, KnownCharacters) {
    struct Case {
        std::string cp1252;
        std::string utf8;
    };
    const Case cases[] = {
        {"\x80", "\xE2\x82\xAC"},  // euro sign
        {"\xE0\xE8\xE9\xEC\xF2\xF9", "\xC3\xA0\xC3\xA8\xC3\xA9\xC3\xAC\xC3\xB2\xC3\xB9"},
        {"\x92", "\xE2\x80\x99"},  // right single quotation mark
        {"\x9F", "\xC5\xB8"},      // capital y with diaeresis
        {"\xA0", "\xC2\xA0"},      // no-break space
        {"\xB3\xC4\xDA", "\xC2\xB3\xC3\x84\xC3\x9A"},
        {"Luned\xEC", "Luned\xC3\xAC"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(InUtf8(c.cp1252), c.utf8);
        EXPECT_EQ(InCp1252(c.utf8), c.cp1252);
    }
}

TEST(Codepage, CharactersWithoutACodeAndMalformedBytesBecomeQuestionMarks) {
    struct Case {
        std::string utf8;
        std::string cp1252;
    };
    const Case cases[] = {
        {"\xC4\x80", "?"},      // A with macron
        {"\xE2\x94\x82", "?"},  // box drawing vertical
        {"a\xE4\xB8\xAD"
         "b",
         "a?b"},                    // CJK
        {"\xF0\x9F\x98\x80", "?"},  // emoji, one character
        {"\x80", "?"},              // lone continuation byte
        {"\xE2\x82", "?"},          // truncated at the end
        {"\xE2\x82x", "?x"},        // broken sequence
        {"\xC0\xA7", "?"},          // overlong apostrophe
        {"\xE0\x80\xA7", "?"},      // overlong apostrophe, three bytes
        {"\xC1\x81", "?"},          // overlong A
        {"\xED\xA0\x80", "?"},      // surrogate
        {"\xF4\x90\x80\x80", "?"},  // beyond U+10FFFF
        {"\xFF", "?"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(InCp1252(c.utf8), c.cp1252);
    }
}

TEST(SoloUtf8, AFailuresMessageIsAlwaysWellMadeUtf8) {
    // UTF-8 kept, a Windows-1252 byte among it taken as its character, once.
    EXPECT_EQ(SoloUtf8("Citt\xC3\xA0 e citt\xE0"), "Citt\xC3\xA0 e citt\xC3\xA0");
    EXPECT_EQ(SoloUtf8("\x80 10"), "\xE2\x82\xAC 10");
    EXPECT_EQ(SoloUtf8(SoloUtf8("caff\xE8")), "caff\xC3\xA8");
    // An overlong form or a surrogate is not UTF-8: its bytes are Windows-1252 characters.
    EXPECT_EQ(SoloUtf8("\xC0\xA7"), "\xC3\x80\xC2\xA7");
    EXPECT_FALSE(ScrittoInUtf8("\xED\xA0\x80"));
    EXPECT_EQ(std::string(Errore("Archivio Citt\xE0.mdb: \xC3\xA8 assente").what()),
              "Archivio Citt\xC3\xA0.mdb: \xC3\xA8 assente");
    EXPECT_EQ(std::string(ErroreProcesso("lettura", 2).what()).rfind("lettura: ", 0), 0u);
}

}  // namespace
}  // namespace tableau::routines
