#include "chart/crea_tableau.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

#include "chart/chart_file.h"
#include "chart/chart_layout.h"
#include "chart/occupancy_rules.h"
#include "chart/request_check.h"
#include "db/data_source.h"
#include "db/database.h"
#include "db/errors.h"
#include "routines/atomic_file.h"
#include "routines/codepage.h"
#include "routines/dates.h"
#include "routines/shared_tables.h"
#include "routines/text.h"

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

// The database handles of a run and the record sets opened on them.
struct ArchiviTableau {
    ArchiviTableau(db::DataSource& origine, const SettimanaTableau& settimana)
        : fileCamere(origine.open("NumeriCamere.mdb")),
          camere(fileCamere->openTable("NumeriCamere").sortedBy("NumeroCamera")),
          fileOspiti(origine.open("Scheda_Cliente.mdb")),
          ospiti(fileOspiti->select(
              SelectStatement{"Scheda_Cliente", CriterioSettimana(settimana), std::nullopt})),
          ospitiCapofila(ospiti),
          codiciOspiti(CodiciDegliOspiti(ospiti)),
          fileDitte(origine.open("Ditta_Intestataria.mdb")),
          ditte(TabellaPerCodici(*fileDitte, "Ditta_Intestataria", codiciOspiti)),
          fileHotel(origine.open("AnagraficaHotels.mdb")),
          hotel(fileHotel->openTable("AnagraficaHotels")),
          fileTableau(origine.open("Tableau.mdb")),
          tableau(fileTableau->openTable("Tableau")),
          fileArrangiamento(origine.open("Arrangiamento.mdb")),
          arrangiamenti(TabellaPerCodici(*fileArrangiamento, "Arrangiamento", codiciOspiti)),
          fileArrangiamenti(origine.open("Arrangiamenti.mdb")),
          nomiArrangiamenti(fileArrangiamenti->openTable("NomiArrangiamenti")),
          filePrenotazioni(origine.open("Camere_Prenotazione.mdb")),
          prenotazioni(filePrenotazioni->select(
              SelectStatement{"Camere_Prenotazione", CriterioSettimana(settimana), std::nullopt})),
          fileTestate(origine.open("Scheda_Prenotazione.mdb")),
          testate(fileTestate->select(SelectStatement{
              "Scheda_Prenotazione", Criteria(""), std::nullopt,
              SelectStatement::ValuesIn{"NumeroPrenotazione", NumeriPrenotazione(prenotazioni)}})) {
    }

    ArchiviSettimana settimana() {
        return ArchiviSettimana{
            ospiti, ospitiCapofila, ditte, arrangiamenti, nomiArrangiamenti, prenotazioni, testate};
    }

    std::unique_ptr<db::Database> fileCamere;
    RecordSet camere;
    std::unique_ptr<db::Database> fileOspiti;
    RecordSet ospiti;
    RecordSet ospitiCapofila;  // the same rows, with a position of its own
    std::optional<std::vector<Value>> codiciOspiti;
    std::unique_ptr<db::Database> fileDitte;
    RecordSet ditte;
    std::unique_ptr<db::Database> fileHotel;
    RecordSet hotel;
    std::unique_ptr<db::Database> fileTableau;
    RecordSet tableau;
    std::unique_ptr<db::Database> fileArrangiamento;
    RecordSet arrangiamenti;
    std::unique_ptr<db::Database> fileArrangiamenti;
    RecordSet nomiArrangiamenti;
    std::unique_ptr<db::Database> filePrenotazioni;
    RecordSet prenotazioni;
    std::unique_ptr<db::Database> fileTestate;
    RecordSet testate;
};

std::string RigaTitoloTableau(ArchiviTableau& archivi, const RichiestaTableau& richiesta,
                              const routines::Orologio& orologio) {
    std::optional<std::string> nomeHotel;
    std::optional<std::string> descrizione;
    const Value hotel = Value::integer(richiesta.hotel);
    archivi.hotel.findFirst(Criteria("Numero = ?", {hotel}));
    if (!archivi.hotel.noMatch()) {
        nomeHotel = archivi.hotel.field("RagioneSociale").asText();
        archivi.tableau.findFirst(
            Criteria("NumeroHotel = ? and Codice = ?", {hotel, Value::integer(richiesta.tableau)}));
        if (!archivi.tableau.noMatch()) {
            descrizione = archivi.tableau.field("Descrizione").asText();
        }
    }
    return RigaTitolo(nomeHotel, descrizione, richiesta.dataInizio, orologio.adesso());
}

// The room list's current room is in the block and within the range, compared as text.
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

class ScrittoreTableau {
  public:
    explicit ScrittoreTableau(const std::filesystem::path& percorso) : file_(percorso) {}
    void riga(const std::string& testo) {
        file_.write(testo);
        file_.write("\r\n");
    }
    void chiudi() { file_.commit(); }

  private:
    routines::AtomicFile file_;
};

// The chart file's name for the log; a workstation that cannot name a file is said so,
// never thrown while a failure is being reported.
std::string NomeDescritto(const routines::Postazione& postazione) {
    try {
        return routines::InUtf8(NomeFileTableau(postazione));
    } catch (const routines::ErrorePostazione&) {
        return "(postazione non valida)";
    }
}

}  // namespace

