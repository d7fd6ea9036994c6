#pragma once
// The pieces of SQL text the engine writes for SQLite and for the server alike.
#include <string>
#include <string_view>

namespace tableau::db {

// A table or field name as a quoted SQL identifier: in double quotes, a double quote in it
// doubled, so that no name can end the identifier early.
std::string QuoteIdentifier(std::string_view name);

}  // namespace tableau::db
