#include "db/server/sync_source.h"

#include <algorithm>
#include <ctime>
#include <functional>

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

[[noreturn]] void Refuse(const SyncSource& source, const std::string& field, std::size_t row,
                         const std::string& why) {
    throw ErroreArchivio("Archivio " + source.file + ", tabella " + source.table + ", campo " +
                         field + ", riga " + std::to_string(row + 1) + ": " + why +
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

std::optional<std::size_t> ColumnNamed(const std::vector<std::string>& names, const char* name) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (routines::StessoNome(names[i], name)) {
            return i;
        }
    }
    return std::nullopt;
}

// Whether the sync sends the row: under a history limit, guests and booked rooms by their
// departure (kept when it is on or after the first day, or unknown), headers by their
// booking among the kept booked rooms'; every other row.
bool Keeps(const SyncSource& source, const std::vector<Value>& row) {
    if (source.departure) {
        const Value& departure = row[*source.departure];
        const std::string text = departure.isNull() ? std::string() : departure.asText();
        return !IsDateKey(text) || text >= source.keptFrom;
    }
    if (source.booking) {
        return source.bookingsKept->admits(row[*source.booking]);
    }
    return true;
}

// What the values of a field of no definite type are.
struct Kinds {
    bool integers = false;
    bool reals = false;
    bool texts = false;
    std::size_t firstText = 0;  // the row of the first text, and the text shown
    std::string firstTextShown;
};

// A reading through a table for the survey: its fields, its rows and those the sync keeps
// counted, the kinds of the values of its fields of no definite type, and with
// `bookingsKept` the bookings of the rows kept. Keeps no row.
class Survey final : public TableScan {
  public:
    Survey(SyncSource& source, const char* ruleField, InFilter* bookingsKept)
        : source_(source), ruleField_(ruleField), bookingsKept_(bookingsKept) {}

    void fields(const std::vector<std::string>& names,
                const std::vector<FieldType>& types) override {
        source_.names = names;
        rows_ = kept_ = 0;
        declared_ = types;
        declared_.resize(names.size(), FieldType::Other);
        kinds_.assign(names.size(), Kinds{});
        if (ruleField_ != nullptr) {
            ruleColumn_ = ColumnNamed(names, ruleField_);
            if (bookingsKept_ != nullptr) {
                bookingColumn_ = ColumnNamed(names, "NumeroPrenotazione");
            }
            if (source_.table == "Scheda_Prenotazione") {
                source_.booking = ruleColumn_;
            } else {
                source_.departure = ruleColumn_;
            }
        }
        for (std::size_t c = 0; c < declared_.size(); ++c) {
            if (declared_[c] == FieldType::Other) {
                undeclared_.push_back(c);
            }
        }
    }

    void row(const std::vector<Value>& values) override {
        for (const std::size_t c : undeclared_) {
            const Value& v = values[c];
            Kinds& k = kinds_[c];
            k.integers = k.integers || v.isInteger();
            k.reals = k.reals || v.isReal();
            if (v.isText() && !k.texts) {
                k.texts = true;
                k.firstText = rows_;
                k.firstTextShown = Shown(v);
            }
        }
        ++rows_;
        if (ruleField_ != nullptr && !ruleColumn_) {
            return;  // refused after the survey
        }
        if (Keeps(source_, values)) {
            ++kept_;
            if (bookingsKept_ != nullptr && bookingColumn_) {
                bookingsKept_->add(values[*bookingColumn_]);
            }
        }
    }

    // Counted without a reading of the rows, from the table's summary.
    void counted(std::size_t rows) { rows_ = kept_ = rows; }

    // The field the history limit reads, when the table lacks it.
    const char* ruleFieldMissing() const {
        return ruleField_ != nullptr && !ruleColumn_ ? ruleField_ : nullptr;
    }
    const std::vector<FieldType>& declared() const { return declared_; }
    const std::vector<Kinds>& kinds() const { return kinds_; }
    std::size_t rows() const { return rows_; }
    std::size_t kept() const { return kept_; }

