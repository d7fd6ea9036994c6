#include "db/record_set.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "db/errors.h"

namespace tableau::db {
namespace {

Value num(std::int64_t v) {
    return Value::integer(v);
}
Value txt(std::string v) {
    return Value::text(std::move(v));
}

RecordSet rooms() {
    auto table = std::make_shared<RowTable>();
    table->name = "NumeriCamere";
    table->columns = {"NumeroHotel", "NumeroCamera", "PostiLetto"};
    table->rows = {
        {num(1), txt("102"), num(2)},
        {num(2), txt("101"), num(1)},
        {num(1), txt("1010"), num(3)},
        {num(1), txt("A1"), Value()},
        {num(1), txt("101"), num(4)},
        {num(1), Value(), num(2)},
        {num(1), txt("a1"), num(2)},
        {num(1),
         txt("\xE0"
             "1"),
         num(2)},
        {num(1), txt("99"), num(2)},
    };
    return RecordSet(table);
}

// Every row a criteria finds, walking find first / find next.
std::vector<std::string> walk(RecordSet& set, const Criteria& criteria,
                              const std::string& field = "NumeroCamera") {
    std::vector<std::string> found;
    for (set.findFirst(criteria); !set.noMatch(); set.findNext(criteria)) {
        found.push_back(set.field(field).asText());
    }
    return found;
}

using Texts = std::vector<std::string>;

TEST(RecordSet, FindFirstAndNextWalkTheMatchesInStorageOrder) {
    RecordSet set = rooms();
    EXPECT_FALSE(set.noMatch());
    EXPECT_EQ(set.field("NumeroCamera").asText(), "102") << "a new set stands on its first row";
    EXPECT_EQ(walk(set, Criteria("NumeroHotel = 1 and PostiLetto = 2")), (Texts{"102", "", "a1",
                                                                                "\xE0"
                                                                                "1",
                                                                                "99"}));
    EXPECT_EQ(walk(set, Criteria("NumeroCamera = ?", {txt("101")}), "PostiLetto"),
              (Texts{"1", "4"}));
    EXPECT_EQ(walk(set, Criteria("")).size(), 9u);
    EXPECT_EQ(walk(set, Criteria("NumeroHotel = 3")), Texts{});
}

TEST(RecordSet, NoMatchAndFieldAccess) {
    RecordSet set = rooms();
    set.findFirst(Criteria("numerocamera = 'A1'"));
    ASSERT_FALSE(set.noMatch());
    EXPECT_EQ(set.field("NUMEROCAMERA").asText(), "A1");
    EXPECT_TRUE(set.field("PostiLetto").isNull());
    EXPECT_EQ(set.field("postiletto").asText(), "");
    EXPECT_EQ(set.field("PostiLetto").asNumber(), 0);
    EXPECT_EQ(set.field("PostiLetto").asInteger(), 0);

    set.findNext(Criteria("NumeroCamera = '101'"));  // continues after the current row
    ASSERT_FALSE(set.noMatch());
    EXPECT_EQ(set.field("PostiLetto").asInteger(), 4);
    set.findNext(Criteria("NumeroCamera = '101'"));
    EXPECT_TRUE(set.noMatch());
    EXPECT_THROW(set.field("NumeroCamera"), ErroreArchivio);
    set.findNext(Criteria("NumeroCamera = '101'"));
    EXPECT_TRUE(set.noMatch()) << "find next after no match finds nothing";

    try {
        set.findFirst(Criteria(""));
        (void)set.field("Piano");
        FAIL() << "unknown field accepted";
    } catch (const ErroreArchivio& e) {
        EXPECT_NE(std::string(e.what()).find("Piano"), std::string::npos) << e.what();
    }
    EXPECT_THROW(set.findFirst(Criteria("Piano = 1")), ErroreArchivio);
    EXPECT_THROW(set.findFirst(Criteria("NumeroHotel = ?")), ErroreArchivio);  // no value bound
    EXPECT_THROW(set.findFirst(Criteria("NumeroHotel = 1", {num(1)})), ErroreArchivio);
}

TEST(RecordSet, SortedByRoomNumberInByteOrderWithTiesInStorageOrder) {
    const RecordSet set = rooms();
    RecordSet sorted = set.sortedBy("numerocamera");
    EXPECT_EQ(sorted.rowCount(), set.rowCount());
    EXPECT_TRUE(sorted.field("NumeroCamera").isNull()) << "nulls first; stands on its first row";
    EXPECT_EQ(walk(sorted, Criteria("NumeroCamera Is Not Null")),
              (Texts{"101", "101", "1010", "102", "99", "A1", "a1",
                     "\xE0"
                     "1"}));
    EXPECT_EQ(walk(sorted, Criteria("NumeroCamera = '101'"), "PostiLetto"), (Texts{"1", "4"}));
    EXPECT_EQ(walk(sorted, Criteria("NumeroCamera >= '102' and NumeroHotel = 1")),
              (Texts{"102", "99", "A1", "a1",
                     "\xE0"
                     "1"}));
    EXPECT_THROW((void)set.sortedBy("Piano"), ErroreArchivio);

    RecordSet walker = set.sortedBy("PostiLetto");
    EXPECT_EQ(walk(walker, Criteria(""), "PostiLetto"),
              (Texts{"", "1", "2", "2", "2", "2", "2", "3", "4"}));

    RecordSet empty(std::make_shared<RowTable>(RowTable{"Vuota", {"A"}, {}, {}}));
    EXPECT_TRUE(empty.noMatch());
    EXPECT_TRUE(empty.sortedBy("A").noMatch());
}

// The lookup by equality index must find exactly what a plain scan finds. "(C = ?) or
// (C = ?)" with the same value twice has no index to use, so it is the scan.
TEST(RecordSet, EqualityIndexAnswersLikeAPlainScan) {
    const std::vector<Value> pool = {
        Value(),
        num(0),
        num(1),
        num(5),
        num(-5),
        Value::real(1.0),
        Value::real(5.0),
        Value::real(-0.0),
        Value::real(0.5),
        Value::real(1e300),
        txt("5"),
        txt("5.0"),
        txt("1"),
        txt(""),
        txt("a"),
        txt("A"),
        txt(" 5"),
        txt("\xE0"),
        num(9007199254740993),
        Value::real(9007199254740992.0),
    };
    std::mt19937 random(20260305);
    const auto pick = [&](std::size_t from, std::size_t to) {
        return pool[std::uniform_int_distribution<std::size_t>(from, to)(random)];
    };
    // Column kinds: numbers only, texts only, mixed; each with nulls.
    const std::size_t ranges[3][2] = {{0, 9}, {10, 17}, {0, 19}};
    for (int round = 0; round < 60; ++round) {
        const auto& range = ranges[round % 3];
        auto table = std::make_shared<RowTable>();
        table->name = "Prova";
        table->columns = {"C", "Riga"};
        const int rowCount = round % 10 == 0 ? 0 : 1 + round % 25;
        for (int r = 0; r < rowCount; ++r) {
            table->rows.push_back({pick(range[0], range[1]), num(r)});
        }
        RecordSet set(table);
        for (const auto& wanted : pool) {
            const auto indexed = walk(set, Criteria("C = ?", {wanted}), "Riga");
            const auto scanned =
                walk(set, Criteria("(C = ?) or (C = ?)", {wanted, wanted}), "Riga");
            ASSERT_EQ(indexed, scanned) << "round " << round << ", value " << wanted.asText();
            const auto withMore =
                walk(set, Criteria("Riga >= 0 and C = ? and Riga >= 0", {wanted}), "Riga");
            ASSERT_EQ(withMore, scanned) << "round " << round << ", value " << wanted.asText();

            // find next after a find first with another criteria, and after no match
            set.findFirst(Criteria("Riga = 3"));
            set.findNext(Criteria("C = ?", {wanted}));
            const std::string next = set.noMatch() ? "none" : set.field("Riga").asText();
            set.findFirst(Criteria("Riga = 3"));
            set.findNext(Criteria("(C = ?) or (C = ?)", {wanted, wanted}));
            ASSERT_EQ(next, set.noMatch() ? "none" : set.field("Riga").asText());
        }
    }
}

TEST(RecordSet, CopiesShareTheRowsAndKeepTheirOwnPosition) {
    RecordSet set = rooms();
    set.findFirst(Criteria("NumeroCamera = '101'"));
    RecordSet copy = set;
    EXPECT_EQ(copy.rowCount(), set.rowCount());
    EXPECT_EQ(copy.field("PostiLetto").asText(), "1") << "a copy stands on the same row";

    copy.findNext(Criteria("NumeroCamera = '101'"));
    EXPECT_EQ(copy.field("PostiLetto").asText(), "4");
    EXPECT_EQ(set.field("PostiLetto").asText(), "1") << "the original has not moved";
    EXPECT_EQ(walk(copy, Criteria("NumeroHotel = 1 and PostiLetto = 2")),
              walk(set, Criteria("NumeroHotel = 1 and PostiLetto = 2")));

    set.findNext(Criteria("NumeroCamera = 'zz'"));
    RecordSet past = set;
    EXPECT_TRUE(past.noMatch()) << "a copy past the end is past the end";
    past.findNext(Criteria(""));
    EXPECT_TRUE(past.noMatch());
    copy = past;
    EXPECT_TRUE(copy.noMatch());
    copy.findFirst(Criteria("PostiLetto = 3"));
    EXPECT_EQ(copy.field("NumeroCamera").asText(), "1010");
    EXPECT_TRUE(set.noMatch());
}

// Long runs of equal keys, walked with find next while other searches move the set in
// between, and integers beyond 2^53 that are equal only as doubles.
TEST(RecordSet, EqualityIndexChainsFollowFindNextFromAnyRow) {
    auto table = std::make_shared<RowTable>();
    table->name = "Prova";
    table->columns = {"C", "Riga"};
    const std::int64_t big = 9007199254740993;
    for (int r = 0; r < 300; ++r) {
        const Value c = r % 3 == 0 ? num(7) : (r % 3 == 1 ? num(big - r % 2) : Value::real(7.0));
        table->rows.push_back({c, num(r)});
    }
    RecordSet set(table);
    const std::vector<Value> wanted = {num(7), Value::real(7.0), num(big), num(big - 1),
                                       Value::real(9007199254740992.0)};
    for (const auto& w : wanted) {
        const Criteria indexed("C = ?", {w});
        const Criteria scanned("(C = ?) or (C = ?)", {w, w});
        EXPECT_EQ(walk(set, indexed, "Riga"), walk(set, scanned, "Riga")) << w.asText();
        for (int start : {0, 1, 2, 150, 298, 299}) {
            std::vector<std::string> a;
            std::vector<std::string> b;
            for (auto* out : {&a, &b}) {
                set.findFirst(Criteria("Riga = ?", {num(start)}));
                for (int step = 0; step < 5 && !set.noMatch(); ++step) {
                    set.findNext(out == &a ? indexed : scanned);
                    out->push_back(set.noMatch() ? "none" : set.field("Riga").asText());
                }
            }
            EXPECT_EQ(a, b) << w.asText() << " from row " << start;
        }
    }
}

}  // namespace
}  // namespace tableau::db
