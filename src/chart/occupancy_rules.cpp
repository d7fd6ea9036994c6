#include "chart/occupancy_rules.h"

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "chart/crea_tableau.h"
#include "routines/codepage.h"
#include "routines/text.h"

namespace tableau::chart {
namespace {

using db::Criteria;
using db::RecordSet;
using db::Value;

constexpr std::int64_t kMassimo16Bit = 32767;
constexpr std::size_t kLunghezzaNome = 17;

// Comparisons as the criteria language makes them: a null on either side makes any of
// them false.
bool Uguale(const Value& a, const Value& b) {
    const auto c = db::CompareValues(a, b);
    return c && *c == 0;
}
bool Diverso(const Value& a, const Value& b) {
    const auto c = db::CompareValues(a, b);
    return c && *c != 0;
}
bool Minore(const Value& a, const Value& b) {
    const auto c = db::CompareValues(a, b);
    return c && *c < 0;
}
bool MinoreUguale(const Value& a, const Value& b) {
    const auto c = db::CompareValues(a, b);
    return c && *c <= 0;
}
bool Maggiore(const Value& a, const Value& b) {
    const auto c = db::CompareValues(a, b);
    return c && *c > 0;
}

// A text field as the chart shows it: a null shows empty.
std::string Testo(const Value& v) {
    return v.asText();
}

// Names and companies: the first 17 characters, then trimmed.
std::string Nome17(const Value& v) {
    return routines::TogliSpazi(routines::Sinistra(Testo(v), kLunghezzaNome));
}

// Adds to a 16-bit counter; a result beyond 32767 stops the run.
void Aggiungi(std::int16_t& contatore, std::int64_t quanto,
              const std::function<std::string()>& descrizione) {
    const std::int64_t nuovo = std::int64_t{contatore} + quanto;
    if (nuovo > kMassimo16Bit) {
        throw routines::ErroreOverflow(routines::InUtf8(descrizione()) +
                                       " supera 32767: impossibile creare il tableau.");
    }
    contatore = static_cast<std::int16_t>(nuovo);
}

// The weekly total an arrangement or treatment code counts under, or none.
std::array<std::int16_t, kGiorniTableau>* TotaleDellaClasse(RecordSet& nomiArrangiamenti,
                                                            std::int16_t hotel, const Value& codice,
                                                            TotaliSettimana& totali,
                                                            const char*& sigla) {
    nomiArrangiamenti.findFirst(Criteria("Sigla = ? and NumeroHotel = ?",
                                         {Value::text(Testo(codice)), Value::integer(hotel)}));
    if (nomiArrangiamenti.noMatch()) {
        return nullptr;
    }
    const Value& tipo = nomiArrangiamenti.field("Tipo");
    if (Uguale(tipo, Value::text("S")) || Uguale(tipo, Value::text("C"))) {
        sigla = "CC";
        return &totali.TotaleCC;
    }
    if (Uguale(tipo, Value::text("M"))) {
        sigla = "MP";
        return &totali.TotaleMP;
    }
    if (Uguale(tipo, Value::text("P"))) {
        sigla = "PC";
        return &totali.TotalePC;
    }
    return nullptr;
}

void ContaNellaClasse(RecordSet& nomiArrangiamenti, std::int16_t hotel, const Value& codice,
                      std::int64_t persone, const routines::Data& giorno, TotaliSettimana& totali,
                      std::size_t indiceGiorno) {
    const char* sigla = "";
    if (auto* totale = TotaleDellaClasse(nomiArrangiamenti, hotel, codice, totali, sigla)) {
        Aggiungi((*totale)[indiceGiorno], persone, [&] {
            return std::string("Il totale ") + sigla + " del " + routines::TestoData(giorno);
        });
    }
}

class RegoleCamera {
  public:
    RegoleCamera(ArchiviSettimana& archivi, std::int16_t hotel, const std::string& numeroCamera,
                 const SettimanaTableau& settimana, TotaliSettimana& totali)
        : archivi_(archivi),
          hotel_(Value::integer(hotel)),
          numeroHotel_(hotel),
          camera_(numeroCamera),
          cameraRidotta_(routines::TogliSpazi(numeroCamera)),
          settimana_(settimana),
          totali_(totali) {}

