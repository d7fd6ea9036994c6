#include "db/writer/jet_rows.h"

#include <bit>
#include <limits>
#include <stdexcept>
#include <variant>

#include "db/errors.h"

namespace tableau::db::writer::jet {
namespace {

// A row must fit a data page next to the page header and its own offset entry.
constexpr std::size_t kMaxRowBytes = kPageSize - 14 - 2;
// Jet's own limits, which libmdb's row reader also assumes.
constexpr std::size_t kMaxColumns = 255;
constexpr std::size_t kMaxNameChars = 64;

[[noreturn]] void refuse(const TableLayout& table, const ColumnLayout& column,
                         const std::string& why) {
    throw ErroreArchivio("table " + table.name + ", column " + column.name + ": " + why);
}

std::int64_t integerIn(const TableLayout& table, const ColumnLayout& column, const Cell& value,
                       std::int64_t low, std::int64_t high, const char* typeName) {
    const auto* n = std::get_if<std::int64_t>(&value);
    if (!n) {
        refuse(table, column, std::string("not an integer for a ") + typeName + " column");
    }
    if (*n < low || *n > high) {
        refuse(table, column, std::to_string(*n) + " does not fit a " + typeName);
    }
    return *n;
}

void WriteFixed(const TableLayout& table, const ColumnLayout& column, const Cell& value,
                Bytes& row) {
    const std::size_t at = 2 + column.fixedOffset;
    switch (column.kind) {
        case ColumnKind::Integer:
            Put16(row, at,
                  static_cast<std::uint16_t>(
                      integerIn(table, column, value, -32768, 32767, "16-bit Integer")));
            break;
        case ColumnKind::Long:
            Put32(row, at,
                  static_cast<std::uint32_t>(
                      integerIn(table, column, value, std::numeric_limits<std::int32_t>::min(),
                                std::numeric_limits<std::int32_t>::max(), "Long Integer")));
            break;
        case ColumnKind::Double: {
            double d = 0;
            if (const auto* n = std::get_if<std::int64_t>(&value)) {
                d = static_cast<double>(*n);
            } else if (const auto* x = std::get_if<double>(&value)) {
                d = *x;
            } else {
                refuse(table, column, "not a number for a Double column");
            }
            const auto bits = std::bit_cast<std::uint64_t>(d);
            Put32(row, at, static_cast<std::uint32_t>(bits));
            Put32(row, at + 4, static_cast<std::uint32_t>(bits >> 32));
            break;
        }
        default:
            refuse(table, column, "not a fixed-length column");
    }
}

void AppendVariable(const TableLayout& table, const ColumnLayout& column, const Cell& value,
                    Bytes& row) {
    if (column.kind != ColumnKind::Text) {
        refuse(table, column, "only nulls are written in long-value columns");
    }
    const auto* text = std::get_if<std::string>(&value);
    if (!text) {
        refuse(table, column, "not a text for a Text column");
    }
    std::u16string chars;
    try {
        chars = toUcs2(*text);
    } catch (const std::runtime_error& e) {
        refuse(table, column, e.what());
    }
    if (chars.size() > kMaxTextChars) {
        refuse(table, column,
               "a text of " + std::to_string(chars.size()) + " characters (at most 255)");
    }
    // Readers take a value opening with FF FE for a compressed text.
    if (!chars.empty() && chars.front() == u'\uFEFF') {
        refuse(table, column, "a text opening with a byte order mark");
    }
    for (const char16_t c : chars) {
        Append16(row, c);
    }
}

}  // namespace

void Put16(Bytes& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(Bytes& out, std::size_t at, std::uint32_t value) {
    Put16(out, at, value & 0xFFFF);
    Put16(out, at + 2, value >> 16);
}

void Append16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Append32(Bytes& out, std::uint32_t value) {
    Append16(out, value & 0xFFFF);
    Append16(out, value >> 16);
}

std::u16string toUcs2(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t extra = 0;
        std::uint32_t code = 0;
        if (lead < 0x80) {
            code = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            code = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            code = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            throw ErroreArchivio("a character outside the Basic Multilingual Plane");
        } else {
            throw ErroreArchivio("invalid UTF-8");
        }
        if (i + extra >= utf8.size()) {
            throw ErroreArchivio("invalid UTF-8");
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) {
                throw ErroreArchivio("invalid UTF-8");
            }
            code = (code << 6) | (next & 0x3Fu);
        }
        if ((extra == 2 && code < 0x800) || (code >= 0xD800 && code <= 0xDFFF)) {
            throw ErroreArchivio("invalid UTF-8");
        }
        out.push_back(static_cast<char16_t>(code));
        i += extra + 1;
    }
    return out;
}

