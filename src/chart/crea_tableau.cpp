#include "chart/crea_tableau.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

#include "chart/chart_file.h"
#include "chart/chart_layout.h"
#include "chart/occupancy_rules.h"
#include "chart/request_check.h"
#include "chart/week_tables.h"
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
using db::Value;

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

// Where the chart's lines go: the chart file, replaced whole at the end, or a text.
class ScrittoreTableau {
  public:
    virtual ~ScrittoreTableau() = default;
    virtual void riga(const std::string& testo) = 0;
};

class ScrittoreFile final : public ScrittoreTableau {
  public:
    explicit ScrittoreFile(const std::filesystem::path& percorso) : file_(percorso) {}
    void riga(const std::string& testo) override {
        file_.write(testo);
        file_.write("\r\n");
    }
    void chiudi() { file_.commit(); }

  private:
    routines::AtomicFile file_;
};

class ScrittoreTesto final : public ScrittoreTableau {
  public:
    void riga(const std::string& testo) override {
        testo_ += testo;
        testo_ += "\r\n";
    }
    std::string& testo() { return testo_; }

  private:
    std::string testo_;
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

void CreaTableau(const routines::Postazione& postazione, const RichiestaTableau& richiesta,
                 const routines::Orologio& orologio) {
    db::DataSource origine(postazione.cartellaDati(), std::nullopt);
    CreaTableau(origine, postazione, richiesta, orologio);
}

namespace {

// The week of a checked request and the tables it reads.
SettimanaTableau SettimanaRichiesta(const RichiestaTableau& richiesta) {
    ControllaRichiesta(richiesta.primaCamera, richiesta.ultimaCamera, richiesta.dataInizio);
    std::string dataControllata = richiesta.dataInizio;
    routines::DataValida(dataControllata);
    const auto inizio = routines::LeggiData(dataControllata);  // the check has read it
    return CalcolaSettimana(*inizio);
}

void ScriviRigheTableau(ArchiviTableau& archivi, const RichiestaTableau& richiesta,
                        const SettimanaTableau& settimana, const routines::Orologio& orologio,
                        ScrittoreTableau& scrittore) {
    const std::string titolo = RigaTitoloTableau(archivi, richiesta, orologio);
    const std::string separatore = RigaSeparatore();
    scrittore.riga(titolo);
    scrittore.riga(RigaBordoSuperiore());

    const auto primoGiorno =
        static_cast<std::size_t>(routines::GiornoSettimana(settimana.giorni.front()));
    std::array<std::string, kGiorniTableau> nomi;
    std::array<std::string, kGiorniTableau> date;
    for (std::size_t g = 0; g < kGiorniTableau; ++g) {
        nomi[g] = std::string(routines::kNomiGiorni[(primoGiorno + g) % kGiorniTableau]);
        date[g] = routines::TestoData(settimana.giorni[g]);
    }
    scrittore.riga(RigaIntestazioneGiorni(nomi));
    scrittore.riga(RigaIntestazioneGiorni(date));
    scrittore.riga(separatore);

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
        for (const auto& riga : RigheCamera(colonna, celle)) {
            scrittore.riga(riga);
        }
        scrittore.riga(separatore);
    }

    for (const auto& riga : RigheTotali(totali)) {
        scrittore.riga(riga);
    }
    scrittore.riga(RigaBordoInferiore());
}

}  // namespace

void CreaTableau(db::DataSource& origine, const routines::Postazione& postazione,
                 const RichiestaTableau& richiesta, const routines::Orologio& orologio) {
    const SettimanaTableau settimana = SettimanaRichiesta(richiesta);
    // Every read is done before the chart file is opened.
    const auto archivi = LeggiArchiviTableau(origine, settimana);
    ScrittoreFile scrittore(PercorsoFileTableau(postazione));
    ScriviRigheTableau(*archivi, richiesta, settimana, orologio, scrittore);
    scrittore.chiudi();
}

std::string TestoTableau(db::DataSource& origine, const RichiestaTableau& richiesta,
                         const routines::Orologio& orologio) {
    const SettimanaTableau settimana = SettimanaRichiesta(richiesta);
    const auto archivi = LeggiArchiviTableau(origine, settimana);
    ScrittoreTesto scrittore;
    ScriviRigheTableau(*archivi, richiesta, settimana, orologio, scrittore);
    return std::move(scrittore.testo());
}

std::string TestoTableau(ArchiviTableau& archivi, const RichiestaTableau& richiesta,
                         const routines::Orologio& orologio) {
    const SettimanaTableau settimana = SettimanaRichiesta(richiesta);
    ScrittoreTesto scrittore;
    ScriviRigheTableau(archivi, richiesta, settimana, orologio, scrittore);
    return std::move(scrittore.testo());
}

void ScriviFileTableau(const routines::Postazione& postazione, std::string_view testo) {
    routines::AtomicFile file(PercorsoFileTableau(postazione));
    file.write(testo);
    file.commit();
}

}  // namespace tableau::chart
