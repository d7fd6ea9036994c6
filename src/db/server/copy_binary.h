#pragma once
// PostgreSQL's COPY binary format, as the sync sends the rows: a header, each row its count
// of fields and each field its length (-1 for a null) and its bytes in network order, an
// end mark. The server takes the values as they are, without reading them from text:
// integers as eight bytes, reals as their very bits, texts in UTF-8 (converted from
// Windows-1252).
#include <cstddef>
#include <string>
#include <string_view>

#include "db/server/copy_text.h"
#include "db/value.h"

namespace tableau::db::server {

// What every binary copy starts with, and what ends it.
std::string_view CopyBinaryHeader();
std::string_view CopyBinaryEnd();

// Appends the start of a row of `fields` fields.
void AppendCopyBinaryRow(std::string& out, std::size_t fields);

// Appends the value as a column of the type takes it: a whole number into a real column as
// that real. The value must fit the type (the sync's check); a text must hold no null
// character.
void AppendCopyBinaryField(std::string& out, ServerType type, const Value& value);

// Appends a bigint that is no value of a file (the row's place).
void AppendCopyBinaryBigint(std::string& out, std::int64_t value);

}  // namespace tableau::db::server