TableLayout LayoutOf(const std::string& table, const std::vector<ColumnDeclaration>& columns) {
    if (columns.empty() || columns.size() > kMaxColumns) {
        throw ErroreArchivio("table " + table + ": from 1 to 255 columns");
    }
    TableLayout layout{table, {}, 0, 0};
    for (const auto& declaration : columns) {
        const std::size_t chars = toUcs2(declaration.name).size();
        if (chars == 0 || chars > kMaxNameChars) {
            throw ErroreArchivio("table " + table + ": bad column name '" + declaration.name + "'");
        }
        ColumnLayout column{declaration.name, declaration.kind};
        column.number = static_cast<std::uint16_t>(layout.columns.size());
        switch (declaration.kind) {
            case ColumnKind::Integer:
                column.length = 2;
                break;
            case ColumnKind::Long:
                column.length = 4;
                break;
            case ColumnKind::Double:
                column.length = 8;
                break;
            case ColumnKind::Text:
                column.length = 2 * kMaxTextChars;
                break;
            case ColumnKind::Ole:
                column.length = 0;
                break;
        }
        if (column.fixed()) {
            column.fixedOffset = layout.fixedBytes;
            column.varIndex = layout.varCount;
            layout.fixedBytes = static_cast<std::uint16_t>(layout.fixedBytes + column.length);
        } else {
            column.varIndex = layout.varCount++;
        }
        layout.columns.push_back(std::move(column));
    }
    return layout;
}

Bytes EncodeRow(const TableLayout& table, const std::vector<Cell>& values) {
    if (values.size() != table.columns.size()) {
        throw ErroreArchivio("table " + table.name + ": a row of " + std::to_string(values.size()) +
                             " values for " + std::to_string(table.columns.size()) + " columns");
    }
    Bytes row;
    Append16(row, static_cast<std::uint32_t>(table.columns.size()));
    row.resize(2 + table.fixedBytes, 0);
    Bytes nullMask((table.columns.size() + 7) / 8, 0);
    std::vector<std::uint32_t> varOffsets(table.varCount, 0);

    // Columns are numbered in order, so variable data follows the offset table's order.
    for (std::size_t i = 0; i < values.size(); ++i) {
        const ColumnLayout& column = table.columns[i];
        const Cell& value = values[i];
        const bool present = !std::holds_alternative<std::monostate>(value);
        if (present) {
            nullMask[column.number / 8] |= static_cast<std::uint8_t>(1u << (column.number % 8));
        }
        if (column.fixed()) {
            if (present) {
                WriteFixed(table, column, value, row);
            }
        } else {
            varOffsets[column.varIndex] = static_cast<std::uint32_t>(row.size());
            if (present) {
                AppendVariable(table, column, value, row);
            }
        }
    }
    if (table.varCount > 0) {
        Append16(row, static_cast<std::uint32_t>(row.size()));  // end of the variable data
        for (auto entry = varOffsets.rbegin(); entry != varOffsets.rend(); ++entry) {
            Append16(row, *entry);
        }
        Append16(row, table.varCount);
    }
    row.insert(row.end(), nullMask.begin(), nullMask.end());
    if (row.size() > kMaxRowBytes) {
        throw ErroreArchivio("table " + table.name + ": a row of " + std::to_string(row.size()) +
                             " bytes does not fit a page");
    }
    return row;
}

}  // namespace tableau::db::writer::jet
