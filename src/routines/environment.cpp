#include "routines/environment.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "routines/codepage.h"
#include "routines/text.h"

extern char** environ;

namespace tableau::routines {

std::optional<std::string> VariabileAmbiente(std::string_view nome) {
    const std::string name(nome);
    if (const char* exact = std::getenv(name.c_str())) {
        return utf8ToCp1252(exact);
    }
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string_view pair(*entry);
        const auto equals = pair.find('=');
        if (equals != nome.size()) {
            continue;
        }
        if (StessoNome(nome, pair.substr(0, equals))) {
            return utf8ToCp1252(pair.substr(equals + 1));
        }
    }
    return std::nullopt;
}

}  // namespace tableau::routines