  private:
    SyncSource& source_;
    const char* ruleField_;
    InFilter* bookingsKept_;
    std::optional<std::size_t> ruleColumn_;
    std::optional<std::size_t> bookingColumn_;
    std::vector<FieldType> declared_;
    std::vector<std::size_t> undeclared_;
    std::vector<Kinds> kinds_;
    std::size_t rows_ = 0;
    std::size_t kept_ = 0;
};

// The server type of each field, from the type its file declares or, for a field of no
// definite type, from its values: all of one kind (whole numbers with reals make reals),
// text when they are all null.
std::vector<ServerType> ServerTypes(const SyncSource& source, const Survey& survey) {
    std::vector<ServerType> types;
    for (std::size_t c = 0; c < source.fields.size(); ++c) {
        const std::string& field = source.fields[c];
        if (field.size() > 63) {
            throw ErroreArchivio("Archivio " + source.file + ", tabella " + source.table +
                                 ": il nome del campo " + field +
                                 " supera i 63 caratteri che il server ammette");
        }
        if (field == kOrderColumn) {
            throw ErroreArchivio("Archivio " + source.file + ", tabella " + source.table +
                                 ": il campo " + field +
                                 " ha il nome che il server riserva all'ordine delle righe");
        }
        switch (survey.declared()[c]) {
            case FieldType::Integer:
                types.push_back(ServerType::Bigint);
                break;
            case FieldType::Real:
                types.push_back(ServerType::DoublePrecision);
                break;
            case FieldType::Text:
                types.push_back(ServerType::Text);
                break;
            case FieldType::Other: {
                const Kinds& k = survey.kinds()[c];
                if (k.texts && (k.integers || k.reals)) {
                    Refuse(source, field, k.firstText,
                           "il campo, di tipo non dichiarato, mescola numeri e testi (qui il "
                           "testo " +
                               k.firstTextShown + ")");
                }
                types.push_back(k.reals      ? ServerType::DoublePrecision
                                : k.integers ? ServerType::Bigint
                                             : ServerType::Text);
                break;
            }
        }
    }
    return types;
}

// A second reading through a surveyed table: every value checked, the rows kept handed on.
class Reading final : public TableScan {
  public:
    Reading(const SyncSource& source,
            const std::function<void(std::size_t, const std::vector<Value>&)>& onRow)
        : source_(source), onRow_(onRow) {}

    void fields(const std::vector<std::string>& names, const std::vector<FieldType>&) override {
        if (names != source_.names) {
            throw ErroreArchivio("Archivio " + source_.file + ", tabella " + source_.table +
                                 ": i campi sono cambiati durante la sincronizzazione; la "
                                 "sincronizzazione non \xC3\xA8 stata eseguita");
        }
    }

    void row(const std::vector<Value>& values) override {
        const std::size_t place = place_++;
        for (std::size_t c = 0; c < values.size(); ++c) {
            const Value& v = values[c];
            if (v.isNull()) {
                continue;
            }
            const ServerType type = source_.types[c];
            if (!Accepts(type, v)) {
                const char* expected = type == ServerType::Bigint ? "un numero intero"
                                       : type == ServerType::Text ? "un testo"
                                                                  : "un numero";
                Refuse(source_, source_.fields[c], place,
                       std::string("il valore ") + Shown(v) + " \xC3\xA8 " + KindName(v) +
                           ", il campo vuole " + expected);
            }
            if (v.isText() && v.textRef().find('\0') != std::string::npos) {
                Refuse(source_, source_.fields[c], place,
                       "il testo contiene il carattere nullo, che il server non ammette");
            }
        }
        if (Keeps(source_, values)) {
            onRow_(place, values);
        }
    }

  private:
    const SyncSource& source_;
    const std::function<void(std::size_t, const std::vector<Value>&)>& onRow_;
    std::size_t place_ = 0;
};

}  // namespace

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

