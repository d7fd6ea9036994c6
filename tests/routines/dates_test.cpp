#include "routines/dates.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace tableau::routines {
namespace {

namespace chr = std::chrono;

// Weekday from the standard library's calendar, 0 = Monday.
int weekdayOf(int day, int month, int year) {
    const chr::year_month_day ymd{chr::year{year}, chr::month{static_cast<unsigned>(month)},
                                  chr::day{static_cast<unsigned>(day)}};
    return static_cast<int>(chr::weekday{chr::sys_days{ymd}}.iso_encoding()) - 1;
}

TEST(AnnoBisestile, FollowsTheGregorianRule) {
    for (const int year : {1600, 1996, 2000, 2024, 2400}) {
        EXPECT_TRUE(AnnoBisestile(year)) << year;
    }
    for (const int year : {1700, 1800, 1900, 2023, 2025, 2100, 2200}) {
        EXPECT_FALSE(AnnoBisestile(year)) << year;
    }
    EXPECT_EQ(GiorniMese(2, 1900), 28);
    EXPECT_EQ(GiorniMese(2, 2000), 29);
    EXPECT_EQ(GiorniMese(4, 2024), 30);
    EXPECT_EQ(GiorniMese(12, 2024), 31);
}

TEST(FormattaData, CompletesSixAndEightCharacters) {
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"050324", "05/03/2024"},
        {"050325", "05/03/2025"},
        {"010100", "01/01/2000"},
        {"010146", "01/01/2046"},
        {"010147", "01/01/1947"},
        {"311299", "31/12/1999"},
        {"05032026", "05/03/2026"},
        {"5/3/26", "5//3//2026"},
        {"5/3/2026", "5//3//2026"},
        {"05/03/2026", "05/03/2026"},
        {"", ""},
        {"12345", "12345"},
        {"1234567", "1234567"},
        {"abcdefgh", "ab/cd/efgh"},
    };
    for (const auto& c : cases) {
        std::string argument = c.in;
        EXPECT_EQ(FormattaData(argument, 2026), c.out) << c.in;
        EXPECT_EQ(argument, c.out) << "argument receives the result for " << c.in;
    }
}

TEST(FormattaData, TwoDigitYearsFollowTheCurrentYear) {
    struct Case {
        int currentYear;
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {2030, "010150", "01/01/2050"}, {2030, "010151", "01/01/1951"},
        {2099, "010119", "01/01/2119"}, {2099, "010120", "01/01/2020"},
        {2000, "010120", "01/01/2020"}, {2000, "010121", "01/01/1921"},
    };
    for (const auto& c : cases) {
        std::string argument = c.in;
        EXPECT_EQ(FormattaData(argument, c.currentYear), c.out) << c.in << " in " << c.currentYear;
    }
}

TEST(DataValida, AgreesWithTheCalendarForEveryDayAndMonth) {
    for (const int year : {1900, 1999, 2000, 2023, 2024, 2100, 2400}) {
        for (int month = 0; month <= 13; ++month) {
            for (int day = 0; day <= 32; ++day) {
                const bool expected = chr::year_month_day{
                    chr::year{year}, chr::month{static_cast<unsigned>(month)},
                    chr::day{static_cast<unsigned>(
                        day)}}.ok();
                std::string text = TestoData(Data{day, month, year});
                EXPECT_EQ(DataValida(text), expected) << text;
                EXPECT_EQ(LeggiData(text).has_value(), expected) << text;
            }
        }
    }
}

TEST(DataValida, EdgeCases) {
    struct Case {
        std::string in;
        bool valid;
        std::string after;  // the argument afterwards
    };
    const Case cases[] = {
        {"29/02/1900", false, "29/02/1900"},
        {"29/02/2000", true, "29/02/2000"},
        {"31/04/2024", false, "31/04/2024"},
        {"01/01/1899", false, "01/01/1899"},
        {" 01/01/2024 ", true, "01/01/2024"},
        {"  01/01/2024", true, "01/01/2024"},
        {"01/01/2024  x", false, "01/01/2024  x"},
        {"01-01-2024", true, "01-01-2024"},
        {"01x01x2024", true, "01x01x2024"},
        {"5//3//2026", true, "5//3//2026"},
        {"01/01/1e10", false, "01/01/1e10"},  // year beyond 16 bits
        {"01/01/9999", true, "01/01/9999"},
        {"01/01/2E03", true, "01/01/2E03"},   // the year is read as a number: 2000
        {".5/01/2024", false, ".5/01/2024"},  // day 0.5
        {"01/.9/2024", false, "01/.9/2024"},  // month 0.9
        {"-1/01/2024", false, "-1/01/2024"},
        {"ab/cd/efgh", false, "ab/cd/efgh"},
        {"1/1/2024", false, "1/1/2024"},
        {"", false, ""},
    };
    for (const auto& c : cases) {
        std::string argument = c.in;
        EXPECT_EQ(DataValida(argument), c.valid) << '"' << c.in << '"';
        EXPECT_EQ(argument, c.after) << '"' << c.in << '"';
    }
    EXPECT_EQ(LeggiData("5//3//2026"), (Data{5, 3, 2026}));
}

TEST(GiornoSettimana, KnownDates) {
    struct Case {
        const char* date;
        int weekday;
    };
    const Case cases[] = {
        {"01/01/1996", 0}, {"07/01/1996", 6}, {"29/02/2000", 1}, {"05/03/2026", 3},
        {"23/09/2085", 6}, {"24/09/2085", 0}, {"01/01/1900", 0}, {"28/02/1900", 2},
        {"01/03/1900", 3}, {"31/12/1995", 6}, {"01/03/2100", 0}, {"31/12/9999", 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GiornoSettimana(std::string_view(c.date)), c.weekday) << c.date;
    }
}

TEST(GiornoSettimana, MatchesTheCalendarOnEveryDayOfFiveCenturies) {
    Data day{1, 1, 1800};
    int count = 0;
    for (; day.anno < 2300; ++count) {
        const int expected = weekdayOf(day.giorno, day.mese, day.anno);
        ASSERT_EQ(GiornoSettimana(day), expected) << TestoData(day);
        const Data next = AggiungiGiorni(day, 1);
        // The next day is the calendar's next day.
        ASSERT_EQ(chr::sys_days{chr::year{next.anno} / next.mese / next.giorno},
                  chr::sys_days{chr::year{day.anno} / day.mese / day.giorno} + chr::days{1})
            << TestoData(day);
        day = next;
    }
    EXPECT_EQ(count, 182621);
    EXPECT_EQ(day, (Data{1, 1, 2300}));
}

TEST(Dates, TextsAndKeys) {
    EXPECT_EQ(TestoData(Data{5, 3, 2026}), "05/03/2026");
    EXPECT_EQ(ChiaveData(Data{5, 3, 2026}), "20260305");
    EXPECT_EQ(AggiungiGiorni(Data{28, 2, 2100}, 1), (Data{1, 3, 2100}));
    EXPECT_EQ(AggiungiGiorni(Data{28, 2, 2024}, 1), (Data{29, 2, 2024}));
    EXPECT_EQ(AggiungiGiorni(Data{1, 1, 2025}, -1), (Data{31, 12, 2024}));
    EXPECT_EQ(AggiungiGiorni(Data{31, 12, 2024}, 7), (Data{7, 1, 2025}));
}

}  // namespace
}  // namespace tableau::routines
