#include "db/server/sync_source.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <exception>
#include <thread>

#include "db/data_directory.h"
#include "db/database.h"
#include "db/errors.h"
#include "db/hotel_schema.h"
#include "db/in_filter.h"
#include "db/server/server_schema.h"
#include "routines/codepage.h"
#include "routines/dates.h"
#include "routines/errors.h"
#include "routines/text.h"

namespace tableau::db::server {
namespace {

constexpr std::int64_t kExactInDouble = std::int64_t{1} << 53;

// A value for a message: UTF-8, cut short.
std::string Shown(const Value& v) {
    std::string text = v.asText();
    if (text.size() > 40) {
        text = text.substr(0, 40) + "...";
    }
    return "\"" + routines::InUtf8(text) + "\"";
}

const char* KindName(const Value& v) {
    return v.isInteger() ? "un numero intero" : v.isReal() ? "un numero con decimali" : "un testo";
}

[[noreturn]] void Refuse(const std::string& file, const RecordSet& rows, const std::string& field,
                         std::size_t row, const std::string& why) {
    throw ErroreArchivio("Archivio " + file + ", tabella " + rows.tableName() + ", campo " + field +
                         ", riga " + std::to_string(row + 1) + ": " + why +
                         "; la sincronizzazione non \xC3\xA8 stata eseguita");
}

bool Accepts(ServerType type, const Value& v) {
    switch (type) {
        case ServerType::Bigint:
            return v.isInteger();
        case ServerType::DoublePrecision:
            return v.isReal() || (v.isInteger() && v.asInteger() >= -kExactInDouble &&
                                  v.asInteger() <= kExactInDouble);
        case ServerType::Text:
            return v.isText();
    }
    return false;
}

// The type of a field declared of no definite type: that of its values, all of one kind
// (whole numbers with reals make reals); text when they are all null.
std::optional<ServerType> TypeFromValues(const std::vector<std::vector<Value>>& rows,
                                         std::size_t c) {
    bool integers = false;
    bool reals = false;
    bool texts = false;
    for (const auto& row : rows) {
        const Value& v = row[c];
        integers = integers || v.isInteger();
        reals = reals || v.isReal();
        texts = texts || v.isText();
    }
    if (texts) {
        return integers || reals ? std::nullopt : std::optional(ServerType::Text);
    }
    return reals ? ServerType::DoublePrecision : integers ? ServerType::Bigint : ServerType::Text;
}

std::string NameInUtf8(const std::string& name) {
    return routines::ScrittoInUtf8(name) ? name : routines::InUtf8(name);
}

std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return routines::ChiaveData(
        routines::Data{local.tm_mday, local.tm_mon + 1, local.tm_year + 1900});
}

bool IsDateKey(const std::string& text) {
    if (text.size() != 8) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

std::size_t ColumnOf(const SyncSource& source, const char* name) {
    const auto& columns = source.rows.fieldNames();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (routines::StessoNome(columns[i], name)) {
            return i;
        }
    }
    throw ErroreArchivio(std::string("Campo ") + name + " non trovato nella tabella " +
                         source.table + " dell'archivio " + source.file +
                         ": serve a scegliere le righe dello storico da sincronizzare");
}

// The places of the rows whose DataPartenza is on or after the day, or unknown.
std::vector<std::size_t> RowsDepartingFrom(const SyncSource& source, const std::string& day) {
    const std::size_t c = ColumnOf(source, "DataPartenza");
    std::vector<std::size_t> kept;
    const auto& rows = source.rows.rows();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Value& departure = rows[r][c];
        const std::string text = departure.isNull() ? std::string() : departure.asText();
        if (!IsDateKey(text) || text >= day) {
            kept.push_back(r);
        }
    }
    return kept;
}

}  // namespace

