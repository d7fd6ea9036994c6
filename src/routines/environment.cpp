#include "routines/environment.h"

#include <cstdlib>
#include <string>

#include "routines/codepage.h"

namespace tableau::routines {

std::optional<std::string> VariabileAmbiente(std::string_view nome) {
    const std::string name(nome);
    if (const char* value = std::getenv(name.c_str())) {
        return InCp1252(value);
    }
    return std::nullopt;
}

}  // namespace tableau::routines
