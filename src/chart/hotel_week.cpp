#include "chart/hotel_week.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <unordered_map>

#include "chart/occupancy_rules.h"
#include "chart/request_check.h"
#include "chart/week_tables.h"
#include "db/criteria.h"
#include "db/errors.h"
#include "routines/errors.h"
#include "routines/shared_tables.h"
#include "routines/text.h"

namespace tableau::chart {
namespace {

using db::Criteria;
using db::RecordSet;
using db::SelectStatement;
using db::Value;

// The criteria's own comparison: a null compares to nothing.
bool Uguale(const Value& a, const Value& b) {
    return db::CompareHolds(db::CompareOp::Eq, a, b);
}
bool Diverso(const Value& a, const Value& b) {
    return db::CompareHolds(db::CompareOp::Ne, a, b);
}
bool Minore(const Value& a, const Value& b) {
    return db::CompareHolds(db::CompareOp::Lt, a, b);
}
bool Maggiore(const Value& a, const Value& b) {
    return db::CompareHolds(db::CompareOp::Gt, a, b);
}

// The stays that end within the week: "DataPartenza >= <first day> and DataPartenza <=
// <last day>", guests and booked rooms. The week's own reading leaves out those ending on
// its first day.
struct PartenzeLette {
    PartenzeLette(db::DataSource& origine, const SettimanaTableau& settimana)
        : fileOspiti(origine.open("Scheda_Cliente.mdb")),
          ospiti(fileOspiti->select(
              SelectStatement{"Scheda_Cliente", Criterio(settimana), std::nullopt})),
          filePrenotazioni(origine.open("Camere_Prenotazione.mdb")),
          prenotazioni(filePrenotazioni->select(
              SelectStatement{"Camere_Prenotazione", Criterio(settimana), std::nullopt})) {}

    static Criteria Criterio(const SettimanaTableau& settimana) {
        return Criteria(
            "DataPartenza >= ? and DataPartenza <= ?",
            {Value::text(settimana.chiavi.front()), Value::text(settimana.chiavi.back())});
    }

