#include "mail/chart_mail.h"

#include <algorithm>
#include <array>

#include "chart/chart_layout.h"
#include "routines/codepage.h"
#include "routines/text.h"

namespace tableau::mail {
namespace {

constexpr std::string_view kTrattino = " \xE2\x80\x93 ";  // " – "
constexpr std::size_t kLarghezzaEtichetta = 20;
constexpr std::size_t kLarghezzaGiorno = 12;

std::string Utf8(std::string_view cp1252) {
    return routines::InUtf8(routines::TogliSpazi(cp1252));
}

// A row of the text: the label, then one column per day, right-aligned.
template <typename Valore>
std::string Riga(std::string_view etichetta,
                 const std::array<Valore, chart::kGiorniTableau>& valori, auto testoDi) {
    std::string riga(etichetta);
    riga.resize(kLarghezzaEtichetta, ' ');
    for (const Valore& valore : valori) {
        const std::string testo = testoDi(valore);
        riga.append(testo.size() < kLarghezzaGiorno ? kLarghezzaGiorno - testo.size() : 1, ' ');
        riga += testo;
    }
    return riga + '\n';
}

std::string Numero(long valore) {
    return std::to_string(valore);
}

}  // namespace

std::string OggettoPosta(const chart::TableauLetto& tableau) {
    std::string oggetto = "Tableau";
    if (const std::string hotel = Utf8(tableau.hotel); !hotel.empty()) {
        oggetto += " " + hotel;
    }
    if (const std::string blocco = Utf8(tableau.descrizione); !blocco.empty()) {
        oggetto += std::string(kTrattino) + blocco;
    }
    return oggetto + std::string(kTrattino) + "dal " + Utf8(tableau.dataInizio);
}

std::string TestoPosta(const chart::TableauLetto& tableau) {
    std::string testo = OggettoPosta(tableau) + "\n";
    if (!tableau.generazione.empty()) {
        testo += "Tableau scritto il " + Utf8(tableau.generazione) + ".\n";
    }
    testo +=
        "\nTotali per trattamento (CC camera e colazione, MP mezza pensione, PC pensione "
        "completa) e arrivi di ogni giorno:\n\n";
    testo += Riga("Data", tableau.giorni,
                  [](const chart::GiornoIntestazione& giorno) { return Utf8(giorno.testoData); });
    testo += Riga("CC", tableau.totaleCC, Numero);
    testo += Riga("MP", tableau.totaleMP, Numero);
    testo += Riga("PC", tableau.totalePC, Numero);
    std::array<long, chart::kGiorniTableau> camere{};
    std::array<long, chart::kGiorniTableau> persone{};
    for (const chart::CameraLetta& camera : tableau.camere) {
        for (std::size_t g = 0; g < chart::kGiorniTableau; ++g) {
            const chart::GiornoLetto& giorno = camera.giorni[g];
            if (giorno.stato == chart::StatoSoggiorno::arrivata ||
                giorno.stato == chart::StatoSoggiorno::inArrivo) {
                ++camere[g];
                persone[g] += giorno.persone;
            }
        }
    }
    testo += Riga("Arrivi (camere)", camere, Numero);
    testo += Riga("Arrivi (persone)", persone, Numero);
    testo += "\nCamere nel tableau: " + std::to_string(tableau.camere.size()) + ".\n";
    return testo;
}

namespace {

constexpr std::string_view kTuttoLAlbergo = "tutto l'albergo";

// The rows of a week's totals and figures, under a title when there is one.
std::string RigheSettimana(
    const std::array<chart::GiornoIntestazione, chart::kGiorniTableau>& giorni,
    const std::array<long, chart::kGiorniTableau>& cc,
    const std::array<long, chart::kGiorniTableau>& mp,
    const std::array<long, chart::kGiorniTableau>& pc,
    const std::array<chart::ConteggioGiorno, chart::kGiorniTableau>& conteggi) {
    std::string testo;
    testo += Riga("Data", giorni,
                  [](const chart::GiornoIntestazione& giorno) { return Utf8(giorno.testoData); });
    testo += Riga("CC", cc, Numero);
    testo += Riga("MP", mp, Numero);
    testo += Riga("PC", pc, Numero);
    const auto riga = [&](std::string_view etichetta, long chart::ConteggioGiorno::*campo) {
        return Riga(etichetta, conteggi,
                    [campo](const chart::ConteggioGiorno& c) { return Numero(c.*campo); });
    };
    testo += riga("Arrivi (camere)", &chart::ConteggioGiorno::arrivi);
    testo += riga("Arrivi (persone)", &chart::ConteggioGiorno::personeInArrivo);
    testo += riga("Partenze (camere)", &chart::ConteggioGiorno::partenze);
    testo += riga("Partenze (persone)", &chart::ConteggioGiorno::personeInPartenza);
    testo += riga("Camere occupate", &chart::ConteggioGiorno::camereOccupate);
    testo += riga("Camere libere", &chart::ConteggioGiorno::camereLibere);
    testo += riga("Persone", &chart::ConteggioGiorno::persone);
    return testo;
}

std::string Camere(std::size_t n) {
    return std::to_string(n) + (n == 1 ? " camera" : " camere");
}

}  // namespace

std::string OggettoPosta(const chart::SettimanaAlbergo& settimana) {
    if (!settimana.interoAlbergo && settimana.tableau.size() == 1) {
        return OggettoPosta(settimana.tableau.front());
    }
    std::string oggetto = "Tableau";
    if (const std::string hotel = Utf8(settimana.nomeHotel); !hotel.empty()) {
        oggetto += " " + hotel;
    }
    const std::string data =
        settimana.tableau.empty() ? std::string() : Utf8(settimana.tableau.front().dataInizio);
    return oggetto + std::string(kTrattino) + std::string(kTuttoLAlbergo) + std::string(kTrattino) +
           "dal " + data;
}

std::string TestoPosta(const chart::SettimanaAlbergo& settimana) {
    std::string testo = OggettoPosta(settimana) + "\n";
    if (settimana.tableau.empty()) {
        return testo;
    }
    const chart::TableauLetto& primo = settimana.tableau.front();
    if (!primo.generazione.empty()) {
        testo += "Tableau scritto il " + Utf8(primo.generazione) + ".\n";
    }
    testo +=
        "\nTotali per trattamento (CC camera e colazione, MP mezza pensione, PC pensione "
        "completa), arrivi e partenze (camere e persone), camere occupate e libere e persone "
        "di ogni giorno:\n";
    const bool intero = settimana.interoAlbergo || settimana.tableau.size() > 1;
    std::size_t camere = 0;
    for (std::size_t i = 0; i < settimana.tableau.size(); ++i) {
        const chart::TableauLetto& tableau = settimana.tableau[i];
        camere += tableau.camere.size();
        testo += "\n";
        if (intero) {
            const std::string codice = i < settimana.codiciTableau.size()
                                           ? std::to_string(settimana.codiciTableau[i]) + " "
                                           : std::string();
            testo += "Tableau " + codice + Utf8(tableau.descrizione) + " (" +
                     Camere(tableau.camere.size()) + "):\n";
        }
        testo += RigheSettimana(
            tableau.giorni, tableau.totaleCC, tableau.totaleMP, tableau.totalePC,
            tableau.conteggi.value_or(std::array<chart::ConteggioGiorno, chart::kGiorniTableau>{}));
    }
    if (intero) {
        testo += "\nTutto l'albergo (" + Camere(camere) + "):\n";
        const chart::TotaliAlbergo& totale = settimana.totale;
        testo += RigheSettimana(primo.giorni, totale.totaleCC, totale.totaleMP, totale.totalePC,
                                totale.conteggi);
    }
    if (!settimana.codici.empty()) {
        testo += "\nClasse di ogni trattamento della settimana:\n";
        for (const chart::CodiceSettimana& codice : settimana.codici) {
            std::string riga = "  " + Utf8(codice.codice);
            riga.resize(std::max<std::size_t>(riga.size() + 1, kLarghezzaEtichetta), ' ');
            testo += riga +
                     (codice.classe.empty()
                          ? std::string("nessuna classe: non contato nei totali CC, MP e PC")
                          : codice.classe) +
                     "\n";
        }
    }
    testo += "\n" + std::string(intero ? "Camere dell'albergo: " : "Camere nel tableau: ") +
             std::to_string(camere) + ".\n";
    return testo;
}

std::string NomeAllegato(const chart::SettimanaAlbergo& settimana, std::string_view estensione) {
    if (!settimana.interoAlbergo && settimana.tableau.size() == 1) {
        return NomeAllegato(settimana.tableau.front(), estensione);
    }
    chart::TableauLetto albergo;
    albergo.hotel = settimana.nomeHotel;
    albergo.descrizione = std::string(kTuttoLAlbergo);
    if (!settimana.tableau.empty()) {
        albergo.dataInizio = settimana.tableau.front().dataInizio;
    }
    return NomeAllegato(albergo, estensione);
}

std::string NomeAllegato(const chart::TableauLetto& tableau, std::string_view estensione) {
    std::string nome = "Tableau";
    for (const std::string_view parte :
         {std::string_view(tableau.hotel), std::string_view(tableau.descrizione)}) {
        if (const std::string testo = Utf8(parte); !testo.empty()) {
            nome += (nome == "Tableau" ? " " : " - ") + testo;
        }
    }
    if (const auto data = routines::LeggiData(routines::TogliSpazi(tableau.dataInizio))) {
        const std::string chiave = routines::ChiaveData(*data);
        nome += " - " + chiave.substr(0, 4) + "-" + chiave.substr(4, 2) + "-" + chiave.substr(6);
    }
    for (char& c : nome) {
        if (static_cast<unsigned char>(c) < 0x20 ||
            std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos) {
            c = '-';
        }
    }
    return nome + "." + std::string(estensione);
}

}  // namespace tableau::mail
