#pragma once
// Recognises the hotel suite's Jet database files (".mdb" of Jet 3 and Jet 4, ".accdb" of
// ACE) by their first page, without any database library.
#include <filesystem>
#include <optional>

#include "db/database.h"

namespace tableau::db::jet {

// The Jet version a file declares, or nothing when it is not a Jet file.
std::optional<DatabaseFormat> JetFormatOf(const std::filesystem::path& path);

}  // namespace tableau::db::jet
