#include "db/jet/reader/field_values.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace tableau::db::jet::reader {
namespace {

// A fixed-size real number straight from the row, as stored: libmdb's text of it may
// round the last digits.
std::optional<double> ExactReal(MdbHandle* mdb, const MdbColumn* col) {
    const int start = col->cur_value_start;
    if (start <= 0 || static_cast<std::size_t>(start) + 8 > sizeof mdb->pg_buf) {
        return std::nullopt;
    }
    if (col->col_type == MDB_DOUBLE && col->cur_value_len == 8) {
        return mdb_pg_get_double(mdb, start);
    }
    if (col->col_type == MDB_FLOAT && col->cur_value_len == 4) {
        // The shortest decimal that reads back as the same single (0.05, not
        // 0.0500000007450581), as the number was typed.
        char digits[32];
        const auto written =
            std::to_chars(digits, digits + sizeof digits, mdb_pg_get_single(mdb, start));
        double d = 0;
        std::from_chars(digits, written.ptr, d);
        return d;
    }
    return std::nullopt;
}

}  // namespace

Kind KindOf(int type) {
    switch (type) {
        case MDB_BOOL:
        case MDB_BYTE:
        case MDB_INT:
        case MDB_LONGINT:
            return Kind::integer;
        case MDB_MONEY:
        case MDB_FLOAT:
        case MDB_DOUBLE:
        case MDB_NUMERIC:
            return Kind::real;
        case MDB_TEXT:
        case MDB_MEMO:
        case MDB_DATETIME:
        case MDB_REPID:
            return Kind::text;
        default:
            return Kind::skipped;
    }
}

// Whether a text field that libmdb hands over as empty holds an empty text rather than a
// null: the row's null mask (its last bytes, one bit per column, set when the field has a
// value) tells. False whenever the row cannot be looked at directly.
bool IsEmptyText(MdbHandle* mdb, const MdbTableDef* table, const MdbColumn* col) {
    if (table->cur_row == 0) {
        return false;
    }
    const unsigned int row = table->cur_row - 1;
    const int entry = mdb_pg_get_int16(mdb, mdb->fmt->row_count_offset + 2 + 2 * row);
    if ((entry & 0xC000) != 0) {
        return false;  // deleted, or moved to another page
    }
    int start = 0;
    std::size_t length = 0;
    if (mdb_find_row(mdb, static_cast<int>(row), &start, &length) != 0 || start < 0 || length < 2 ||
        static_cast<std::size_t>(start) + length > sizeof mdb->pg_buf) {
        return false;
    }
    const unsigned char* bytes = mdb->pg_buf + start;
    const unsigned int inRow = IS_JET3(mdb) ? bytes[0] : (bytes[0] | (bytes[1] << 8));
    const std::size_t mask = (inRow + 7) / 8;
    const auto place = static_cast<unsigned int>(col->row_col_num);
    if (place >= inRow || mask >= length) {
        return false;
    }
    return ((bytes[length - mask + place / 8] >> (place % 8)) & 1) != 0;
}

void WriteValue(db::jet::jet_stream::Encoder& out, MdbHandle* mdb, const MdbTableDef* table,
                const MdbColumn* col, Kind kind, const char* text, int length) {
    const std::string_view value(text, length > 0 ? static_cast<std::size_t>(length) : 0);
    if (kind == Kind::skipped) {
        out.null();
        return;
    }
    if (value.empty()) {
        // libmdb gives a null field and an empty text alike.
        if (kind == Kind::text && (col->col_type == MDB_TEXT || col->col_type == MDB_MEMO) &&
            IsEmptyText(mdb, table, col)) {
            out.text("");
        } else {
            out.null();
        }
        return;
    }
    if (kind == Kind::text) {
        out.text(value);
        return;
    }
    if (kind == Kind::integer) {
        std::int64_t n = 0;
        const auto read = std::from_chars(value.data(), value.data() + value.size(), n);
        if (read.ec == std::errc() && read.ptr == value.data() + value.size()) {
            out.integer(n);  // a yes/no field: 1 or 0, as libmdb gives it
            return;
        }
    } else {
        // libmdb writes numbers in the C locale, which this process keeps.
        const std::string copy(value);
        char* end = nullptr;
        const double d = std::strtod(copy.c_str(), &end);
        if (end == copy.c_str() + copy.size()) {
            // The stored bits when they agree with libmdb's text of them.
            const auto exact = ExactReal(mdb, col);
            const bool agree = exact && std::fabs(*exact - d) <= 1e-9 * std::max(1.0, std::fabs(d));
            out.real(agree ? *exact : d);
            return;
        }
    }
    out.text(value);
}

}  // namespace tableau::db::jet::reader
