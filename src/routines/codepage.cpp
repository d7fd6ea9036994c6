#include "routines/codepage.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tableau::routines {
namespace {

// Unicode code points of bytes 0x80..0x9F; the others equal their byte value.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t toCodePoint(unsigned char byte) {
    return (byte >= 0x80 && byte <= 0x9F) ? kHigh[byte - 0x80] : byte;
}

char FromCodePoint(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<char>(cp);
    }
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == cp) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string InCp1252(std::string_view utf8) {
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return (c & 0x80) == 0; })) {
        return std::string(utf8);
    }
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            ++i;
            continue;
        }
        std::size_t extra = 0;
        char32_t cp = 0;
        if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            cp = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            cp = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            cp = lead & 0x07;
        } else {
            out += '?';
            ++i;
            continue;
        }
        std::size_t j = 1;
        for (; j <= extra && i + j < utf8.size(); ++j) {
            const auto next = static_cast<unsigned char>(utf8[i + j]);
            if ((next & 0xC0) != 0x80) {
                break;
            }
            cp = (cp << 6) | (next & 0x3F);
        }
        if (j <= extra) {  // truncated or broken sequence
            out += '?';
            i += j;
            continue;
        }
        // Overlong forms (an apostrophe spelt in two bytes, say) are malformed too.
        constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        out += cp < kLeast[extra] ? '?' : FromCodePoint(cp);
        i += extra + 1;
    }
    return out;
}

namespace {

// The length of the well-made UTF-8 sequence at testo[i] (1 for an ASCII byte), 0 when
// the byte there starts none.
std::size_t SequenzaUtf8(std::string_view testo, std::size_t i) {
    const auto lead = static_cast<unsigned char>(testo[i]);
    if (lead < 0x80) {
        return 1;
    }
    const std::size_t extra = (lead & 0xE0) == 0xC0 && lead >= 0xC2   ? 1
                              : (lead & 0xF0) == 0xE0                 ? 2
                              : (lead & 0xF8) == 0xF0 && lead <= 0xF4 ? 3
                                                                      : 0;
    if (extra == 0) {
        return 0;
    }
    for (std::size_t j = 1; j <= extra; ++j) {
        if (i + j >= testo.size() || (static_cast<unsigned char>(testo[i + j]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    // No overlong form, no surrogate, nothing beyond U+10FFFF.
    const auto secondo = static_cast<unsigned char>(testo[i + 1]);
    if ((lead == 0xE0 && secondo < 0xA0) || (lead == 0xED && secondo > 0x9F) ||
        (lead == 0xF0 && secondo < 0x90) || (lead == 0xF4 && secondo > 0x8F)) {
        return 0;
    }
    return extra + 1;
}

}  // namespace

bool ScrittoInUtf8(std::string_view testo) {
    bool multibyte = false;
    for (std::size_t i = 0; i < testo.size();) {
        const std::size_t n = SequenzaUtf8(testo, i);
        if (n == 0) {
            return false;
        }
        multibyte = multibyte || n > 1;
        i += n;
    }
    return multibyte;
}

std::string SoloUtf8(std::string_view testo) {
    std::string uscita;
    uscita.reserve(testo.size());
    for (std::size_t i = 0; i < testo.size();) {
        const std::size_t n = SequenzaUtf8(testo, i);
        if (n == 0) {
            uscita += InUtf8(testo.substr(i, 1));
            ++i;
        } else {
            uscita.append(testo.substr(i, n));
            i += n;
        }
    }
    return uscita;
}

std::string InUtf8(std::string_view cp1252) {
    std::string out;
    out.reserve(cp1252.size() + cp1252.size() / 4);
    for (const char c : cp1252) {
        AppendUtf8(out, toCodePoint(static_cast<unsigned char>(c)));
    }
    return out;
}

}  // namespace tableau::routines