std::vector<ServerType> ServerTypes(const std::string& file, const RecordSet& rows,
                                    const std::vector<std::string>& fieldsUtf8) {
    const auto& declared = rows.fieldTypes();
    const auto& all = rows.rows();
    std::vector<ServerType> types;
    for (std::size_t c = 0; c < fieldsUtf8.size(); ++c) {
        const std::string& field = fieldsUtf8[c];
        if (field.size() > 63) {
            throw ErroreArchivio("Archivio " + file + ", tabella " + rows.tableName() +
                                 ": il nome del campo " + field +
                                 " supera i 63 caratteri che il server ammette");
        }
        if (field == kOrderColumn) {
            throw ErroreArchivio("Archivio " + file + ", tabella " + rows.tableName() +
                                 ": il campo " + field +
                                 " ha il nome che il server riserva all'ordine delle righe");
        }
        const FieldType type = c < declared.size() ? declared[c] : FieldType::Other;
        std::optional<ServerType> chosen;
        switch (type) {
            case FieldType::Integer:
                chosen = ServerType::Bigint;
                break;
            case FieldType::Real:
                chosen = ServerType::DoublePrecision;
                break;
            case FieldType::Text:
                chosen = ServerType::Text;
                break;
            case FieldType::Other:
                chosen = TypeFromValues(all, c);
                if (!chosen) {
                    for (std::size_t r = 0; r < all.size(); ++r) {
                        if (all[r][c].isText()) {
                            Refuse(file, rows, field, r,
                                   "il campo, di tipo non dichiarato, mescola numeri e testi "
                                   "(qui il testo " +
                                       Shown(all[r][c]) + ")");
                        }
                    }
                }
                break;
        }
        for (std::size_t r = 0; r < all.size(); ++r) {
            const Value& v = all[r][c];
            if (v.isNull()) {
                continue;
            }
            if (!Accepts(*chosen, v)) {
                const char* expected = *chosen == ServerType::Bigint ? "un numero intero"
                                       : *chosen == ServerType::Text ? "un testo"
                                                                     : "un numero";
                Refuse(file, rows, field, r,
                       std::string("il valore ") + Shown(v) + " \xC3\xA8 " + KindName(v) +
                           ", il campo vuole " + expected);
            }
            if (v.isText() && v.textRef().find('\0') != std::string::npos) {
                Refuse(file, rows, field, r,
                       "il testo contiene il carattere nullo, che il server non ammette");
            }
        }
        types.push_back(*chosen);
    }
    return types;
}

std::string MonthsBefore(const std::string& today, int months) {
    if (!IsDateKey(today) || months < 0) {
        throw routines::RichiestaRifiutata("Storico da sincronizzare non valido: " +
                                           std::to_string(months) + " mesi dal giorno " + today);
    }
    const int year = std::stoi(today.substr(0, 4));
    const int month = std::stoi(today.substr(4, 2));
    const int day = std::stoi(today.substr(6, 2));
    const int index = year * 12 + (month - 1) - months;
    const int newYear = index / 12;
    const int newMonth = index % 12 + 1;
    const int lastDay = routines::GiorniMese(newMonth, newYear);
    return routines::ChiaveData(routines::Data{day < lastDay ? day : lastDay, newMonth, newYear});
}

