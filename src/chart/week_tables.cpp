#include "chart/week_tables.h"

#include <future>
#include <unordered_set>

#include "db/errors.h"

namespace tableau::chart {
namespace {

using db::Criteria;
using db::RecordSet;
using db::SelectStatement;
using db::Value;

// "Select * From <tabella> Where DataArrivo <= <fine> and DataPartenza > <inizio>": the
// stays that overlap the week.
Criteria CriterioSettimana(const SettimanaTableau& settimana) {
    return Criteria("DataArrivo <= ? and DataPartenza > ?",
                    {Value::text(settimana.chiavi.back()), Value::text(settimana.chiavi.front())});
}

// Every code the rules search the arrangement and company tables by is a value of a row
// of the week's guests: the NumeroProgressivo of the guest or of the party's first member
// (found in the same guest rows), or the guest's CodiceCapoFamiglia or CodiceCapoGruppo
// when above zero. The distinct codes, in the order met; empty when one of them is not an
// integer, or a field is missing: then the whole tables are read.
std::optional<std::vector<Value>> CodiciDegliOspiti(const RecordSet& ospiti) {
    struct Campo {
        const char* nome;
        bool soloSopraZero;  // a head of family or group code is used only above zero
    };
    static constexpr Campo kCampi[] = {
        {"NumeroProgressivo", false}, {"CodiceCapoFamiglia", true}, {"CodiceCapoGruppo", true}};
    RecordSet righe = ospiti;  // its own position
    std::vector<Value> codici;
    std::unordered_set<std::int64_t> visti;
    const Criteria tutte("");
    try {
        for (righe.findFirst(tutte); !righe.noMatch(); righe.findNext(tutte)) {
            for (const Campo& campo : kCampi) {
                const Value& codice = righe.field(campo.nome);
                if (codice.isNull()) {
                    continue;  // equal to nothing
                }
                if (!codice.isInteger()) {
                    return std::nullopt;
                }
                const std::int64_t n = codice.asInteger();
                if ((!campo.soloSopraZero || n > 0) && visti.insert(n).second) {
                    codici.push_back(codice);
                }
            }
        }
    } catch (const db::ErroreArchivio&) {
        return std::nullopt;
    }
    return codici;
}

// A table searched by "CodiceCliente = code and NumeroHotel = hotel" with the codes of the
// week's guests: only its rows whose CodiceCliente equals one of the codes as the search
// compares them (a real or a text that reads as a number equals the code it reads as), in
// storage order, so each search finds the very row it finds in the whole table; the rest
// of the table, years of clients, is never held. Should that read fail (a missing field),
// the whole table is read, and the search reports the error as before.
RecordSet TabellaPerCodici(db::Database& file, const std::string& tabella,
                           const std::optional<std::vector<Value>>& codici) {
    if (!codici) {
        return file.openTable(tabella);
    }
    try {
        return file.select(SelectStatement{
            tabella, Criteria(""), std::nullopt,
            SelectStatement::ValuesIn{"CodiceCliente", *codici, /*equalAsCriteria=*/true}});
    } catch (const db::ErroreArchivio&) {
        return file.openTable(tabella);
    }
}

// The booking headers of the week are those whose number is among the numbers of the
// week's booked rooms: "NumeroPrenotazione In (Select NumeroPrenotazione From
// Camere_Prenotazione In 'Camere_Prenotazione.mdb' Where <the week>)". That sub-query is
// the booking query already read from the same file with the same criteria, so its numbers
// are taken from those rows instead of reading the file a second time. The copy walks the
// rows without moving the caller's position.
std::vector<Value> NumeriPrenotazione(RecordSet prenotazioni) {
    std::vector<Value> numeri;
    const Criteria tutte("");
    for (prenotazioni.findFirst(tutte); !prenotazioni.noMatch(); prenotazioni.findNext(tutte)) {
        numeri.push_back(prenotazioni.field("NumeroPrenotazione"));
    }
    return numeri;
}

// The week's booked rooms and the headers of their bookings.
ArchiviTableau::PrenotazioniLette LeggiPrenotazioni(db::DataSource& origine,
                                                    const SettimanaTableau& settimana) {
    auto file = origine.open("Camere_Prenotazione.mdb");
    RecordSet camere = file->select(
        SelectStatement{"Camere_Prenotazione", CriterioSettimana(settimana), std::nullopt});
    auto fileTestate = origine.open("Scheda_Prenotazione.mdb");
    RecordSet testate = fileTestate->select(SelectStatement{
        "Scheda_Prenotazione", Criteria(""), std::nullopt,
        SelectStatement::ValuesIn{"NumeroPrenotazione", NumeriPrenotazione(camere)}});
    return {{std::move(file), std::move(camere)}, {std::move(fileTestate), std::move(testate)}};
}

// A read that needs nothing of the others. From files it runs on a thread of its own beside
// them: each file has its own handle, and the two cores scan two tables at once. A server
// session reads one statement at a time: there it runs when its result is asked for.
template <typename Lettura>
auto Avvia(const db::DataSource& origine, Lettura lettura) {
    return std::async(origine.fromServer() ? std::launch::deferred : std::launch::async,
                      std::move(lettura));
}

}  // namespace

// The booked rooms and their headers are read beside the guests, the arrangements beside
// the companies; a failure is reported as the reads one after the other would meet it
// first.
ArchiviTableau::ArchiviTableau(db::DataSource& origine, const SettimanaTableau& settimana)
    : prenotazioniInLettura(
          Avvia(origine, [&origine, &settimana] { return LeggiPrenotazioni(origine, settimana); })),
      fileCamere(origine.open("NumeriCamere.mdb")),
      camere(fileCamere->openTable("NumeriCamere").sortedBy("NumeroCamera")),
      fileOspiti(origine.open("Scheda_Cliente.mdb")),
      ospiti(fileOspiti->select(
          SelectStatement{"Scheda_Cliente", CriterioSettimana(settimana), std::nullopt})),
      ospitiCapofila(ospiti),
      codiciOspiti(CodiciDegliOspiti(ospiti)),
      arrangiamentiInLettura(Avvia(origine,
                                   [&origine, this] {
                                       auto file = origine.open("Arrangiamento.mdb");
                                       RecordSet righe =
                                           TabellaPerCodici(*file, "Arrangiamento", codiciOspiti);
                                       return TabellaLetta{std::move(file), std::move(righe)};
                                   })),
      fileDitte(origine.open("Ditta_Intestataria.mdb")),
      ditte(TabellaPerCodici(*fileDitte, "Ditta_Intestataria", codiciOspiti)),
      fileHotel(origine.open("AnagraficaHotels.mdb")),
      hotel(fileHotel->openTable("AnagraficaHotels")),
      fileTableau(origine.open("Tableau.mdb")),
      tableau(fileTableau->openTable("Tableau")),
      arrangiamentiLetti(arrangiamentiInLettura.get()),
      arrangiamenti(arrangiamentiLetti.righe),
      fileArrangiamenti(origine.open("Arrangiamenti.mdb")),
      nomiArrangiamenti(fileArrangiamenti->openTable("NomiArrangiamenti")),
      prenotazioniLette(prenotazioniInLettura.get()),
      prenotazioni(prenotazioniLette.camere.righe),
      testate(prenotazioniLette.testate.righe) {}

bool CameraRichiesta(const RecordSet& camere, const RichiestaTableau& richiesta) {
    if (!db::CompareHolds(db::CompareOp::Eq, camere.field("NumeroTableau"),
                          Value::integer(richiesta.tableau))) {
        return false;
    }
    const Value& numero = camere.field("NumeroCamera");
    if (numero.isNull()) {
        return false;
    }
    const std::string testo = numero.asText();
    return testo >= richiesta.primaCamera && testo <= richiesta.ultimaCamera;
}

std::unique_ptr<ArchiviTableau> LeggiArchiviTableau(db::DataSource& origine,
                                                    const SettimanaTableau& settimana) {
    try {
        return std::make_unique<ArchiviTableau>(origine, settimana);
    } catch (const std::exception& e) {
        if (!db::IsRecoveryConflict(e)) {
            throw;
        }
    }
    origine.restart();
    return std::make_unique<ArchiviTableau>(origine, settimana);
}

}  // namespace tableau::chart
