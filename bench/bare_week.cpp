#include "bare_week.h"

#include <sqlite3.h>

#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <unordered_set>

#include "db/hotel_schema.h"

namespace tableau::bench {
namespace {

struct ChiudiArchivio {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct ChiudiIstruzione {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};

int Colonna(sqlite3_stmt* s, const char* nome) {
    for (int c = 0; c < sqlite3_column_count(s); ++c) {
        if (std::strcmp(sqlite3_column_name(s, c), nome) == 0) {
            return c;
        }
    }
    throw std::runtime_error(std::string("manca la colonna ") + nome);
}

// The whole numbers of a row's chosen columns, in the order they were named.
using Numeri = std::vector<std::int64_t>;

// Runs a query on the table's file and reads every column of every row; hands `riga` the
// numbers of the columns named in `colonne`. The parameters are bound as texts. Returns
// the rows read.
std::size_t Interroga(const std::filesystem::path& cartellaDati, const std::string& tabella,
                      const std::string& condizione, const std::vector<std::string>& parametri,
                      const std::vector<const char*>& colonne = {},
                      const std::function<void(const Numeri&)>& riga = {}) {
    const auto file = cartellaDati / std::string(db::tableDescription(tabella).file);
    sqlite3* aperto = nullptr;
    const int rc = sqlite3_open_v2(file.c_str(), &aperto, SQLITE_OPEN_READONLY, nullptr);
    const std::unique_ptr<sqlite3, ChiudiArchivio> db(aperto);
    if (rc != SQLITE_OK) {
        throw std::runtime_error("non si apre " + file.string());
    }
    const std::string sql = "SELECT * FROM " + tabella + " WHERE " + condizione;
    sqlite3_stmt* preparata = nullptr;
    if (sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &preparata, nullptr) != SQLITE_OK) {
        throw std::runtime_error(sqlite3_errmsg(db.get()));
    }
    const std::unique_ptr<sqlite3_stmt, ChiudiIstruzione> s(preparata);
    for (std::size_t i = 0; i < parametri.size(); ++i) {
        sqlite3_bind_text(s.get(), static_cast<int>(i + 1), parametri[i].c_str(), -1,
                          SQLITE_TRANSIENT);
    }
    std::vector<int> indici;
    for (const char* nome : colonne) {
        indici.push_back(Colonna(s.get(), nome));
    }
    Numeri numeri(indici.size());
    std::size_t righe = 0;
    std::size_t byte = 0;
    while (sqlite3_step(s.get()) == SQLITE_ROW) {
        ++righe;
        for (int c = 0; c < sqlite3_column_count(s.get()); ++c) {
            if (const auto* testo = sqlite3_column_text(s.get(), c)) {
                byte += std::strlen(reinterpret_cast<const char*>(testo));
            }
        }
        if (riga) {
            for (std::size_t i = 0; i < indici.size(); ++i) {
                numeri[i] = sqlite3_column_int64(s.get(), indici[i]);
            }
            riga(numeri);
        }
    }
    return righe + (byte == 0 ? 1 : 0);  // the bytes only keep the reading from being dropped
}

std::string ElencoIn(const std::vector<std::int64_t>& valori) {
    std::string elenco;
    for (const std::int64_t v : valori) {
        elenco += (elenco.empty() ? "" : ",") + std::to_string(v);
    }
    return elenco;
}

}  // namespace

SettimanaNuda LeggiSettimanaNuda(const std::filesystem::path& cartellaDati, const std::string& dal,
                                 const std::string& al) {
    SettimanaNuda risultato;
    const std::string settimana = "DataArrivo <= ? AND DataPartenza > ?";
    std::unordered_set<std::int64_t> visti;
    const auto aggiungi = [&](std::int64_t codice) {
        if (visti.insert(codice).second) {
            risultato.codici.push_back(codice);
        }
    };
    risultato.righe += Interroga(cartellaDati, "Scheda_Cliente", settimana, {al, dal},
                                 {"NumeroProgressivo", "CodiceCapoFamiglia", "CodiceCapoGruppo"},
                                 [&](const Numeri& n) {
                                     aggiungi(n[0]);
                                     for (const std::int64_t capo : {n[1], n[2]}) {
                                         if (capo > 0) {
                                             aggiungi(capo);
                                         }
                                     }
                                 });
    std::vector<std::int64_t> prenotazioni;
    risultato.righe +=
        Interroga(cartellaDati, "Camere_Prenotazione", settimana, {al, dal}, {"NumeroPrenotazione"},
                  [&](const Numeri& n) { prenotazioni.push_back(n[0]); });
    risultato.righe += Interroga(cartellaDati, "Scheda_Prenotazione",
                                 "NumeroPrenotazione IN (" + ElencoIn(prenotazioni) + ")", {});
    risultato.righeCodici = LeggiCodiciNudi(cartellaDati, risultato.codici);
    risultato.righe += risultato.righeCodici;
    return risultato;
}

std::size_t LeggiCodiciNudi(const std::filesystem::path& cartellaDati,
                            const std::vector<std::int64_t>& codici) {
    const std::string condizione = "CodiceCliente IN (" + ElencoIn(codici) + ")";
    std::size_t righe = 0;
    for (const char* tabella : {"Arrangiamento", "Ditta_Intestataria"}) {
        righe += Interroga(cartellaDati, tabella, condizione, {});
    }
    return righe;
}

}  // namespace tableau::bench
