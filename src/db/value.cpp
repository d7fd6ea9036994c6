#include "db/value.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "routines/numeric_value.h"

namespace tableau::db {

std::string Value::asText() const {
    if (isText()) {
        return textRef();
    }
    if (isInteger()) {
        return std::to_string(std::get<std::int64_t>(data_));
    }
    if (isReal()) {
        const double v = std::get<double>(data_);
        if (v == std::trunc(v) && std::fabs(v) < 1e15) {
            return std::to_string(static_cast<long long>(v));
        }
        // Not snprintf: the decimal point whatever the user's locale.
        char out[32];
        const auto end =
            std::to_chars(out, out + sizeof out, v, std::chars_format::general, 15).ptr;
        return std::string(out, end);
    }
    return {};
}

double Value::asNumber() const {
    if (isInteger()) {
        return static_cast<double>(std::get<std::int64_t>(data_));
    }
    if (isReal()) {
        return std::get<double>(data_);
    }
    if (isText()) {
        return routines::ValoreNumerico(textRef());
    }
    return 0;
}

std::int64_t Value::asInteger() const {
    if (isInteger()) {
        return std::get<std::int64_t>(data_);
    }
    const double rounded = std::nearbyint(asNumber());
    // Beyond 64 bits: the nearest end of the range (a cast would be undefined).
    if (std::isnan(rounded)) {
        return 0;
    }
    if (rounded >= 9223372036854775808.0) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (rounded < -9223372036854775808.0) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(rounded);
}

std::optional<int> CompareValues(const Value& a, const Value& b) {
    if (a.isNull() || b.isNull()) {
        return std::nullopt;
    }
    if (a.isText() && b.isText()) {
        const int c = a.textRef().compare(b.textRef());  // char_traits<char> compares unsigned
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (a.isInteger() && b.isInteger()) {
        const auto x = a.asInteger();
        const auto y = b.asInteger();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if ((a.isText() && !routines::TestoNumerico(a.textRef())) ||
        (b.isText() && !routines::TestoNumerico(b.textRef()))) {
        return std::nullopt;
    }
    const double x = a.asNumber();
    const double y = b.asNumber();
    return x < y ? -1 : (x > y ? 1 : 0);
}

}  // namespace tableau::db
