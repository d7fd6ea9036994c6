#pragma once
// The column types the sync keeps the files' fields in, and the text form of a real as
// PostgreSQL reads and writes it (every digit that tells it apart: it reads back as the very
// same double). The sync itself sends the rows in COPY's binary form (copy_binary.h).
#include <string>

#include "db/value.h"

namespace tableau::db::server {

// The PostgreSQL column type a field is kept in.
enum class ServerType { Bigint, DoublePrecision, Text };

// "bigint", "double precision" or "text", as format_type() names them.
const char* ServerTypeName(ServerType type);

// The shortest decimal text that reads back as the same double; NaN, Infinity and
// -Infinity as PostgreSQL spells them.
std::string RealText(double v);

}  // namespace tableau::db::server
