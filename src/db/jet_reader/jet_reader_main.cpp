// tableau-jet FILE [TABLE]: reads a Jet database file with libmdb and hands the list of
// its tables, or every row of one table, to the program on standard output (the record
// stream of db/jet_stream.h). The program runs it as a child process, so that a damaged
// file that brings libmdb down costs this process only. It never writes the file.
#include <glib.h>
// libmdb's header expects glib's declarations first and brings its own C linkage.
#include <mdbtools.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/jet_stream.h"

namespace {

using tableau::db::jetstream::Encoder;
using tableau::db::jetstream::FailureKind;

// Room for a memo of 65,535 characters in UTF-8.
constexpr std::size_t kBindSize = 256 * 1024;
// Beyond these a damaged file is looping or running away with memory.
constexpr rlim_t kCpuSeconds = 300;
constexpr rlim_t kAddressSpace = rlim_t{2} << 30;

void Limita(int resource, rlim_t value) {
    const rlimit limit{value, value};
    setrlimit(resource, &limit);
}

// Writes the buffer out; ends the process when the program stopped listening.
void Scarica(std::string& buffer) {
    std::string_view rest(buffer);
    while (!rest.empty()) {
        const ssize_t written = ::write(STDOUT_FILENO, rest.data(), rest.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::_Exit(3);
        }
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
    buffer.clear();
}

void ScaricaSePieno(Encoder& out) {
    if (out.buffer().size() >= 64 * 1024) {
        Scarica(out.buffer());
    }
}

struct MdbCloser {
    void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
struct TableCloser {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};

// Whole numbers, real numbers, texts; pictures, binary data and attachments are not read.
enum class Genere { Intero, Reale, Testo, Omesso };

Genere GenereDi(int type) {
    switch (type) {
        case MDB_BOOL:
        case MDB_BYTE:
        case MDB_INT:
        case MDB_LONGINT:
            return Genere::Intero;
        case MDB_MONEY:
        case MDB_FLOAT:
        case MDB_DOUBLE:
        case MDB_NUMERIC:
            return Genere::Reale;
        case MDB_TEXT:
        case MDB_MEMO:
        case MDB_DATETIME:
        case MDB_REPID:
            return Genere::Testo;
        default:
            return Genere::Omesso;
    }
}

// Whether a text field that libmdb hands over as empty holds an empty text rather than a
// null: the row's null mask (its last bytes, one bit per column, set when the field has a
// value) tells. False whenever the row cannot be looked at directly.
bool TestoVuoto(MdbHandle* mdb, const MdbTableDef* table, const MdbColumn* col) {
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

// A fixed-size real number straight from the row, as stored: libmdb's text of it may
// round the last digits.
std::optional<double> RealeEsatto(MdbHandle* mdb, const MdbColumn* col) {
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

void Valore(Encoder& out, MdbHandle* mdb, const MdbTableDef* table, const MdbColumn* col,
            Genere genere, const char* text, int length) {
    const std::string_view value(text, length > 0 ? static_cast<std::size_t>(length) : 0);
    if (genere == Genere::Omesso) {
        out.null();
        return;
    }
    if (value.empty()) {
        // libmdb gives a null field and an empty text alike.
        if (genere == Genere::Testo && (col->col_type == MDB_TEXT || col->col_type == MDB_MEMO) &&
            TestoVuoto(mdb, table, col)) {
            out.text("");
        } else {
            out.null();
        }
        return;
    }
    if (genere == Genere::Testo) {
        out.text(value);
        return;
    }
    if (genere == Genere::Intero) {
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
            const auto exact = RealeEsatto(mdb, col);
            const bool agree = exact && std::fabs(*exact - d) <= 1e-9 * std::max(1.0, std::fabs(d));
            out.real(agree ? *exact : d);
            return;
        }
    }
    out.text(value);
}

int Tabelle(MdbHandle* mdb, Encoder& out) {
    std::uint64_t count = 0;
    for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry)) {
            out.table(entry->object_name);
            ++count;
        }
    }
    out.end(count);
    Scarica(out.buffer());
    return 0;
}

int Righe(MdbHandle* mdb, const char* name, Encoder& out) {
    const std::unique_ptr<MdbTableDef, TableCloser> table(
        mdb_read_table_by_name(mdb, const_cast<gchar*>(name), MDB_TABLE));
    if (!table) {
        out.failure(FailureKind::NoTable, name);
        Scarica(out.buffer());
        return 0;
    }
    if (!mdb_read_columns(table.get())) {
        out.failure(FailureKind::Unreadable, "colonne illeggibili");
        Scarica(out.buffer());
        return 0;
    }
    const unsigned int columns = table->num_cols;
    std::vector<std::string> names;
    std::vector<Genere> generi;
    std::vector<const MdbColumn*> cols;
    for (unsigned int c = 0; c < columns; ++c) {
        const auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
        cols.push_back(col);
        names.emplace_back(col->name);
        generi.push_back(GenereDi(col->col_type));
    }
    out.columns(names);
    out.declared(table->num_rows);
    std::vector<std::unique_ptr<char[]>> buffers(columns);
    std::vector<int> lengths(columns, 0);
    for (unsigned int c = 0; c < columns; ++c) {
        if (generi[c] != Genere::Omesso) {
            buffers[c] = std::make_unique<char[]>(kBindSize);
            mdb_bind_column(table.get(), static_cast<int>(c + 1), buffers[c].get(), &lengths[c]);
        }
    }
    mdb_rewind_table(table.get());
    // A damaged page chain can hand the same rows over and over; the table's own count
    // bounds what a sound file holds.
    const std::uint64_t most = 2 * std::uint64_t{table->num_rows} + 10000;
    std::uint64_t count = 0;
    while (mdb_fetch_row(table.get())) {
        if (count == most) {
            out.failure(FailureKind::Unreadable, "più righe di quante la tabella ne dichiari");
            Scarica(out.buffer());
            return 0;
        }
        out.beginRow();
        for (unsigned int c = 0; c < columns; ++c) {
            Valore(out, mdb, table.get(), cols[c], generi[c], buffers[c].get(),
                   buffers[c] ? lengths[c] : 0);
        }
        out.endRow();
        ++count;
        ScaricaSePieno(out);
    }
    out.end(count);
    Scarica(out.buffer());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        static const char uso[] = "Uso: tableau-jet ARCHIVIO [TABELLA]\n";
        return ::write(STDERR_FILENO, uso, sizeof uso - 1) < 0 ? 2 : 2;
    }
    Limita(RLIMIT_CORE, 0);
    Limita(RLIMIT_CPU, kCpuSeconds);
    Limita(RLIMIT_AS, kAddressSpace);
    Encoder out;
    const std::unique_ptr<MdbHandle, MdbCloser> mdb(mdb_open(argv[1], MDB_NOFLAGS));
    if (!mdb) {
        out.failure(FailureKind::CannotOpen, "formato Jet non leggibile");
        Scarica(out.buffer());
        return 0;
    }
    mdb_set_bind_size(mdb.get(), kBindSize);
    mdb_set_date_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
    mdb_set_shortdate_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
    if (!mdb_read_catalog(mdb.get(), MDB_TABLE)) {
        out.failure(FailureKind::Unreadable, "catalogo delle tabelle illeggibile");
        Scarica(out.buffer());
        return 0;
    }
    return argc == 2 ? Tabelle(mdb.get(), out) : Righe(mdb.get(), argv[2], out);
}
