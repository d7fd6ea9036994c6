#include "routines/numeric_value.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "routines/environment.h"
#include "support/temp_dir.h"

namespace tableau::routines {
namespace {

struct NumberCase {
    std::string text;
    double value;
    bool whole;  // TestoNumerico
};

const NumberCase kNumbers[] = {
    {"05", 5, true},      {" 5", 5, true},      {"5/", 5, false},      {"x5", 0, false},
    {"", 0, false},       {"   ", 0, false},    {"-3.5", -3.5, true},  {"+ 7", 7, true},
    {"1 2", 12, true},    {"\t\n4\r", 4, true}, {".5", 0.5, true},     {"5.", 5, true},
    {".", 0, false},      {"-", 0, false},      {"1.2.3", 1.2, false}, {"1e3", 1000, true},
    {"1E-2", 0.01, true}, {"1D2", 100, true},   {"2e 3", 2000, true},  {"1e", 1, false},
    {"1e+", 1, false},    {"12a", 12, false},   {" 1.5 ", 1.5, true},  {"+-5", 0, false},
    {"1e999", 0, false},  {"0012", 12, true},   {"2026", 2026, true},  {"12,5", 12, false},
};

TEST(ValoreNumerico, ReadsTheNumberATextBeginsWith) {
    for (const auto& c : kNumbers) {
        EXPECT_DOUBLE_EQ(ValoreNumerico(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(TestoNumerico, TellsWhollyNumericTexts) {
    for (const auto& c : kNumbers) {
        if (c.text == "1e999") {
            continue;  // out of range: no promise beyond "not a usable number"
        }
        EXPECT_EQ(TestoNumerico(c.text), c.whole) << '"' << c.text << '"';
    }
}

// An Italian desktop session sets a locale whose decimal separator is the comma; numbers
// in texts keep the point whatever the locale.
TEST(ValoreNumerico, IgnoresTheLocaleDecimalSeparator) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const char* found = nullptr;
    for (const char* name : {"it_IT.UTF-8", "it_IT.utf8", "it_IT", "de_DE.UTF-8", "de_DE.utf8",
                             "fr_FR.UTF-8", "fr_FR.utf8"}) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            found = name;
            break;
        }
    }
    if (found == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
    const double value = ValoreNumerico("1.5");
    const double comma = ValoreNumerico("1,5");
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_DOUBLE_EQ(value, 1.5) << found;
    EXPECT_DOUBLE_EQ(comma, 1) << found;
}

TEST(VariabileAmbiente, NameMatchedExactlyAndTextInWindows1252) {
    const test::ScopedEnv unset("TABLEAU_TEST_VAR", nullptr);
    EXPECT_FALSE(VariabileAmbiente("TABLEAU_TEST_VAR").has_value());
    const test::ScopedEnv mixed("Tableau_Test_Var", "citt\xC3\xA0");
    EXPECT_FALSE(VariabileAmbiente("TABLEAU_TEST_VAR").has_value());  // other letter case
    EXPECT_EQ(VariabileAmbiente("Tableau_Test_Var"), "citt\xE0");
    const test::ScopedEnv exact("TABLEAU_TEST_VAR", "7");
    EXPECT_EQ(VariabileAmbiente("TABLEAU_TEST_VAR"), "7");
    EXPECT_FALSE(VariabileAmbiente("tableau_test_var").has_value());
    EXPECT_FALSE(VariabileAmbiente("TABLEAU_TEST_VA").has_value());
    const test::ScopedEnv empty("TABLEAU_EMPTY_VAR", "");
    EXPECT_EQ(VariabileAmbiente("TABLEAU_EMPTY_VAR"), "");
}

}  // namespace
}  // namespace tableau::routines
