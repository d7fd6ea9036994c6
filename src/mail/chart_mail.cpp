#include "mail/chart_mail.h"

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