    std::unique_ptr<db::Database> fileOspiti;
    RecordSet ospiti;
    std::unique_ptr<db::Database> filePrenotazioni;
    RecordSet prenotazioni;
};

// Everything the week reads, in one snapshot; a read a standby cancels for its recovery is
// made once more in a new one.
struct Letture {
    std::unique_ptr<ArchiviTableau> archivi;
    std::unique_ptr<PartenzeLette> partenze;
};

Letture Leggi(db::DataSource& origine, const SettimanaTableau& settimana) {
    const auto leggi = [&] {
        Letture letture;
        letture.archivi = std::make_unique<ArchiviTableau>(origine, settimana);
        letture.partenze = std::make_unique<PartenzeLette>(origine, settimana);
        return letture;
    };
    try {
        return leggi();
    } catch (const std::exception& e) {
        if (!db::IsRecoveryConflict(e)) {
            throw;
        }
    }
    origine.restart();
    return leggi();
}

// What ends in a room on a day: the guests the chart counted (Partito not "S"), the persons
// of the booked rooms it counted (types C, O, D with persons).
struct PartenzaGiorno {
    long ospiti = 0;
    long prenotati = 0;
    bool prenotazione = false;
};
using PartenzeCamera = std::array<PartenzaGiorno, kGiorniTableau>;

// The day of the week a departure date is, or none.
std::optional<std::size_t> GiornoDi(const SettimanaTableau& settimana, const Value& partenza) {
    for (std::size_t g = 0; g < kGiorniTableau; ++g) {
        if (Uguale(partenza, Value::text(settimana.chiavi[g]))) {
            return g;
        }
    }
    return std::nullopt;
}

// The departures of the hotel's rooms by room number (trimmed, as the rules search them).
std::unordered_map<std::string, PartenzeCamera> Partenze(PartenzeLette& lette, std::int16_t hotel,
                                                         const SettimanaTableau& settimana) {
    std::unordered_map<std::string, PartenzeCamera> partenze;
    const Value albergo = Value::integer(hotel);
    const Criteria tutte("");
    RecordSet& ospiti = lette.ospiti;
    for (ospiti.findFirst(tutte); !ospiti.noMatch(); ospiti.findNext(tutte)) {
        const Value& partenza = ospiti.field("DataPartenza");
        if (!Uguale(ospiti.field("NumeroHotel"), albergo) ||
            !Diverso(ospiti.field("Partito"), Value::text("S")) ||
            !Minore(ospiti.field("DataArrivo"), partenza)) {
            continue;
        }
        if (const auto g = GiornoDi(settimana, partenza)) {
            ++partenze[routines::TogliSpazi(ospiti.field("NumeroCamera").asText())][*g].ospiti;
        }
    }
    RecordSet& prenotazioni = lette.prenotazioni;
    for (prenotazioni.findFirst(tutte); !prenotazioni.noMatch(); prenotazioni.findNext(tutte)) {
        const Value& partenza = prenotazioni.field("DataPartenza");
        const Value& tipo = prenotazioni.field("TipoPrenotazione");
        const Value& persone = prenotazioni.field("NumeroPersone");
        if (!Uguale(prenotazioni.field("NumeroHotel"), albergo) ||
            !(Uguale(tipo, Value::text("C")) || Uguale(tipo, Value::text("O")) ||
              Uguale(tipo, Value::text("D"))) ||
            !Maggiore(persone, Value::integer(0)) ||
            !Minore(prenotazioni.field("DataArrivo"), partenza)) {
            continue;
        }
        if (const auto g = GiornoDi(settimana, partenza)) {
            PartenzaGiorno& giorno =
                partenze[routines::TogliSpazi(prenotazioni.field("NumeroCamera").asText())][*g];
            giorno.prenotazione = true;
            giorno.prenotati += persone.asInteger();
        }
    }
    return partenze;
}

std::string TestoMomento(const routines::DataOra& momento) {
    char testo[64];
    std::snprintf(testo, sizeof testo, "%02d/%02d/%04d %02d:%02d", momento.giorno, momento.mese,
                  momento.anno, momento.ore, momento.minuti);
    return testo;
}

class CostruttoreSettimana {
  public:
    CostruttoreSettimana(Letture& letture, std::int16_t hotel, const SettimanaTableau& settimana,
                         const routines::Orologio& orologio, bool testiInteri)
        : archivi_(*letture.archivi),
          hotel_(hotel),
          settimana_(settimana),
          partenze_(Partenze(*letture.partenze, hotel, settimana)),
          generazione_(TestoMomento(orologio.adesso())),
          testiInteri_(testiInteri) {
        const auto primo = static_cast<std::size_t>(routines::GiornoSettimana(settimana.giorni[0]));
        for (std::size_t g = 0; g < kGiorniTableau; ++g) {
            giorni_[g] = {std::string(routines::kNomiGiorni[(primo + g) % kGiorniTableau]),
                          routines::TestoData(settimana.giorni[g]), settimana.giorni[g]};
        }
        archivi_.hotel.findFirst(Criteria("Numero = ?", {Value::integer(hotel)}));
        if (!archivi_.hotel.noMatch()) {
            nomeHotel_ = routines::TogliSpazi(archivi_.hotel.field("RagioneSociale").asText());
        }
    }

    const std::string& nomeHotel() const { return nomeHotel_; }
    std::vector<CodiceSettimana>& codici() { return codici_; }

