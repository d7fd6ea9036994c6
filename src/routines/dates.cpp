#include "routines/dates.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "routines/numeric_value.h"
#include "routines/text.h"

namespace tableau::routines {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
long long DaysFromCivil(long long y, int m, int d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Data CivilFromDays(long long z) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const long long y = yoe + era * 400 + (m <= 2);
    return {d, m, static_cast<int>(y)};
}

// A number read from a text and rounded to a whole number the way the suite converts
// to its integers (half to even); empty when it does not fit a 16-bit signed integer.
std::optional<int> toInt16(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() &&
          rounded <= std::numeric_limits<std::int16_t>::max())) {
        return std::nullopt;
    }
    return static_cast<int>(rounded);
}

}  // namespace

bool AnnoBisestile(int anno) {
    return (anno % 4 == 0 && anno % 100 != 0) || anno % 400 == 0;
}

int GiorniMese(int mese, int anno) {
    if (mese == 2) {
        return AnnoBisestile(anno) ? 29 : 28;
    }
    return kGiorniMeseComune.at(static_cast<std::size_t>(mese - 1));
}

std::string FormattaData(std::string& testo, int annoCorrente) {
    if (testo.size() == 6) {
        const double value = ValoreNumerico(testo.substr(4, 2));
        const int yy = static_cast<int>(std::trunc(std::fmod(value, 100.0)));
        const int lowest = annoCorrente - 79;
        const int year = lowest + (((yy - lowest) % 100) + 100) % 100;
        char century[8];
        std::snprintf(century, sizeof century, "%02d", (year / 100) % 100);
        testo = testo.substr(0, 2) + "/" + testo.substr(2, 2) + "/" + century + testo.substr(4, 2);
    } else if (testo.size() == 8) {
        testo = testo.substr(0, 2) + "/" + testo.substr(2, 2) + "/" + testo.substr(4, 4);
    }
    return testo;
}

std::optional<Data> LeggiData(std::string_view testo) {
    if (testo.size() != 10) {
        return std::nullopt;
    }
    // Day and month are compared as the numbers they are (".9" is no month); only the year
    // is converted to a 16-bit integer.
    const double day = ValoreNumerico(testo.substr(0, 2));
    const double month = ValoreNumerico(testo.substr(3, 2));
    const auto year = toInt16(ValoreNumerico(testo.substr(6, 4)));
    if (!year || *year < 1900 || !(month >= 1 && month <= 12) || month != std::trunc(month)) {
        return std::nullopt;
    }
    const int wholeMonth = static_cast<int>(month);
    if (!(day >= 1 && day <= GiorniMese(wholeMonth, *year)) || day != std::trunc(day)) {
        return std::nullopt;
    }
    return Data{static_cast<int>(day), wholeMonth, *year};
}

bool DataValida(std::string& testo) {
    std::string trimmed = TogliSpazi(testo);
    if (trimmed.size() != 10) {
        return false;
    }
    testo = trimmed;
    return LeggiData(testo).has_value();
}

std::int16_t GiornoSettimana(const Data& data) {
    // 1970-01-01 was a Thursday (index 3).
    const long long days = DaysFromCivil(data.anno, data.mese, data.giorno);
    return static_cast<std::int16_t>(((days + 3) % 7 + 7) % 7);
}

std::int16_t GiornoSettimana(std::string_view ddmmyyyy) {
    const auto data = LeggiData(ddmmyyyy);
    return data ? GiornoSettimana(*data) : std::int16_t{0};
}

Data AggiungiGiorni(const Data& data, int giorni) {
    return CivilFromDays(DaysFromCivil(data.anno, data.mese, data.giorno) + giorni);
}

std::string TestoData(const Data& data) {
    char out[16];
    std::snprintf(out, sizeof out, "%02d/%02d/%04d", data.giorno, data.mese, data.anno);
    return out;
}

std::string ChiaveData(const Data& data) {
    char out[16];
    std::snprintf(out, sizeof out, "%04d%02d%02d", data.anno, data.mese, data.giorno);
    return out;
}

}  // namespace tableau::routines
