#pragma once
// The Jet 4 writer's row format: how a table's columns are laid out in its rows and how one
// row of values becomes the bytes stored on a data page. Texts are stored as uncompressed
// UCS-2 little-endian, at most 255 characters a value.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/writer/sqlite_writer.h"

namespace tableau::db::writer::jet {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::size_t kPageSize = 4096;
inline constexpr std::size_t kMaxTextChars = 255;

// Column type codes as stored in the table definition.
enum class ColumnKind : std::uint8_t {
    Integer = 0x03,  // 16 bits
    Long = 0x04,     // 32 bits
    Double = 0x07,
    Text = 0x0A,
    Ole = 0x0B,  // long binary, only ever written null here
};

struct ColumnLayout {
    std::string name;
    ColumnKind kind;
    std::uint16_t number = 0;       // position in the row's null mask
    std::uint16_t fixedOffset = 0;  // fixed columns: offset in the fixed area
    std::uint16_t varIndex = 0;     // variable columns: entry in the offset table
    std::uint16_t length = 0;       // bytes (texts: twice the characters; 0 for long values)

    bool fixed() const { return kind != ColumnKind::Text && kind != ColumnKind::Ole; }
};

struct TableLayout {
    std::string name;
    std::vector<ColumnLayout> columns;
    std::uint16_t fixedBytes = 0;
    std::uint16_t varCount = 0;
};

struct ColumnDeclaration {
    std::string name;
    ColumnKind kind;
};

// Numbers the columns in order; throws db::ErroreArchivio for a bad name or too many columns.
TableLayout LayoutOf(const std::string& table, const std::vector<ColumnDeclaration>& columns);

// The stored row: column count, fixed area, variable data, offset table, null mask.
// Throws db::ErroreArchivio for a value that does not fit its column.
Bytes EncodeRow(const TableLayout& table, const std::vector<Cell>& values);

// UTF-8 to UCS-2; throws db::ErroreArchivio for invalid UTF-8 or a character outside the BMP.
std::u16string toUcs2(std::string_view utf8);

void Put16(Bytes& out, std::size_t at, std::uint32_t value);
void Put32(Bytes& out, std::size_t at, std::uint32_t value);
void Append16(Bytes& out, std::uint32_t value);
void Append32(Bytes& out, std::uint32_t value);

}  // namespace tableau::db::writer::jet