std::vector<SyncSource> ReadSyncSources(const std::filesystem::path& cartellaDati,
                                        std::optional<int> historyMonths,
                                        const std::string& today) {
    // The files are opened in order, so that the first missing one is named; the tables of
    // SQLite files are then read two at a time (each file has its own connection), those of
    // Jet files one after the other, as their reader programs are started.
    struct Reading {
        const ServerTable* origin;
        std::unique_ptr<Database> database;
        std::optional<RecordSet> rows;
        std::exception_ptr error;
    };
    std::vector<Reading> readings;
    for (const ServerTable& t : ServerTables()) {
        readings.push_back(Reading{&t, OpenDatabase(cartellaDati, t.file), std::nullopt, nullptr});
    }
    const auto readOne = [](Reading& l) {
        try {
            l.rows = l.database->openTable(std::string(l.origin->table));
        } catch (...) {
            l.error = std::current_exception();
        }
    };
    std::vector<Reading*> second;
    {
        // The larger files first, each to the lighter of the two.
        std::vector<std::pair<std::uintmax_t, Reading*>> bySize;
        for (auto& l : readings) {
            const auto path = FindFileIgnoringCase(cartellaDati, l.origin->file);
            std::error_code ignored;
            bySize.emplace_back(path ? std::filesystem::file_size(*path, ignored) : 0, &l);
        }
        std::stable_sort(bySize.begin(), bySize.end(),
                         [](const auto& a, const auto& b) { return a.first > b.first; });
        std::vector<Reading*> first;
        std::uintmax_t firstBytes = 0;
        std::uintmax_t secondBytes = 0;
        for (const auto& [bytes, l] : bySize) {
            const bool sqlite = l->database->format() == DatabaseFormat::Sqlite;
            if (sqlite && secondBytes < firstBytes) {
                second.push_back(l);
                secondBytes += bytes;
            } else {
                first.push_back(l);
                firstBytes += bytes;
            }
        }
        std::thread other([&] {
            for (Reading* l : second) {
                readOne(*l);
            }
        });
        for (Reading* l : first) {
            readOne(*l);
        }
        other.join();
    }
    // The fields the chart reads, checked as the data directory check does: a table that
    // lost one would sync and every chart read from the server would then fail.
    std::string missing;
    for (auto& l : readings) {
        if (l.error) {
            std::rethrow_exception(l.error);
        }
        const TableDescription& description = tableDescription(l.origin->table);
        for (const std::string_view field : MissingFields(description, l.rows->fieldNames())) {
            missing += (missing.empty() ? "" : "; ") +
                       MissingFieldMessage(l.origin->file, l.origin->table, field);
        }
    }
    if (!missing.empty()) {
        throw ErroreArchivio(missing + "; la sincronizzazione non \xC3\xA8 stata eseguita");
    }
    std::vector<SyncSource> sources;
    for (auto& l : readings) {
        RecordSet rows = std::move(*l.rows);
        std::vector<std::string> fields;
        for (const auto& name : rows.fieldNames()) {
            fields.push_back(NameInUtf8(name));
        }
        std::vector<ServerType> types = ServerTypes(std::string(l.origin->file), rows, fields);
        std::vector<std::size_t> kept(rows.rowCount());
        for (std::size_t r = 0; r < kept.size(); ++r) {
            kept[r] = r;
        }
        sources.push_back(SyncSource{std::string(l.origin->file), std::string(l.origin->table),
                                     std::move(fields), std::move(types), std::move(rows),
                                     std::move(kept), std::string()});
    }
    if (!historyMonths) {
        return sources;
    }
    const std::string day = MonthsBefore(today.empty() ? Today() : today, *historyMonths);
    const auto find = [&sources](std::string_view table) -> SyncSource& {
        for (auto& s : sources) {
            if (s.table == table) {
                return s;
            }
        }
        throw ErroreArchivio("Tabella " + std::string(table) + " non trovata");
    };
    SyncSource& guests = find("Scheda_Cliente");
    guests.kept = RowsDepartingFrom(guests, day);
    guests.keptFrom = day;
    SyncSource& bookedRooms = find("Camere_Prenotazione");
    bookedRooms.kept = RowsDepartingFrom(bookedRooms, day);
    bookedRooms.keptFrom = day;
    // The headers the kept bookings find, as the chart's In list finds them.
    InFilter bookings;
    const std::size_t bookingColumn = ColumnOf(bookedRooms, "NumeroPrenotazione");
    for (const std::size_t r : bookedRooms.kept) {
        bookings.add(bookedRooms.rows.rows()[r][bookingColumn]);
    }
    SyncSource& headers = find("Scheda_Prenotazione");
    const std::size_t headerBookingColumn = ColumnOf(headers, "NumeroPrenotazione");
    std::vector<std::size_t> keptHeaders;
    for (const std::size_t r : headers.kept) {
        if (bookings.admits(headers.rows.rows()[r][headerBookingColumn])) {
            keptHeaders.push_back(r);
        }
    }
    headers.kept = std::move(keptHeaders);
    headers.keptFrom = day;
    return sources;
}

}  // namespace tableau::db::server