    std::array<GiornoCamera, kGiorniTableau> riempi() {
        std::array<GiornoCamera, kGiorniTableau> giorni{};
        // Rules A, C and E read the room's guests and write separate fields, rules D and F
        // repeat the same searches: each group runs in one pass per day.
        for (std::size_t g = 0; g < kGiorniTableau; ++g) {
            regoleOspiti(giorni[g], g);
        }
        for (std::size_t g = 0; g < kGiorniTableau; ++g) {
            regolaPrenotazioni(giorni[g], g);
        }
        for (std::size_t g = 0; g < kGiorniTableau; ++g) {
            regolaConferma(giorni[g], g);
        }
        return giorni;
    }

  private:
    bool ospiteValido(const RecordSet& ospiti, const Value& giorno) const {
        return Uguale(ospiti.field("NumeroHotel"), hotel_) &&
               Diverso(ospiti.field("Partito"), Value::text("S")) &&
               MinoreUguale(ospiti.field("DataArrivo"), giorno) &&
               Maggiore(ospiti.field("DataPartenza"), giorno);
    }

    // Rule A step 3: the client code whose arrangement the guest takes.
    std::optional<Value> chiaveArrangiamento(const RecordSet& ospite) {
        const Value zero = Value::integer(0);
        const Value& famiglia = ospite.field("CodiceCapoFamiglia");
        const Value& gruppo = ospite.field("CodiceCapoGruppo");
        if (Uguale(famiglia, zero) && Uguale(gruppo, zero)) {
            if (Uguale(ospite.field("NumeroComponente"), Value::integer(1))) {
                return ospite.field("NumeroProgressivo");
            }
            return primoDelGruppo(ospite.field("NumeroCamera"), ospite.field("DataArrivo"));
        }
        if (Maggiore(famiglia, zero)) {
            return famiglia;
        }
        if (Maggiore(gruppo, zero)) {
            return gruppo;
        }
        return std::nullopt;
    }

    // The first member (NumeroComponente 1) of the room's party arrived on `arrivo`: the
    // first such row in storage order, as "NumeroCamera = ? and NumeroHotel = ? and
    // NumeroComponente = 1 and DataArrivo = ?" finds it. The room's first members are read
    // once and each answer is kept, so that a room of many members is not searched again
    // for each of them.
    std::optional<Value> primoDelGruppo(const Value& camera, const Value& arrivo) {
        auto& risposta = primiDelGruppo_[Chiave(camera) + '\0' + Chiave(arrivo)];
        if (risposta) {
            return *risposta;
        }
        auto [primi, nuova] = primiDellaCamera_.try_emplace(Chiave(camera));
        if (nuova) {
            RecordSet& capofila = archivi_.ospitiCapofila;
            const Criteria cerca("NumeroCamera = ? and NumeroHotel = ? and NumeroComponente = 1",
                                 {camera, hotel_});
            for (capofila.findFirst(cerca); !capofila.noMatch(); capofila.findNext(cerca)) {
                primi->second.push_back(
                    {capofila.field("DataArrivo"), capofila.field("NumeroProgressivo")});
            }
        }
        risposta.emplace();
        for (const auto& [arrivoPrimo, progressivo] : primi->second) {
            if (Uguale(arrivoPrimo, arrivo)) {
                *risposta = progressivo;
                break;
            }
        }
        return *risposta;
    }

    // A value's kind and content, so that only the very same value shares an answer.
    static std::string Chiave(const Value& v) {
        if (v.isNull()) {
            return "n";
        }
        if (v.isInteger()) {
            return "i" + std::to_string(v.asInteger());
        }
        if (v.isReal()) {
            const double numero = v.asNumber();
            std::string byte(sizeof numero, '\0');
            std::memcpy(byte.data(), &numero, sizeof numero);
            return "r" + byte;
        }
        return "t" + v.textRef();
    }

