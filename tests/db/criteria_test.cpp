#include "db/criteria.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>
#include <vector>

#include "db/errors.h"

namespace tableau::db {
namespace {

const std::vector<std::string> kColumns = {"NumeroHotel", "NumeroCamera", "Nome", "Prezzo"};

bool holds(const std::string& text, const std::vector<Value>& row,
           const std::vector<Value>& params = {}) {
    const CompiledCriteria criteria(text, kColumns, "Prova");
    return criteria.matches(
        [&row](int c) -> const Value& { return row[static_cast<std::size_t>(c)]; }, params);
}

const Value kNull;
Value num(std::int64_t v) {
    return Value::integer(v);
}
Value real(double v) {
    return Value::real(v);
}
Value txt(std::string v) {
    return Value::text(std::move(v));
}

TEST(Criteria, ComparesNumbersAsNumbersAndTextsByteByByte) {
    struct Case {
        std::string text;
        std::vector<Value> row;
        bool expected;
    };
    const Case cases[] = {
        {"NumeroHotel = 1", {num(1), kNull, kNull, kNull}, true},
        {"NumeroHotel = 1", {real(1.0), kNull, kNull, kNull}, true},
        {"NumeroHotel = 1.0", {num(1), kNull, kNull, kNull}, true},
        {"NumeroHotel > 9", {num(10), kNull, kNull, kNull}, true},
        {"NumeroHotel < 2.5", {num(2), kNull, kNull, kNull}, true},
        {"NumeroHotel >= -3", {num(-3), kNull, kNull, kNull}, true},
        {"NumeroHotel <> 1", {real(1.5), kNull, kNull, kNull}, true},
        {"Prezzo = 0.1", {kNull, kNull, kNull, real(0.1)}, true},
        {"NumeroCamera > '9'", {kNull, txt("10"), kNull, kNull}, false},
        {"NumeroCamera < '9'", {kNull, txt("10"), kNull, kNull}, true},
        {"NumeroCamera = '101'", {kNull, txt("101 "), kNull, kNull}, false},
        {"NumeroCamera = 'a'", {kNull, txt("A"), kNull, kNull}, false},
        {"NumeroCamera > 'z'", {kNull, txt("\xE0"), kNull, kNull}, true},
        {"NumeroCamera <= '20240101'", {kNull, txt("20231231"), kNull, kNull}, true},
        {"Nome = 'D''Amico'", {kNull, kNull, txt("D'Amico"), kNull}, true},
        {"Nome = ''''", {kNull, kNull, txt("'"), kNull}, true},
        {"Nome = ''", {kNull, kNull, txt(""), kNull}, true},
        {"Nome = 'Pi\xF9'", {kNull, kNull, txt("Pi\xF9"), kNull}, true},
        // keywords and names without regard to letter case, names also in brackets
        {"numerohotel = 1 AND [NumeroCamera] = '5'", {num(1), txt("5"), kNull, kNull}, true},
        {"NumeroHotel In (1, 2, 3)", {num(2), kNull, kNull, kNull}, true},
        {"NumeroHotel in (1, 3)", {num(2), kNull, kNull, kNull}, false},
        {"NumeroHotel = 2 or NumeroHotel = 1 and Nome = 'x'",
         {num(2), kNull, txt("y"), kNull},
         true},
        {"(NumeroHotel = 2 or NumeroHotel = 1) and Nome = 'x'",
         {num(2), kNull, txt("y"), kNull},
         false},
        {"Not NumeroHotel = 2", {num(1), kNull, kNull, kNull}, true},
        {"Nome Is Null", {kNull, kNull, kNull, kNull}, true},
        {"Nome is not null", {kNull, kNull, txt(""), kNull}, true},
        {"   ", {kNull, kNull, kNull, kNull}, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(holds(c.text, c.row), c.expected) << c.text;
    }
}

TEST(Criteria, NullComparesFalseWithAnything) {
    const std::vector<Value> row = {kNull, kNull, kNull, kNull};
    for (const char* text :
         {"NumeroHotel = 0", "NumeroHotel <> 0", "NumeroHotel < 1", "NumeroHotel > -1",
          "NumeroHotel <= 0", "NumeroHotel >= 0", "Nome = ''", "Nome <> 'x'", "Nome In ('', 'x')",
          "Nome = ?", "Nome <> ?"}) {
        const bool hasParam = std::string(text).find('?') != std::string::npos;
        EXPECT_FALSE(
            holds(text, row, hasParam ? std::vector<Value>{txt("")} : std::vector<Value>{}))
            << text;
    }
    EXPECT_FALSE(holds("Nome = ?", {kNull, kNull, txt("x"), kNull}, {kNull}));
    EXPECT_FALSE(holds("Nome <> ?", {kNull, kNull, txt("x"), kNull}, {kNull}));
}

TEST(Criteria, PlaceholdersAreBoundNeverSpliced) {
    const std::vector<Value> row = {num(1), txt("L'A"), txt("D'Amico"), kNull};
    EXPECT_TRUE(holds("NumeroHotel = ? and NumeroCamera = ?", row, {num(1), txt("L'A")}));
    EXPECT_TRUE(holds("Nome = ?", row, {txt("D'Amico")}));
    EXPECT_FALSE(holds("Nome = ?", row, {txt("D''Amico")}));
    EXPECT_FALSE(holds("Nome = ?", row, {txt("x' or '1' = '1")}));
    EXPECT_TRUE(holds("Nome In (?, ?)", row, {txt("x"), txt("D'Amico")}));
    EXPECT_TRUE(holds("NumeroHotel = ?", row, {real(1.0)}));
    const CompiledCriteria two("NumeroHotel = ? and Nome = ?", kColumns, "Prova");
    EXPECT_EQ(two.paramCount(), 2u);
}

TEST(Criteria, MalformedTextsAndUnknownFieldsAreErrorsNamingThem) {
    struct Case {
        std::string text;
        std::string named;  // what the message must name
    };
    const Case cases[] = {
        {"NumeroCamera = 'L'A'", "Prova"},
        {"NumeroHotel >", "Prova"},
        {"(NumeroHotel = 1", "Prova"},
        {"NumeroHotel = 1 and", "Prova"},
        {"NumeroHotel = 'x", "Prova"},
        {"NumeroHotel 1", "Prova"},
        {"NumeroHotel In (1, 2", "Prova"},
        {"Nome Is Nothing", "Prova"},
        {"Numero = 1", "Numero"},
        {"[Numero Camera] = '1'", "Numero Camera"},
        {"NumeroHotel = 1 or Tipo = 'C'", "Tipo"},
        {"= 1", "Prova"},
        // Messages are UTF-8: a Windows-1252 value in the text is shown as its character.
        {"NumeroCamera = 'Citt\xE0' x", "Citt\xC3\xA0"},
    };
    for (const auto& c : cases) {
        try {
            const CompiledCriteria criteria(c.text, kColumns, "Prova");
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const ErroreArchivio& e) {
            EXPECT_NE(std::string(e.what()).find(c.named), std::string::npos)
                << c.text << " -> " << e.what();
        }
    }
}

}  // namespace
}  // namespace tableau::db

namespace tableau::db {
namespace {

TEST(Criteria, NotOfANullComparisonIsStillFalse) {
    const std::vector<Value> row = {kNull, txt("5"), kNull, kNull};
    EXPECT_FALSE(holds("Not NumeroHotel = 1", row));
    EXPECT_FALSE(holds("Not (NumeroHotel = 1 or NumeroHotel <> 1)", row));
    EXPECT_TRUE(holds("Not (NumeroHotel = 1 and NumeroCamera = '6')", row));
    EXPECT_FALSE(holds("Not NumeroHotel In (1, 2)", row));
    EXPECT_FALSE(holds("Not NumeroCamera In ('6', ?)", row, {kNull}));
    EXPECT_TRUE(holds("Not NumeroCamera In ('6', ?)", row, {txt("7")}));
    EXPECT_TRUE(holds("Not Nome Is Not Null", row));
    EXPECT_TRUE(holds("NumeroHotel = 1 or NumeroCamera = '5'", row));
}

// Criteria and values keep the decimal point in a locale whose separator is the comma,
// as an Italian desktop session sets.
TEST(Criteria, NumbersIgnoreTheLocale) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    bool found = false;
    for (const char* name : {"it_IT.UTF-8", "it_IT.utf8", "it_IT", "de_DE.UTF-8", "fr_FR.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            found = true;
            break;
        }
    }
    if (!found) {
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
    bool matched = false;
    std::string text;
    try {
        matched = holds("Prezzo = 0.5", {kNull, kNull, kNull, real(0.5)});
        text = real(1.5).asText();
    } catch (const std::exception& e) {
        text = e.what();
    }
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_TRUE(matched);
    EXPECT_EQ(text, "1.5");
}

TEST(Criteria, NumbersBeyondSixtyFourBits) {
    const std::vector<Value> row = {num(std::numeric_limits<std::int64_t>::max()), kNull, kNull,
                                    kNull};
    EXPECT_TRUE(holds("NumeroHotel < 99999999999999999999", row));
    EXPECT_FALSE(holds("NumeroHotel = 99999999999999999999", row));
    EXPECT_TRUE(holds("NumeroHotel > -99999999999999999999", row));
}

}  // namespace
}  // namespace tableau::db
