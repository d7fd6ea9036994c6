#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace tableau::routines {

// The value of an environment variable, its name matched without regard to letter case
// (an exact match wins), converted to Windows-1252. Empty when the variable is not set.
std::optional<std::string> VariabileAmbiente(std::string_view nome);

}  // namespace tableau::routines
