// tableau-jet FILE [TABLE [--colonne | FILTER...]]: reads a Jet database file with libmdb and hands
// the list of its tables, or every row of one table, to the program on standard output (the record
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
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_set>
#include <vector>

#include "db/jet/jet_stream.h"
#include "db/jet/reader/field_values.h"
#include "db/jet/reader/row_filters.h"
#include "routines/settings.h"

namespace {

using tableau::db::jet::jet_stream::Encoder;
using tableau::db::jet::jet_stream::FailureKind;
using namespace tableau::db::jet::reader;

// Room for a memo of 65,535 characters in UTF-8.
constexpr std::size_t kBindSize = 256 * 1024;
// Beyond these a damaged file is looping or running away with memory.
constexpr rlim_t kCpuSeconds = 300;
constexpr rlim_t kAddressSpace = rlim_t{2} << 30;
// The bounds $TABLEAU_MEMORIA_JET may set, in megabytes.
constexpr unsigned long kMinMemory = 128;
constexpr unsigned long kMaxMemory = 1 << 20;

void Limit(int resource, rlim_t value) {
    const rlimit limit{value, value};
    setrlimit(resource, &limit);
}

#if defined(__SANITIZE_ADDRESS__)
#define TABLEAU_JET_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TABLEAU_JET_ASAN 1
#endif
#endif

#ifdef TABLEAU_JET_ASAN
// The sanitizer's quarantine of freed blocks, in megabytes (its default, set in
// __asan_default_options below).
constexpr unsigned long kQuarantineMb = 256;

// The private writable memory the process holds now (VmData), in bytes; 0 when unknown.
rlim_t CurrentData() {
    std::FILE* status = std::fopen("/proc/self/status", "re");
    if (status == nullptr) {
        return 0;
    }
    unsigned long long kb = 0;
    char line[256];
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::sscanf(line, "VmData: %llu kB", &kb) == 1) {
            break;
        }
    }
    std::fclose(status);
    return static_cast<rlim_t>(kb) * 1024;
}
#endif

// The bound on memory: $TABLEAU_MEMORIA_JET megabytes when set to a whole number within
// bounds (a machine with tables that need more), else 2 GiB.
rlim_t AllowedMemory() {
    const auto set = tableau::routines::LeggiRegolazione("TABLEAU_MEMORIA_JET");
    if (!set) {
        return kAddressSpace;
    }
    unsigned long megabyte = 0;
    const char* const last = set->data() + set->size();
    const auto [end, error] = std::from_chars(set->data(), last, megabyte);
    if (error != std::errc() || end != last || megabyte < kMinMemory || megabyte > kMaxMemory) {
        return kAddressSpace;
    }
    return static_cast<rlim_t>(megabyte) << 20;
}

// Sets the bound on memory. Built with AddressSanitizer, the process already holds terabytes of
// shadow memory before main, counted in its address space and in its data alike: an
// absolute bound would leave it no room at all. The bound is then on the data added from
// here on, which is where libmdb's allocations (through the sanitizer's) go, and the
// sanitizer's quarantine of freed blocks (kQuarantenaMb below) is added to it: libmdb frees
// a buffer of kBindSize for every row it converts, and kept there those blocks would fill
// the bound of a sound file's reading.
void LimitMemory() {
#ifdef TABLEAU_JET_ASAN
    Limit(RLIMIT_DATA, CurrentData() + AllowedMemory() + (rlim_t{kQuarantineMb} << 20));
#else
    Limit(RLIMIT_AS, AllowedMemory());
#endif
}

// The stream, and the descriptor it goes to: the standard output the program started this
// process with. libmdb prints some of its complaints on standard output, so that becomes
// the error output before the library runs (see main).
class Output : public Encoder {
  public:
    explicit Output(int fd) : fd_(fd) {}