    TableauLetto blocco(const RichiestaTableau& richiesta) {
        TableauLetto tableau;
        tableau.hotel = nomeHotel_;
        archivi_.tableau.findFirst(
            Criteria("NumeroHotel = ? and Codice = ?",
                     {Value::integer(richiesta.hotel), Value::integer(richiesta.tableau)}));
        if (!archivi_.tableau.noMatch()) {
            tableau.descrizione =
                routines::TogliSpazi(archivi_.tableau.field("Descrizione").asText());
        }
        tableau.dataInizio = routines::TogliSpazi(richiesta.dataInizio);
        tableau.generazione = generazione_;
        tableau.giorni = giorni_;

        ArchiviSettimana archivi = archivi_.settimana();
        RecordSet& camere = archivi_.camere;
        const Criteria dellHotel("NumeroHotel = ?", {Value::integer(richiesta.hotel)});
        for (camere.findFirst(dellHotel); !camere.noMatch(); camere.findNext(dellHotel)) {
            if (!CameraRichiesta(camere, richiesta)) {
                continue;
            }
            const std::string numero = camere.field("NumeroCamera").asText();
            // The room's own totals: what each of its days adds to each class.
            TotaliSettimana totali;
            const auto giorni = RiempiGiorniCamera(archivi, hotel_, numero, settimana_, totali);
            CameraLetta camera;
            camera.numero = routines::TogliSpazi(numero);
            camera.tipo = routines::TogliSpazi(camere.field("TipoCamera").asText());
            camera.posti = routines::TogliSpazi(camere.field("PostiLetto").asText());
            const auto partenze = partenze_.find(camera.numero);
            for (std::size_t g = 0; g < kGiorniTableau; ++g) {
                const CellaGiorno cella = DecidiCella(giorni[g], testiInteri_);
                GiornoLetto& giorno = camera.giorni[g];
                giorno.persone = cella.conteggio;
                giorno.testoStato = routines::TogliSpazi(cella.stato);
                giorno.stato = StatoDelTesto(giorno.testoStato);
                giorno.nome = cella.nome;
                giorno.ditta = cella.ditta;
                giorno.codice = cella.codice;
                giorno.nota = cella.nota;
                giorno.classe = classe(giorno.codice);
                giorno.perClasse = {totali.TotaleCC[g], totali.TotaleMP[g], totali.TotalePC[g]};
                tableau.totaleCC[g] += totali.TotaleCC[g];
                tableau.totaleMP[g] += totali.TotaleMP[g];
                tableau.totalePC[g] += totali.TotalePC[g];
                if (partenze != partenze_.end()) {
                    const PartenzaGiorno& partenza = partenze->second[g];
                    giorno.partenza = partenza.prenotazione || partenza.ospiti > 0;
                    // As the chart shows a room: the booking's persons over the guests.
                    giorno.personeInPartenza =
                        partenza.prenotazione ? partenza.prenotati : partenza.ospiti;
                }
            }
            tableau.camere.push_back(std::move(camera));
        }
        tableau.conteggi = Conteggi(tableau.camere);
        return tableau;
    }

  private:
    static std::array<ConteggioGiorno, kGiorniTableau> Conteggi(
        const std::vector<CameraLetta>& camere) {
        std::array<ConteggioGiorno, kGiorniTableau> conteggi{};
        for (const CameraLetta& camera : camere) {
            for (std::size_t g = 0; g < kGiorniTableau; ++g) {
                const GiornoLetto& giorno = camera.giorni[g];
                ConteggioGiorno& conta = conteggi[g];
                if (giorno.stato == StatoSoggiorno::arrivata ||
                    giorno.stato == StatoSoggiorno::inArrivo) {
                    ++conta.arrivi;
                    conta.personeInArrivo += giorno.persone;
                }
                if (giorno.partenza) {
                    ++conta.partenze;
                    conta.personeInPartenza += giorno.personeInPartenza;
                }
                if (giorno.persone > 0) {
                    ++conta.camereOccupate;
                    conta.persone += giorno.persone;
                } else {
                    ++conta.camereLibere;
                }
            }
        }
        return conteggi;
    }

    std::string classe(const std::string& codice) {
        if (codice.empty()) {
            return {};
        }
        const auto [voce, nuovo] = classi_.try_emplace(codice);
        if (nuovo) {
            voce->second = ClasseDelCodice(archivi_.nomiArrangiamenti, hotel_, codice);
            codici_.push_back({codice, voce->second});
        }
        return voce->second;
    }

