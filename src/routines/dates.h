#pragma once
// Date texts as the suite writes them: dd/mm/yyyy on screen and in the chart,
// yyyymmdd (the "date key") in the databases, compared as text.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tableau::routines {

// Month lengths of a common year, January first; February is asked of GiorniMese().
inline constexpr std::array<std::int16_t, 12> kGiorniMeseComune = {31, 28, 31, 30, 31, 30,
                                                                   31, 31, 30, 31, 30, 31};

// Gregorian rule: divisible by 4, centuries only when divisible by 400.
bool AnnoBisestile(int anno);

// Days of a month (1..12) in a given year.
int GiorniMese(int mese, int anno);

// A date typed without separators, completed to dd/mm/yyyy: six characters (ddmmyy)
// take the year ending in yy that lies within [annoCorrente - 79, annoCorrente + 20];
// eight characters (ddmmyyyy) are cut as they are; any other length is left alone.
// Characters are not checked. The argument receives the result, which is also returned.
std::string FormattaData(std::string& testo, int annoCorrente);

// Checks a dd/mm/yyyy text (separators not checked). When its trimmed length is 10 the
// argument receives the trimmed text. A year before 1900 or beyond a 16-bit integer,
// a month outside 1..12 or a day outside the month makes it false.
bool DataValida(std::string& testo);

// A calendar date.
struct Data {
    int giorno = 1;
    int mese = 1;
    int anno = 1996;
    friend bool operator==(const Data&, const Data&) = default;
};

// The day, month and year a dd/mm/yyyy text holds, read as DataValida reads them;
// empty when DataValida would refuse the text.
std::optional<Data> LeggiData(std::string_view testo);

// Weekday of a date: 0 = Monday ... 6 = Sunday, for any date of the Gregorian calendar.
std::int16_t GiornoSettimana(const Data& data);
std::int16_t GiornoSettimana(std::string_view ddmmyyyy);

Data AggiungiGiorni(const Data& data, int giorni);

// dd/mm/yyyy, always two-digit day and month and four-digit year.
std::string TestoData(const Data& data);
// yyyymmdd, the key the databases hold.
std::string ChiaveData(const Data& data);

}  // namespace tableau::routines
