#include "db/server/sync_source.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <exception>
#include <thread>

#include "db/data_directory.h"
#include "db/database.h"
#include "db/errors.h"
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

[[noreturn]] void Rifiuta(const std::string& file, const RecordSet& rows, const std::string& field,
                          std::size_t riga, const std::string& perche) {
    throw ErroreArchivio("Archivio " + file + ", tabella " + rows.tableName() + ", campo " + field +
                         ", riga " + std::to_string(riga + 1) + ": " + perche +
                         "; la sincronizzazione non \xC3\xA8 stata eseguita");
}

bool Accetta(ServerType type, const Value& v) {
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
std::optional<ServerType> TipoDaiValori(const std::vector<std::vector<Value>>& rows,
                                        std::size_t c) {
    bool interi = false;
    bool reali = false;
    bool testi = false;
    for (const auto& row : rows) {
        const Value& v = row[c];
        interi = interi || v.isInteger();
        reali = reali || v.isReal();
        testi = testi || v.isText();
    }
    if (testi) {
        return interi || reali ? std::nullopt : std::optional(ServerType::Text);
    }
    return reali ? ServerType::DoublePrecision : interi ? ServerType::Bigint : ServerType::Text;
}

std::string NomeUtf8(const std::string& name) {
    return routines::ScrittoInUtf8(name) ? name : routines::InUtf8(name);
}

std::string Oggi() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return routines::ChiaveData(
        routines::Data{local.tm_mday, local.tm_mon + 1, local.tm_year + 1900});
}