    ArchiviTableau& archivi_;
    const std::int16_t hotel_;
    const SettimanaTableau& settimana_;
    const std::unordered_map<std::string, PartenzeCamera> partenze_;
    const std::string generazione_;
    const bool testiInteri_;
    std::array<GiornoIntestazione, kGiorniTableau> giorni_;
    std::string nomeHotel_;
    std::map<std::string, std::string> classi_;
    std::vector<CodiceSettimana> codici_;
};

}  // namespace

std::vector<RichiestaTableau> ControllaRichiestaAlbergo(
    const std::vector<AlbergoElencato>& alberghi, const RichiestaAlbergo& richiesta) {
    // The request window's checks first, an end not given taken as open.
    ControllaRichiesta(richiesta.primaCamera.value_or(std::string()),
                       richiesta.ultimaCamera.value_or(std::string("\xFF")), richiesta.dataInizio);
    const AlbergoElencato& albergo = TrovaAlbergo(alberghi, richiesta.hotel);
    if (richiesta.tableau) {
        RichiestaTableau blocco{richiesta.hotel, *richiesta.tableau, {}, {}, richiesta.dataInizio};
        const IntervalloCamere tutte = TutteLeCamere(TrovaTableau(albergo, *richiesta.tableau));
        blocco.primaCamera = richiesta.primaCamera.value_or(tutte.prima);
        blocco.ultimaCamera = richiesta.ultimaCamera.value_or(tutte.ultima);
        // The rooms against the block first: a range holding none of them is named so,
        // though its ends are the wrong way round once the block's end is put in.
        ControllaAlbergoETableau(alberghi, blocco);
        ControllaRichiesta(blocco.primaCamera, blocco.ultimaCamera, blocco.dataInizio);
        return {blocco};
    }
    if (richiesta.primaCamera || richiesta.ultimaCamera) {
        throw routines::RichiestaRifiutata(
            "le camere da una prima a un'ultima si chiedono per un solo tableau: per tutto "
            "l'albergo " +
            std::to_string(richiesta.hotel) + " non si indicano.");
    }
    std::vector<RichiestaTableau> blocchi;
    for (const TableauDellAlbergo& tableau : albergo.tableau) {
        const IntervalloCamere tutte = TutteLeCamere(tableau);
        blocchi.push_back(
            {richiesta.hotel, tableau.codice, tutte.prima, tutte.ultima, richiesta.dataInizio});
    }
    const bool senzaCamere =
        std::all_of(albergo.tableau.begin(), albergo.tableau.end(),
                    [](const TableauDellAlbergo& tableau) { return tableau.camere.empty(); });
    if (senzaCamere) {
        throw routines::RichiestaRifiutata(
            "l'albergo " + std::to_string(richiesta.hotel) +
            (albergo.tableau.empty() ? " non ha tableau." : " non ha camere nei suoi tableau."));
    }
    return blocchi;
}

SettimanaAlbergo CreaSettimanaAlbergo(db::DataSource& origine, const RichiestaAlbergo& richiesta,
                                      const routines::Orologio& orologio) {
    // The date before the tables: a refused date reads nothing.
    ControllaRichiesta(richiesta.primaCamera.value_or(std::string()),
                       richiesta.ultimaCamera.value_or(std::string("\xFF")), richiesta.dataInizio);
    const auto blocchi = ControllaRichiestaAlbergo(ElencaAlberghi(origine), richiesta);
    return CreaSettimanaAlbergo(origine, blocchi, !richiesta.tableau, orologio);
}

SettimanaAlbergo CreaSettimanaAlbergo(db::DataSource& origine,
                                      const std::vector<RichiestaTableau>& blocchi,
                                      bool interoAlbergo, const routines::Orologio& orologio,
                                      bool testiInteri, std::vector<std::string>* testiTableau) {
    if (blocchi.empty()) {
        throw routines::RichiestaRifiutata("nessun tableau richiesto.");
    }
    std::string data = blocchi.front().dataInizio;
    if (!routines::DataValida(data)) {
        throw RichiestaRifiutata(Difetto::data);
    }
    const SettimanaTableau settimana = CalcolaSettimana(*routines::LeggiData(data));
    Letture letture = Leggi(origine, settimana);
    if (testiTableau != nullptr) {
        for (const RichiestaTableau& richiesta : blocchi) {
            testiTableau->push_back(TestoTableau(*letture.archivi, richiesta, orologio));
        }
    }
    CostruttoreSettimana costruttore(letture, blocchi.front().hotel, settimana, orologio,
                                     testiInteri);

    SettimanaAlbergo settimanaAlbergo;
    settimanaAlbergo.hotel = blocchi.front().hotel;
    settimanaAlbergo.nomeHotel = costruttore.nomeHotel();
    settimanaAlbergo.interoAlbergo = interoAlbergo;
    TotaliAlbergo& totale = settimanaAlbergo.totale;
    for (const RichiestaTableau& richiesta : blocchi) {
        settimanaAlbergo.codiciTableau.push_back(richiesta.tableau);
        TableauLetto tableau = costruttore.blocco(richiesta);
        for (std::size_t g = 0; g < kGiorniTableau; ++g) {
            totale.totaleCC[g] += tableau.totaleCC[g];
            totale.totaleMP[g] += tableau.totaleMP[g];
            totale.totalePC[g] += tableau.totalePC[g];
            totale.conteggi[g] += (*tableau.conteggi)[g];
        }
        settimanaAlbergo.tableau.push_back(std::move(tableau));
    }
    settimanaAlbergo.codici = std::move(costruttore.codici());
    return settimanaAlbergo;
}

}  // namespace tableau::chart
