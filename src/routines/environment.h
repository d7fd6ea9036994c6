#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace tableau::routines {

// The value of an environment variable, its name matched exactly as written (names differ
// by letter case here: a destination "Mail" must not take $MAIL), converted to
// Windows-1252. Empty when the variable is not set.
std::optional<std::string> VariabileAmbiente(std::string_view nome);

}  // namespace tableau::routines
