#pragma once
// PostgreSQL's COPY text format, as the sync sends the rows: fields separated by tabs, rows
// ended by a newline, a null as \N, a backslash, tab, newline or carriage return in a text
// escaped with a backslash; texts in UTF-8 (converted from Windows-1252), reals with every
// digit that tells them apart (they read back as the very same double).
#include <string>

#include "db/value.h"

namespace tableau::db::server {

// The PostgreSQL column type a field is kept in.
enum class ServerType { Bigint, DoublePrecision, Text };

// "bigint", "double precision" or "text", as format_type() names them.
const char* ServerTypeName(ServerType type);

// Appends the value in COPY text form, without a separator. A number in a text column, or
// a text in a number column, is the caller's to prevent.
void AppendCopyField(std::string& out, const Value& value);

// The shortest decimal text that reads back as the same double; NaN, Infinity and
// -Infinity as PostgreSQL spells them.
std::string RealText(double v);

}  // namespace tableau::db::server