std::string DescriviRichiesta(const RichiestaTableau& richiesta,
                              const routines::Postazione& postazione) {
    return "albergo " + std::to_string(richiesta.hotel) + ", tableau " +
           std::to_string(richiesta.tableau) + ", camere da " +
           routines::InUtf8(richiesta.primaCamera) + " a " +
           routines::InUtf8(richiesta.ultimaCamera) + ", settimana dal " +
           routines::InUtf8(routines::TogliSpazi(richiesta.dataInizio)) + ", file " +
           NomeDescritto(postazione);
}

namespace {

// The chart's lines in order, each handed to `riga` without its line end; `apri` is called
// once every table has been read, before the first line.
void ComponiTableau(db::DataSource& origine, const RichiestaTableau& richiesta,
                    const routines::Orologio& orologio, const std::function<void()>& apri,
                    const std::function<void(const std::string&)>& riga) {
    ControllaRichiesta(richiesta.primaCamera, richiesta.ultimaCamera, richiesta.dataInizio);
    std::string dataControllata = richiesta.dataInizio;
    routines::DataValida(dataControllata);
    const auto inizio = routines::LeggiData(dataControllata);  // the check has read it
    const SettimanaTableau settimana = CalcolaSettimana(*inizio);

    // Every read is done here, before the chart file is opened. A standby may cancel a read
    // that holds back its recovery: the tables are then read once more, in a new snapshot.
    std::optional<ArchiviTableau> letti;
    try {
        letti.emplace(origine, settimana);
    } catch (const std::exception& e) {
        if (!db::IsRecoveryConflict(e)) {
            throw;
        }
        origine.restart();
        letti.emplace(origine, settimana);
    }
    ArchiviTableau& archivi = *letti;
    const std::string titolo = RigaTitoloTableau(archivi, richiesta, orologio);
    const std::string separatore = RigaSeparatore();

    apri();
    riga(titolo);
    riga(RigaBordoSuperiore());

    const auto primoGiorno = static_cast<std::size_t>(routines::GiornoSettimana(*inizio));
    std::array<std::string, kGiorniTableau> nomi;
    std::array<std::string, kGiorniTableau> date;
    for (std::size_t g = 0; g < kGiorniTableau; ++g) {
        nomi[g] = std::string(routines::kNomiGiorni[(primoGiorno + g) % kGiorniTableau]);
        date[g] = routines::TestoData(settimana.giorni[g]);
    }
    riga(RigaIntestazioneGiorni(nomi));
    riga(RigaIntestazioneGiorni(date));
    riga(separatore);

    TotaliSettimana totali;
    ArchiviSettimana archiviSettimana = archivi.settimana();
    RecordSet& camere = archivi.camere;
    const Criteria dellHotel("NumeroHotel = ?", {Value::integer(richiesta.hotel)});
    for (camere.findFirst(dellHotel); !camere.noMatch(); camere.findNext(dellHotel)) {
        if (!CameraRichiesta(camere, richiesta)) {
            continue;
        }
        const std::string numero = camere.field("NumeroCamera").asText();
        const auto giorni =
            RiempiGiorniCamera(archiviSettimana, richiesta.hotel, numero, settimana, totali);
        std::array<CellaGiorno, kGiorniTableau> celle;
        for (std::size_t g = 0; g < kGiorniTableau; ++g) {
            celle[g] = DecidiCella(giorni[g]);
        }
        const ColonnaCamera colonna{numero, camere.field("TipoCamera").asText(),
                                    camere.field("PostiLetto").asText()};
        for (const auto& testo : RigheCamera(colonna, celle)) {
            riga(testo);
        }
        riga(separatore);
    }

    for (const auto& testo : RigheTotali(totali)) {
        riga(testo);
    }
    riga(RigaBordoInferiore());
}

}  // namespace

void CreaTableau(const routines::Postazione& postazione, const RichiestaTableau& richiesta,
                 const routines::Orologio& orologio) {
    db::DataSource origine(postazione.cartellaDati(), std::nullopt);
    CreaTableau(origine, postazione, richiesta, orologio);
}

void CreaTableau(db::DataSource& origine, const routines::Postazione& postazione,
                 const RichiestaTableau& richiesta, const routines::Orologio& orologio) {
    // The file is opened only once every table has been read: a failed read leaves the
    // previous chart whole and names the table, not the file.
    std::optional<ScrittoreTableau> scrittore;
    ComponiTableau(
        origine, richiesta, orologio, [&] { scrittore.emplace(PercorsoFileTableau(postazione)); },
        [&](const std::string& riga) { scrittore->riga(riga); });
    scrittore->chiudi();
}

std::string TestoTableau(db::DataSource& origine, const RichiestaTableau& richiesta,
                         const routines::Orologio& orologio) {
    std::string testo;
    ComponiTableau(
        origine, richiesta, orologio, [] {},
        [&](const std::string& riga) {
            testo += riga;
            testo += "\r\n";
        });
    return testo;
}

}  // namespace tableau::chart
