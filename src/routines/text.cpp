#include "routines/text.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tableau::routines {

std::string TogliSpazi(std::string_view testo) {
    const auto first = testo.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = testo.find_last_not_of(' ');
    return std::string(testo.substr(first, last - first + 1));
}

std::string Sinistra(std::string_view testo, std::size_t n) {
    return std::string(testo.substr(0, n));
}

bool StessoNome(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

char Maiuscola(char c) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 'a' && b <= 'z') {
        return static_cast<char>(b - 32);
    }
    if (b >= 0xE0 && b <= 0xFE && b != 0xF7) {  // à..þ, not the division sign
        return static_cast<char>(b - 32);
    }
    switch (b) {
        case 0x9A:
            return static_cast<char>(0x8A);  // š
        case 0x9C:
            return static_cast<char>(0x8C);  // œ
        case 0x9E:
            return static_cast<char>(0x8E);  // ž
        case 0xFF:
            return static_cast<char>(0x9F);  // ÿ
        default:
            return c;
    }
}

std::string FiltraCaratteri(std::string_view testo, int modo) {
    std::string risultato;
    for (const char original : testo) {
        const char c = Maiuscola(original);
        if (modo == 0) {
            if (c != '\'') {
                risultato += c;
            }
        } else if (modo == 1) {
            if ((c >= '0' && c <= '9') || c == ',' || c == '-') {
                risultato += c;
            }
        }
    }
    if (risultato.empty()) {
        risultato = modo == 0 ? " " : "0";
    }
    return risultato;
}

std::string TestoTraAsterischi(std::string_view valore) {
    const auto first = valore.find('*');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto second = valore.find('*', first + 1);
    if (second == std::string_view::npos) {
        return {};
    }
    return std::string(valore.substr(first + 1, second - first - 1));
}

std::string& SostituisciBordi(std::string& testo) {
    static constexpr auto kTable = [] {
        std::array<char, 256> table{};
        for (const int code : {179, 180, 183, 186, 195, 204}) {
            table[static_cast<std::size_t>(code)] = '|';
        }
        for (const int code :
             {187, 188, 191, 192, 193, 194, 196, 197, 200, 201, 202, 203, 206, 217, 218}) {
            table[static_cast<std::size_t>(code)] = '-';
        }
        return table;
    }();
    for (char& c : testo) {
        const char replacement = kTable[static_cast<unsigned char>(c)];
        if (replacement != 0) {
            c = replacement;
        }
    }
    return testo;
}

std::string ConPuntiMigliaia(std::int64_t n) {
    std::string cifre = std::to_string(n < 0 ? -n : n);
    for (std::size_t fine = cifre.size(); fine > 3; fine -= 3) {
        cifre.insert(fine - 3, 1, '.');
    }
    return n < 0 ? "-" + cifre : cifre;
}

}  // namespace tableau::routines
