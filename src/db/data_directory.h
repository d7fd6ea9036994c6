#pragma once
// Files of the data directory are found by name without regard to letter case, as the
// systems the data directories come from treat names.
#include <filesystem>
#include <optional>
#include <string_view>

namespace tableau::db {

// The path of the directory's entry whose name equals bareName ignoring ASCII letter
// case; an exact match wins over others. Empty when there is none.
std::optional<std::filesystem::path> FindFileIgnoringCase(const std::filesystem::path& cartellaDati,
                                                          std::string_view bareName);

}  // namespace tableau::db
