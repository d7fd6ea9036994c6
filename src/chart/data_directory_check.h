#pragma once
// Checks that a data directory holds every database file, table and field the program
// reads, before a chart is asked of it.
#include <filesystem>
#include <string>
#include <vector>

namespace tableau {

// One Italian line (UTF-8, like the failures it reports) per problem found; empty when all
// is there.
std::vector<std::string> VerificaArchivi(const std::filesystem::path& cartella);

}  // namespace tableau