    // Rules A, C and E for one day.
    void regoleOspiti(GiornoCamera& giorno, std::size_t g) {
        const Value chiave = Value::text(settimana_.chiavi[g]);
        RecordSet& ospiti = archivi_.ospiti;
        const Criteria cerca("NumeroCamera = ?", {Value::text(cameraRidotta_)});
        for (ospiti.findFirst(cerca); !ospiti.noMatch(); ospiti.findNext(cerca)) {
            if (!ospiteValido(ospiti, chiave)) {
                continue;
            }
            // Rule A.
            Aggiungi(giorno.NumeroOspiti, 1, [&] {
                return "Il numero degli ospiti della camera " + cameraRidotta_ + " del " +
                       routines::TestoData(settimana_.giorni[g]);
            });
            if (giorno.StatoOspiti.empty()) {
                giorno.StatoOspiti =
                    Uguale(ospiti.field("DataArrivo"), chiave) ? "(arrivata)" : "(in fermata)";
            }
            if (const auto codiceCliente = chiaveArrangiamento(ospiti)) {
                RecordSet& arrangiamenti = archivi_.arrangiamenti;
                arrangiamenti.findFirst(
                    Criteria("CodiceCliente = ? and NumeroHotel = ?", {*codiceCliente, hotel_}));
                if (!arrangiamenti.noMatch()) {
                    const Value& codice = arrangiamenti.field("Arrangiamento");
                    giorno.ArrangiamentoOspiti = Testo(codice);
                    ContaNellaClasse(archivi_.nomiArrangiamenti, numeroHotel_, codice, 1,
                                     settimana_.giorni[g], totali_, g);
                }
            }
            if (!Uguale(ospiti.field("NumeroComponente"), Value::integer(1))) {
                continue;
            }
            // Rule C.
            giorno.NomeOspite = Nome17(ospiti.field("NomeCliente"));
            giorno.NomeOspiteIntero = routines::TogliSpazi(Testo(ospiti.field("NomeCliente")));
            // Rule E.
            RecordSet& ditte = archivi_.ditte;
            ditte.findFirst(Criteria("CodiceCliente = ? and NumeroHotel = ?",
                                     {ospiti.field("NumeroProgressivo"), hotel_}));
            if (!ditte.noMatch()) {
                giorno.DittaOspite = Nome17(ditte.field("RagioneSociale"));
                giorno.DittaOspiteIntera =
                    routines::TogliSpazi(Testo(ditte.field("RagioneSociale")));
            }
        }
    }

    // Rule B for one day.
    void regolaPrenotazioni(GiornoCamera& giorno, std::size_t g) {
        const Value chiave = Value::text(settimana_.chiavi[g]);
        RecordSet& prenotazioni = archivi_.prenotazioni;
        const Criteria cerca(
            "NumeroCamera = ? and NumeroHotel = ? and (TipoPrenotazione = 'C' or "
            "TipoPrenotazione = 'O' or TipoPrenotazione = 'D')",
            {Value::text(cameraRidotta_), hotel_});
        for (prenotazioni.findFirst(cerca); !prenotazioni.noMatch(); prenotazioni.findNext(cerca)) {
            const Value& persone = prenotazioni.field("NumeroPersone");
            const Value& arrivo = prenotazioni.field("DataArrivo");
            if (!(Maggiore(persone, Value::integer(0)) && MinoreUguale(arrivo, chiave) &&
                  Maggiore(prenotazioni.field("DataPartenza"), chiave))) {
                continue;
            }
            const std::int64_t numeroPersone = persone.asInteger();
            const std::int64_t numeroPrenotazione =
                prenotazioni.field("NumeroPrenotazione").asInteger();
            if (numeroPersone > kMassimo16Bit) {
                throw routines::ErroreOverflow("Il numero delle persone della prenotazione " +
                                               std::to_string(numeroPrenotazione) + " (camera " +
                                               routines::InUtf8(cameraRidotta_) +
                                               ") supera 32767: impossibile creare il tableau.");
            }
            giorno.PersonePrenotate = static_cast<std::int16_t>(numeroPersone);
            giorno.NumeroPrenotazione = numeroPrenotazione;
            if (Uguale(arrivo, chiave)) {
                giorno.StatoPrenotazione = "(in arrivo)";
            }
            if (giorno.StatoPrenotazione.empty() && Minore(arrivo, chiave)) {
                giorno.StatoPrenotazione = "(prenotata)";
            }
            const Value& trattamento = prenotazioni.field("Trattamento");
            giorno.TrattamentoPrenotazione = Testo(trattamento);
            giorno.NotaPrenotazione =
                routines::TestoTraAsterischi(Testo(prenotazioni.field("Note")));
            ContaNellaClasse(archivi_.nomiArrangiamenti, numeroHotel_, trattamento, numeroPersone,
                             settimana_.giorni[g], totali_, g);
        }
    }

