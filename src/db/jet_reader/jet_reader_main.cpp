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
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
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

// The stream, and the descriptor it goes to: the standard output the program started this
// process with. libmdb prints some of its complaints on standard output, so that becomes
// the error output before the library runs (see main).
class Uscita : public Encoder {
  public:
    explicit Uscita(int fd) : fd_(fd) {}

    // Writes out what is buffered; ends the process when the program stopped listening.
    void scarica() {
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
    void scaricaSePieno() {
        if (buffer().size() >= 64 * 1024) {
            scarica();
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

int Tabelle(MdbHandle* mdb, Uscita& out) {
    std::uint64_t count = 0;
    for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry)) {
            out.table(entry->object_name);
            ++count;
        }
    }
    out.end(count);
    out.scarica();
    return 0;
}

// A condition every row the program wants meets, tested here on the fields it reads so
// that the other fields of the rows it fails are never converted:
//   --testo CAMPO OP VALORE   a text field against a text of plain ASCII characters (a
//                             field with other characters always passes)
//   --intero CAMPO OP VALORE  a whole-number field against a whole number
//   --tra CAMPO N1,N2,...     a whole-number field equal to one of the numbers
// OP is one of = <> < <= > >=. A null field meets none of them.
struct Filtro {
    enum class Tipo { Testo, Intero, Tra } tipo;
    std::string campo;
    std::string operatore;
    std::string testo;
    std::int64_t numero = 0;
    std::unordered_set<std::int64_t> numeri;
    unsigned int colonna = 0;
};

bool Confronta(int esito, const std::string& operatore) {
    if (operatore == "=") {
        return esito == 0;
    }
    if (operatore == "<>") {
        return esito != 0;
    }
    if (operatore == "<") {
        return esito < 0;
    }
    if (operatore == "<=") {
        return esito <= 0;
    }
    if (operatore == ">") {
        return esito > 0;
    }
    return esito >= 0;  // ">="
}

std::optional<std::int64_t> Intero(std::string_view testo) {
    std::int64_t n = 0;
    const auto read = std::from_chars(testo.data(), testo.data() + testo.size(), n);
    if (read.ec != std::errc() || read.ptr != testo.data() + testo.size()) {
        return std::nullopt;
    }
    return n;
}

// Reads the filters from the command line; false for a malformed one.
bool LeggiFiltri(int argc, char** argv, int from, std::vector<Filtro>& filtri) {
    static const std::unordered_set<std::string> operatori{"=", "<>", "<", "<=", ">", ">="};
    for (int i = from; i < argc;) {
        const std::string tipo = argv[i];
        Filtro filtro{Filtro::Tipo::Testo, {}, {}, {}, 0, {}, 0};
        if (tipo == "--tra" && i + 2 < argc) {
            filtro.tipo = Filtro::Tipo::Tra;
            filtro.campo = argv[i + 1];
            std::string_view lista = argv[i + 2];
            while (!lista.empty()) {
                const auto fine = std::min(lista.find(','), lista.size());
                const auto numero = Intero(lista.substr(0, fine));
                if (!numero) {
                    return false;
                }
                filtro.numeri.insert(*numero);
                lista.remove_prefix(std::min(fine + 1, lista.size()));
            }
            i += 3;
        } else if ((tipo == "--testo" || tipo == "--intero") && i + 3 < argc) {
            filtro.campo = argv[i + 1];
            filtro.operatore = argv[i + 2];
            if (operatori.count(filtro.operatore) == 0) {
                return false;
            }
            if (tipo == "--testo") {
                filtro.testo = argv[i + 3];
            } else {
                const auto numero = Intero(argv[i + 3]);
                if (!numero) {
                    return false;
                }
                filtro.tipo = Filtro::Tipo::Intero;
                filtro.numero = *numero;
            }
            i += 4;
        } else {
            return false;
        }
        filtri.push_back(std::move(filtro));
    }
    return true;
}

// The row libmdb has just read meets the filter; its field is bound.
bool Soddisfa(const Filtro& filtro, MdbHandle* mdb, const MdbTableDef* table, const MdbColumn* col,
              const char* text, int length) {
    const std::string_view value(text, length > 0 ? static_cast<std::size_t>(length) : 0);
    if (filtro.tipo == Filtro::Tipo::Testo) {
        if (value.empty() && !TestoVuoto(mdb, table, col)) {
            return false;  // null
        }
        if (std::any_of(value.begin(), value.end(), [](char c) { return (c & 0x80) != 0; })) {
            return true;  // the program compares it in its own code page: let it decide
        }
        return Confronta(value.compare(filtro.testo), filtro.operatore);
    }
    const auto numero = Intero(value);
    if (!numero) {
        return false;  // null
    }
    if (filtro.tipo == Filtro::Tipo::Tra) {
        return filtro.numeri.count(*numero) != 0;
    }
    return Confronta(*numero < filtro.numero   ? -1
                     : *numero > filtro.numero ? 1
                                               : 0,
                     filtro.operatore);
}

int Righe(MdbHandle* mdb, const char* name, bool soloColonne, std::vector<Filtro> filtri,
          Uscita& out) {
    const std::unique_ptr<MdbTableDef, TableCloser> table(
        mdb_read_table_by_name(mdb, const_cast<gchar*>(name), MDB_TABLE));
    if (!table) {
        out.failure(FailureKind::NoTable, name);
        out.scarica();
        return 0;
    }
    if (!mdb_read_columns(table.get())) {
        out.failure(FailureKind::Unreadable, "colonne illeggibili");
        out.scarica();
        return 0;
    }
    const unsigned int columns = table->num_cols;
    std::vector<std::string> names;
    std::vector<Genere> generi;
    std::vector<const MdbColumn*> cols;
    std::string tipi;
    for (unsigned int c = 0; c < columns; ++c) {
        const auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
        cols.push_back(col);
        names.emplace_back(col->name);
        generi.push_back(GenereDi(col->col_type));
        // What a filter may test: texts, and whole numbers other than yes/no fields.
        tipi += col->col_type == MDB_TEXT || col->col_type == MDB_MEMO         ? 'T'
                : generi.back() == Genere::Intero && col->col_type != MDB_BOOL ? 'I'
                                                                               : '-';
    }
    out.columns(names);
    out.types(tipi);
    out.declared(table->num_rows);
    if (soloColonne) {
        out.end(0);
        out.scarica();
        return 0;
    }
    for (auto& filtro : filtri) {
        const auto at = std::find(names.begin(), names.end(), filtro.campo);
        const char atteso = filtro.tipo == Filtro::Tipo::Testo ? 'T' : 'I';
        if (at == names.end() || tipi[static_cast<std::size_t>(at - names.begin())] != atteso) {
            out.failure(FailureKind::Unreadable, "filtro su un campo inadatto: " + filtro.campo);
            out.scarica();
            return 0;
        }
        filtro.colonna = static_cast<unsigned int>(at - names.begin());
    }
    std::vector<std::unique_ptr<char[]>> buffers(columns);
    std::vector<int> lengths(columns, 0);
    std::vector<bool> filtrata(columns, false);
    for (const auto& filtro : filtri) {
        filtrata[filtro.colonna] = true;
    }
    // The filtered fields are bound all the time, the others only for the rows that pass:
    // libmdb converts a field to text only while it is bound (mdb_bind_column cannot
    // unbind, so the column's own pointers are set).
    const auto lega = [&](bool tutte) {
        for (unsigned int c = 0; c < columns; ++c) {
            if (generi[c] == Genere::Omesso || filtrata[c]) {
                continue;
            }
            auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
            col->bind_ptr = tutte ? buffers[c].get() : nullptr;
            col->len_ptr = tutte ? &lengths[c] : nullptr;
        }
    };
    for (unsigned int c = 0; c < columns; ++c) {
        if (generi[c] != Genere::Omesso) {
            buffers[c] = std::make_unique<char[]>(kBindSize);
            mdb_bind_column(table.get(), static_cast<int>(c + 1), buffers[c].get(), &lengths[c]);
        }
    }
    if (!filtri.empty()) {
        lega(false);
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
            out.scarica();
            return 0;
        }
        if (!filtri.empty()) {
            const bool passa = std::all_of(filtri.begin(), filtri.end(), [&](const Filtro& f) {
                return Soddisfa(f, mdb, table.get(), cols[f.colonna], buffers[f.colonna].get(),
                                lengths[f.colonna]);
            });
            if (!passa) {
                continue;
            }
            // The same row again, every field converted this time.
            lega(true);
            const bool letta = mdb_read_row(table.get(), table->cur_row - 1) != 0;
            lega(false);
            if (!letta) {
                out.failure(FailureKind::Unreadable, "riga illeggibile");
                out.scarica();
                return 0;
            }
        }
        out.beginRow();
        for (unsigned int c = 0; c < columns; ++c) {
            Valore(out, mdb, table.get(), cols[c], generi[c], buffers[c].get(),
                   buffers[c] ? lengths[c] : 0);
        }
        out.endRow();
        ++count;
        out.scaricaSePieno();
    }
    out.end(count);
    out.scarica();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<Filtro> filtri;
    const bool soloColonne = argc == 4 && std::string_view(argv[3]) == "--colonne";
    if (argc < 2 || (argc > 3 && !soloColonne && !LeggiFiltri(argc, argv, 3, filtri))) {
        static const char uso[] =
            "Uso: tableau-jet ARCHIVIO [TABELLA [--colonne | FILTRO...]]\n"
            "FILTRO: --testo CAMPO OP TESTO | --intero CAMPO OP NUMERO | --tra CAMPO N1,N2,...\n";
        return ::write(STDERR_FILENO, uso, sizeof uso - 1) < 0 ? 2 : 2;
    }
    const int flusso = ::dup(STDOUT_FILENO);
    if (flusso < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        return 3;
    }
    Limita(RLIMIT_CORE, 0);
    Limita(RLIMIT_CPU, kCpuSeconds);
    Limita(RLIMIT_AS, kAddressSpace);
    Uscita out(flusso);
    const std::unique_ptr<MdbHandle, MdbCloser> mdb(mdb_open(argv[1], MDB_NOFLAGS));
    if (!mdb) {
        out.failure(FailureKind::CannotOpen, "formato Jet non leggibile");
        out.scarica();
        return 0;
    }
    mdb_set_bind_size(mdb.get(), kBindSize);
    mdb_set_date_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
    mdb_set_shortdate_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
    if (!mdb_read_catalog(mdb.get(), MDB_TABLE)) {
        out.failure(FailureKind::Unreadable, "catalogo delle tabelle illeggibile");
        out.scarica();
        return 0;
    }
    return argc == 2 ? Tabelle(mdb.get(), out)
                     : Righe(mdb.get(), argv[2], soloColonne, std::move(filtri), out);
}