    // Writes out what is buffered; ends the process when the program stopped listening.
    void flush() {
        std::string_view rest(buffer());
        while (!rest.empty()) {
            const ssize_t written = ::write(fd_, rest.data(), rest.size());
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                std::_Exit(3);
            }
            rest.remove_prefix(static_cast<std::size_t>(written));
        }
        buffer().clear();
    }
    void flushIfFull() {
        if (buffer().size() >= 64 * 1024) {
            flush();
        }
    }

  private:
    int fd_;
};

struct MdbCloser {
    void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
struct TableCloser {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};

int Tables(MdbHandle* mdb, Output& out) {
    std::uint64_t count = 0;
    for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry)) {
            out.table(entry->object_name);
            ++count;
        }
    }
    out.end(count);
    out.flush();
    return 0;
}

int Rows(MdbHandle* mdb, const char* name, bool columnsOnly, std::vector<Filter> filters,
         Output& out) {
    const std::unique_ptr<MdbTableDef, TableCloser> table(
        mdb_read_table_by_name(mdb, const_cast<gchar*>(name), MDB_TABLE));
    if (!table) {
        out.failure(FailureKind::NoTable, name);
        out.flush();
        return 0;
    }
    if (!mdb_read_columns(table.get())) {
        out.failure(FailureKind::Unreadable, "colonne illeggibili");
        out.flush();
        return 0;
    }
    const unsigned int columns = table->num_cols;
    std::vector<std::string> names;
    std::vector<Kind> kinds;
    std::vector<const MdbColumn*> cols;
    std::string typeCodes;
    for (unsigned int c = 0; c < columns; ++c) {
        const auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
        cols.push_back(col);
        names.emplace_back(col->name);
        kinds.push_back(KindOf(col->col_type));
        // What a filter may test: texts ('T'), and whole numbers other than yes/no fields
        // ('I'); the others tell the field's type only: yes/no 'B', reals 'R', dates and
        // replication ids (read as texts) 'D', fields never read '-'.
        typeCodes += col->col_type == MDB_TEXT || col->col_type == MDB_MEMO ? 'T'
                     : col->col_type == MDB_BOOL                            ? 'B'
                     : kinds.back() == Kind::integer                        ? 'I'
                     : kinds.back() == Kind::real                           ? 'R'
                     : kinds.back() == Kind::text                           ? 'D'
                                                                            : '-';
    }
    out.columns(names);
    out.types(typeCodes);
    out.declared(table->num_rows);
    if (columnsOnly) {
        out.end(0);
        out.flush();
        return 0;
    }
    for (auto& filter : filters) {
        const auto at = std::find(names.begin(), names.end(), filter.field);
        const char expected = filter.test == Filter::Test::text ? 'T' : 'I';
        if (at == names.end() ||
            typeCodes[static_cast<std::size_t>(at - names.begin())] != expected) {
            out.failure(FailureKind::Unreadable, "filtro su un campo inadatto: " + filter.field);
            out.flush();
            return 0;
        }
        filter.column = static_cast<unsigned int>(at - names.begin());
    }
    std::vector<std::unique_ptr<char[]>> buffers(columns);
    std::vector<int> lengths(columns, 0);
    std::vector<bool> filtered(columns, false);
    for (const auto& filter : filters) {
        filtered[filter.column] = true;
    }
    // The filtered fields are bound all the time, the others only for the rows that pass:
    // libmdb converts a field to text only while it is bound (mdb_bind_column cannot
    // unbind, so the column's own pointers are set).
    const auto bind = [&](bool all) {
        for (unsigned int c = 0; c < columns; ++c) {
            if (kinds[c] == Kind::skipped || filtered[c]) {
                continue;
            }
            auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
            col->bind_ptr = all ? buffers[c].get() : nullptr;
            col->len_ptr = all ? &lengths[c] : nullptr;
        }
    };
    for (unsigned int c = 0; c < columns; ++c) {
        if (kinds[c] != Kind::skipped) {
            buffers[c] = std::make_unique<char[]>(kBindSize);
            mdb_bind_column(table.get(), static_cast<int>(c + 1), buffers[c].get(), &lengths[c]);
        }
    }
    if (!filters.empty()) {
        bind(false);
    }
    mdb_rewind_table(table.get());
    // A damaged page chain can hand the same rows over and over; the table's own count
    // bounds what a sound file holds.
    const std::uint64_t most = 2 * std::uint64_t{table->num_rows} + 10000;
    std::uint64_t fetched = 0;
    std::uint64_t count = 0;
    while (mdb_fetch_row(table.get())) {
        if (fetched++ == most) {
            out.failure(FailureKind::Unreadable, "più righe di quante la tabella ne dichiari");
            out.flush();
            return 0;
        }
        if (!filters.empty()) {
            const bool passes = std::all_of(filters.begin(), filters.end(), [&](const Filter& f) {
                return Satisfies(f, mdb, table.get(), cols[f.column], buffers[f.column].get(),
                                 lengths[f.column]);
            });
            if (!passes) {
                continue;
            }
            // The same row again, every field converted this time.
            bind(true);
            const bool wasRead = mdb_read_row(table.get(), table->cur_row - 1) != 0;
            bind(false);
            if (!wasRead) {
                out.failure(FailureKind::Unreadable, "riga illeggibile");
                out.flush();
                return 0;
            }
        }
        out.beginRow();
        for (unsigned int c = 0; c < columns; ++c) {
            WriteValue(out, mdb, table.get(), cols[c], kinds[c], buffers[c].get(),
                       buffers[c] ? lengths[c] : 0);
        }
        out.endRow();
        ++count;
        out.flushIfFull();
    }
    out.end(count);
    out.flush();
    return 0;
}

}  // namespace