bool ChiaveValida(const std::string& text) {
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

std::size_t Colonna(const SyncSource& source, const char* name) {
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
std::vector<std::size_t> RighePartiteDal(const SyncSource& source, const std::string& giorno) {
    const std::size_t c = Colonna(source, "DataPartenza");
    std::vector<std::size_t> kept;
    const auto& rows = source.rows.rows();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Value& partenza = rows[r][c];
        const std::string text = partenza.isNull() ? std::string() : partenza.asText();
        if (!ChiaveValida(text) || text >= giorno) {
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
                chosen = TipoDaiValori(all, c);
                if (!chosen) {
                    for (std::size_t r = 0; r < all.size(); ++r) {
                        if (all[r][c].isText()) {
                            Rifiuta(file, rows, field, r,
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
            if (!Accetta(*chosen, v)) {
                const char* atteso = *chosen == ServerType::Bigint ? "un numero intero"
                                     : *chosen == ServerType::Text ? "un testo"
                                                                   : "un numero";
                Rifiuta(file, rows, field, r,
                        std::string("il valore ") + Shown(v) + " \xC3\xA8 " + KindName(v) +
                            ", il campo vuole " + atteso);
            }
            if (v.isText() && v.textRef().find('\0') != std::string::npos) {
                Rifiuta(file, rows, field, r,
                        "il testo contiene il carattere nullo, che il server non ammette");
            }
        }
        types.push_back(*chosen);
    }
    return types;
}

std::string MonthsBefore(const std::string& oggi, int mesi) {
    if (!ChiaveValida(oggi) || mesi < 0) {
        throw routines::RichiestaRifiutata("Storico da sincronizzare non valido: " +
                                           std::to_string(mesi) + " mesi dal giorno " + oggi);
    }
    const int anno = std::stoi(oggi.substr(0, 4));
    const int mese = std::stoi(oggi.substr(4, 2));
    const int giorno = std::stoi(oggi.substr(6, 2));
    const int indice = anno * 12 + (mese - 1) - mesi;
    const int nuovoAnno = indice / 12;
    const int nuovoMese = indice % 12 + 1;
    const int ultimo = routines::GiorniMese(nuovoMese, nuovoAnno);
    return routines::ChiaveData(
        routines::Data{giorno < ultimo ? giorno : ultimo, nuovoMese, nuovoAnno});
}

std::vector<SyncSource> ReadSyncSources(const std::filesystem::path& cartellaDati,
                                        std::optional<int> storicoMesi, const std::string& today) {
    // The files are opened in order, so that the first missing one is named; the tables of
    // SQLite files are then read two at a time (each file has its own connection), those of
    // Jet files one after the other, as their reader programs are started.
    struct Lettura {
        const ServerTable* origine;
        std::unique_ptr<Database> database;
        std::optional<RecordSet> rows;
        std::exception_ptr errore;
    };
    std::vector<Lettura> letture;
    for (const ServerTable& t : ServerTables()) {
        letture.push_back(Lettura{&t, OpenDatabase(cartellaDati, t.file), std::nullopt, nullptr});
    }
    const auto leggi = [](Lettura& l) {
        try {
            l.rows = l.database->openTable(std::string(l.origine->table));
        } catch (...) {
            l.errore = std::current_exception();
        }
    };
    std::vector<Lettura*> secondo;
    {
        // The larger files first, each to the lighter of the two.
        std::vector<std::pair<std::uintmax_t, Lettura*>> perPeso;
        for (auto& l : letture) {
            const auto path = FindFileIgnoringCase(cartellaDati, l.origine->file);
            std::error_code ignorato;
            perPeso.emplace_back(path ? std::filesystem::file_size(*path, ignorato) : 0, &l);
        }
        std::stable_sort(perPeso.begin(), perPeso.end(),
                         [](const auto& a, const auto& b) { return a.first > b.first; });
        std::vector<Lettura*> primo;
        std::uintmax_t pesoPrimo = 0;
        std::uintmax_t pesoSecondo = 0;
        for (const auto& [peso, l] : perPeso) {
            const bool sqlite = l->database->format() == DatabaseFormat::Sqlite;
            if (sqlite && pesoSecondo < pesoPrimo) {
                secondo.push_back(l);
                pesoSecondo += peso;
            } else {
                primo.push_back(l);
                pesoPrimo += peso;
            }
        }
        std::thread altro([&] {
            for (Lettura* l : secondo) {
                leggi(*l);
            }
        });
        for (Lettura* l : primo) {
            leggi(*l);
        }
        altro.join();
    }
    std::vector<SyncSource> sources;
    for (auto& l : letture) {
        if (l.errore) {
            std::rethrow_exception(l.errore);
        }
        RecordSet rows = std::move(*l.rows);
        std::vector<std::string> fields;
        for (const auto& name : rows.fieldNames()) {
            fields.push_back(NomeUtf8(name));
        }
        std::vector<ServerType> types = ServerTypes(std::string(l.origine->file), rows, fields);
        std::vector<std::size_t> kept(rows.rowCount());
        for (std::size_t r = 0; r < kept.size(); ++r) {
            kept[r] = r;
        }
        sources.push_back(SyncSource{std::string(l.origine->file), std::string(l.origine->table),
                                     std::move(fields), std::move(types), std::move(rows),
                                     std::move(kept)});
    }
    if (!storicoMesi) {
        return sources;
    }
    const std::string giorno = MonthsBefore(today.empty() ? Oggi() : today, *storicoMesi);
    const auto find = [&sources](std::string_view table) -> SyncSource& {
        for (auto& s : sources) {
            if (s.table == table) {
                return s;
            }
        }
        throw ErroreArchivio("Tabella " + std::string(table) + " non trovata");
    };
    SyncSource& ospiti = find("Scheda_Cliente");
    ospiti.kept = RighePartiteDal(ospiti, giorno);
    SyncSource& prenotazioni = find("Camere_Prenotazione");
    prenotazioni.kept = RighePartiteDal(prenotazioni, giorno);
    // The headers the kept bookings find, as the chart's In list finds them.
    InFilter numeri;
    const std::size_t numero = Colonna(prenotazioni, "NumeroPrenotazione");
    for (const std::size_t r : prenotazioni.kept) {
        numeri.add(prenotazioni.rows.rows()[r][numero]);
    }
    SyncSource& testate = find("Scheda_Prenotazione");
    const std::size_t numeroTestata = Colonna(testate, "NumeroPrenotazione");
    std::vector<std::size_t> testateTenute;
    for (const std::size_t r : testate.kept) {
        if (numeri.admits(testate.rows.rows()[r][numeroTestata])) {
            testateTenute.push_back(r);
        }
    }
    testate.kept = std::move(testateTenute);
    return sources;
}

}  // namespace tableau::db::server