    // Rules D and F for one day: the day's booking (number 0 when none) confirmed against
    // its header and its first row for the room.
    void regolaConferma(GiornoCamera& giorno, std::size_t g) {
        const Value chiave = Value::text(settimana_.chiavi[g]);
        const Value numero = Value::integer(giorno.NumeroPrenotazione);
        RecordSet& testate = archivi_.testatePrenotazioni;
        testate.findFirst(Criteria("NumeroPrenotazione = ? and NumeroHotel = ?", {numero, hotel_}));
        if (testate.noMatch()) {
            return;
        }
        const Value& tipo = testate.field("TipoPrenotazione");
        if (!(Uguale(tipo, Value::text("C")) || Uguale(tipo, Value::text("O")) ||
              Uguale(tipo, Value::text("D")))) {
            return;
        }
        RecordSet& prenotazioni = archivi_.prenotazioni;
        prenotazioni.findFirst(
            Criteria("NumeroPrenotazione = ? and NumeroHotel = ? and NumeroCamera = ?",
                     {numero, hotel_, Value::text(camera_)}));
        if (prenotazioni.noMatch() || !(MinoreUguale(prenotazioni.field("DataArrivo"), chiave) &&
                                        Maggiore(prenotazioni.field("DataPartenza"), chiave))) {
            return;
        }
        giorno.PrenotazioneConfermata = true;
        giorno.NomePrenotazione = Nome17(testate.field("NomeCliente"));
        giorno.DittaPrenotazione = Nome17(testate.field("Ditta"));
        giorno.NomePrenotazioneIntero = routines::TogliSpazi(Testo(testate.field("NomeCliente")));
        giorno.DittaPrenotazioneIntera = routines::TogliSpazi(Testo(testate.field("Ditta")));
    }

    ArchiviSettimana& archivi_;
    const Value hotel_;
    const std::int16_t numeroHotel_;
    const std::string camera_;
    const std::string cameraRidotta_;
    const SettimanaTableau& settimana_;
    TotaliSettimana& totali_;
    // Arrival and NumeroProgressivo of the room's first members, by room value.
    std::unordered_map<std::string, std::vector<std::pair<Value, Value>>> primiDellaCamera_;
    // The first member's NumeroProgressivo by room and arrival (empty inside: none).
    std::unordered_map<std::string, std::optional<std::optional<Value>>> primiDelGruppo_;
};

}  // namespace

SettimanaTableau CalcolaSettimana(const routines::Data& inizio) {
    SettimanaTableau settimana;
    for (std::size_t g = 0; g < kGiorniTableau; ++g) {
        settimana.giorni[g] = routines::AggiungiGiorni(inizio, static_cast<int>(g));
        settimana.chiavi[g] = routines::ChiaveData(settimana.giorni[g]);
    }
    return settimana;
}

std::array<GiornoCamera, kGiorniTableau> RiempiGiorniCamera(ArchiviSettimana& archivi,
                                                            std::int16_t hotel,
                                                            const std::string& numeroCamera,
                                                            const SettimanaTableau& settimana,
                                                            TotaliSettimana& totali) {
    return RegoleCamera(archivi, hotel, numeroCamera, settimana, totali).riempi();
}

std::string ClasseDelCodice(RecordSet& nomiArrangiamenti, std::int16_t hotel,
                            const std::string& codice) {
    TotaliSettimana totali;
    const char* sigla = "";
    return TotaleDellaClasse(nomiArrangiamenti, hotel, Value::text(codice), totali, sigla) !=
                   nullptr
               ? std::string(sigla)
               : std::string();
}

CellaGiorno DecidiCella(const GiornoCamera& giorno, bool interi) {
    CellaGiorno cella;
    if (giorno.PersonePrenotate > 0) {
        cella.conteggio = giorno.PersonePrenotate;
        cella.stato = giorno.StatoPrenotazione;
    } else {
        cella.conteggio = giorno.NumeroOspiti;
        cella.stato = giorno.StatoOspiti;
    }
    if (interi) {
        cella.nome =
            giorno.PrenotazioneConfermata ? giorno.NomePrenotazioneIntero : giorno.NomeOspiteIntero;
        cella.ditta = giorno.PrenotazioneConfermata ? giorno.DittaPrenotazioneIntera
                                                    : giorno.DittaOspiteIntera;
    } else {
        cella.nome = giorno.PrenotazioneConfermata ? giorno.NomePrenotazione : giorno.NomeOspite;
        cella.ditta = giorno.PrenotazioneConfermata ? giorno.DittaPrenotazione : giorno.DittaOspite;
    }
    const std::string arrangiamento = routines::TogliSpazi(giorno.ArrangiamentoOspiti);
    cella.codice = arrangiamento.empty() ? routines::TogliSpazi(giorno.TrattamentoPrenotazione)
                                         : arrangiamento;
    cella.nota = routines::TogliSpazi(giorno.NotaPrenotazione);
    return cella;
}

}  // namespace tableau::chart
