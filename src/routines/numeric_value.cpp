#include "routines/numeric_value.h"

#include <charconv>
#include <cmath>
#include <string>

namespace tableau::routines {
namespace {

bool skipped(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool digit(char c) {
    return c >= '0' && c <= '9';
}

// Reads the number at the start of the text; returns how many characters it used.
std::size_t readNumber(std::string_view testo, double& value) {
    std::string literal;
    std::size_t i = 0;
    const auto skip = [&] {
        while (i < testo.size() && skipped(testo[i])) {
            ++i;
        }
    };
    skip();
    if (i < testo.size() && (testo[i] == '+' || testo[i] == '-')) {
        literal += testo[i++];
        skip();
    }
    bool anyDigit = false;
    while (i < testo.size()) {
        if (digit(testo[i])) {
            literal += testo[i++];
            anyDigit = true;
        } else if (skipped(testo[i])) {
            ++i;
        } else {
            break;
        }
    }
    if (i < testo.size() && testo[i] == '.') {
        literal += testo[i++];
        while (i < testo.size()) {
            if (digit(testo[i])) {
                literal += testo[i++];
                anyDigit = true;
            } else if (skipped(testo[i])) {
                ++i;
            } else {
                break;
            }
        }
    }
    if (!anyDigit) {
        value = 0;
        return 0;
    }
    std::size_t used = i;
    if (i < testo.size() &&
        (testo[i] == 'e' || testo[i] == 'E' || testo[i] == 'd' || testo[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        while (j < testo.size() && skipped(testo[j])) {
            ++j;
        }
        if (j < testo.size() && (testo[j] == '+' || testo[j] == '-')) {
            exponent += testo[j++];
        }
        bool expDigit = false;
        while (j < testo.size() && (digit(testo[j]) || skipped(testo[j]))) {
            if (digit(testo[j])) {
                exponent += testo[j];
                expDigit = true;
            }
            ++j;
        }
        if (expDigit) {
            literal += exponent;
            used = j;
        }
    }
    // Not strtod: the program runs in the user's locale, whose decimal separator may be
    // the comma, while numbers in texts always use the point.
    const char* first = literal.data();
    if (*first == '+') {
        ++first;
    }
    const auto [end, error] = std::from_chars(first, literal.data() + literal.size(), value);
    if (error != std::errc() || end != literal.data() + literal.size()) {
        value = 0;  // out of range
    }
    while (used < testo.size() && skipped(testo[used])) {
        ++used;
    }
    return used;
}

}  // namespace

double ValoreNumerico(std::string_view testo) {
    double value = 0;
    readNumber(testo, value);
    return std::isfinite(value) ? value : 0.0;
}

bool TestoNumerico(std::string_view testo) {
    double value = 0;
    const std::size_t used = readNumber(testo, value);
    return used > 0 && used == testo.size();
}

}  // namespace tableau::routines