std::string SyncDay(const std::string& today) {
    return today.empty() ? Today() : today;
}

std::vector<SyncSource> SurveySyncSources(const std::filesystem::path& cartellaDati,
                                          std::optional<int> historyMonths,
                                          const std::string& today) {
    const std::string day = historyMonths ? MonthsBefore(SyncDay(today), *historyMonths) : "";
    // The files are opened in order, so that the first missing one is named.
    std::vector<SyncSource> sources;
    for (const ServerTable& t : ServerTables()) {
        SyncSource source;
        source.file = std::string(t.file);
        source.table = std::string(t.table);
        source.database = OpenDatabase(cartellaDati, t.file);
        sources.push_back(std::move(source));
    }
    // The bookings of the booked rooms kept, which choose the headers kept; the booked rooms
    // come first.
    auto bookings = std::make_shared<InFilter>();
    std::vector<Survey> surveys;
    surveys.reserve(sources.size());
    for (SyncSource& source : sources) {
        const bool byDeparture =
            source.table == "Scheda_Cliente" || source.table == "Camere_Prenotazione";
        const bool byBooking = source.table == "Scheda_Prenotazione";
        const char* ruleField = nullptr;
        if (!day.empty() && (byDeparture || byBooking)) {
            source.keptFrom = day;
            ruleField = byBooking ? "NumeroPrenotazione" : "DataPartenza";
            source.bookingsKept = bookings;
        }
        Survey& survey = surveys.emplace_back(
            source, ruleField,
            ruleField != nullptr && source.table == "Camere_Prenotazione" ? bookings.get()
                                                                          : nullptr);
        // A SQLite table is counted without a reading of its rows, unless the rows must be
        // looked at: kept by the history limit, or of fields of no definite type.
        bool readThrough =
            ruleField != nullptr || source.database->format() != DatabaseFormat::Sqlite;
        if (!readThrough) {
            const TableSummary summary = source.database->summarize(source.table);
            survey.fields(summary.fields, summary.types);
            readThrough = std::find(survey.declared().begin(), survey.declared().end(),
                                    FieldType::Other) != survey.declared().end();
            if (!readThrough) {
                survey.counted(summary.rows);
            }
        }
        if (readThrough) {
            source.database->scanTable(source.table, survey);
        }
    }
    // The fields the chart reads, checked as the data directory check does: a table that
    // lost one would sync and every chart read from the server would then fail.
    std::string missing;
    for (const SyncSource& source : sources) {
        const TableDescription& description = tableDescription(source.table);
        for (const std::string_view field : MissingFields(description, source.names)) {
            missing += (missing.empty() ? "" : "; ") +
                       MissingFieldMessage(source.file, source.table, field);
        }
    }
    if (!missing.empty()) {
        throw ErroreArchivio(missing + "; la sincronizzazione non \xC3\xA8 stata eseguita");
    }
    for (std::size_t i = 0; i < sources.size(); ++i) {
        SyncSource& source = sources[i];
        const Survey& survey = surveys[i];
        for (const auto& name : source.names) {
            source.fields.push_back(NameInUtf8(name));
        }
        source.types = ServerTypes(source, survey);
        source.rows = static_cast<std::int64_t>(survey.rows());
        source.kept = static_cast<std::int64_t>(survey.kept());
    }
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (const char* field = surveys[i].ruleFieldMissing()) {
            throw ErroreArchivio(std::string("Campo ") + field + " non trovato nella tabella " +
                                 sources[i].table + " dell'archivio " + sources[i].file +
                                 ": serve a scegliere le righe dello storico da sincronizzare");
        }
    }
    return sources;
}

void ReadSyncRows(
    const SyncSource& source,
    const std::function<void(std::size_t place, const std::vector<Value>& row)>& row) {
    Reading reading(source, row);
    source.database->scanTable(source.table, reading);
}

}  // namespace tableau::db::server