#ifdef TABLEAU_JET_ASAN
// At the bound the sanitizer's own report of the failed allocation needs memory it cannot
// have, and never ends: the allocation fails instead, and glib ends the process as it does
// in the ordinary build.
// On some damaged catalogs libmdb reads heap memory it never wrote, and what it finds there
// decides whether it loops for ever. The sanitizer fills new blocks with 0xbe, where the C
// library hands out fresh memory zeroed: the reader would stop where the program's own
// reader loops (testodbc.mdb with one byte of its catalog changed, in the tests). New
// blocks are zeroed here too, so that the reader behaves on damaged files as it does in
// the ordinary build. ASAN_OPTIONS still has the last word.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1:malloc_fill_byte=0:quarantine_size_mb=256";
}
#endif

int main(int argc, char** argv) {
    std::vector<Filter> filters;
    const bool columnsOnly = argc == 4 && std::string_view(argv[3]) == "--colonne";
    if (argc < 2 || (argc > 3 && !columnsOnly && !ParseFilters(argc, argv, 3, filters))) {
        static const char usage[] =
            "Uso: tableau-jet ARCHIVIO [TABELLA [--colonne | FILTRO...]]\n"
            "FILTRO: --testo CAMPO OP TESTO | --intero CAMPO OP NUMERO | --tra CAMPO N1,N2,...\n";
        return ::write(STDERR_FILENO, usage, sizeof usage - 1) < 0 ? 2 : 2;
    }
    const int stream = ::dup(STDOUT_FILENO);
    if (stream < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        return 3;
    }
    Limit(RLIMIT_CORE, 0);
    Limit(RLIMIT_CPU, kCpuSeconds);
    LimitMemory();
    Output out(stream);
    const std::unique_ptr<MdbHandle, MdbCloser> mdb(mdb_open(argv[1], MDB_NOFLAGS));
    if (!mdb) {
        out.failure(FailureKind::CannotOpen, "formato Jet non leggibile");
        out.flush();
        return 0;
    }
    mdb_set_bind_size(mdb.get(), kBindSize);
    mdb_set_date_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
    mdb_set_shortdate_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
    if (!mdb_read_catalog(mdb.get(), MDB_TABLE)) {
        out.failure(FailureKind::Unreadable, "catalogo delle tabelle illeggibile");
        out.flush();
        return 0;
    }
    return argc == 2 ? Tables(mdb.get(), out)
                     : Rows(mdb.get(), argv[2], columnsOnly, std::move(filters), out);
}
