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

// The Unicode box character of a frame byte; empty for any other byte.
std::string_view Cornice(char c) {
    switch (c) {
        case chart::kLineaOrizzontale:
            return "\xE2\x94\x80";  // ─
        case chart::kLineaVerticale:
            return "\xE2\x94\x82";  // │
        case chart::kDiramazioneGiu:
            return "\xE2\x94\xAC";  // ┬
        case chart::kAngoloAltoDestro:
            return "\xE2\x94\x90";  // ┐
        case chart::kCroce:
            return "\xE2\x94\xBC";  // ┼
        case chart::kDiramazioneSinistra:
            return "\xE2\x94\xA4";  // ┤
        case chart::kDiramazioneSu:
            return "\xE2\x94\xB4";  // ┴
        case chart::kAngoloBassoDestro:
            return "\xE2\x94\x98";  // ┘
        default:
            return {};
    }
}

// A line drawn only of frame bytes and blanks.
bool RigaDiCornice(std::string_view riga) {
    bool linea = false;
    for (const char c : riga) {
        if (!Cornice(c).empty()) {
            linea = true;
        } else if (c != ' ') {
            return false;
        }
    }
    return linea;
}

// Where a grid line has its vertical lines: before each day and at the end.
bool PostoDiLinea(std::size_t colonna) {
    if (colonna == chart::kLarghezzaRiga - 1) {
        return true;
    }
    for (std::size_t g = 0; g < chart::kGiorniTableau; ++g) {
        if (colonna + 1 == chart::InizioCella(g)) {
            return true;
        }
    }
    return false;
}

std::string RigaInUtf8(std::string_view riga) {
    const bool cornice = RigaDiCornice(riga);
    std::string risultato;
    std::size_t inizio = 0;
    for (std::size_t i = 0; i < riga.size(); ++i) {
        const std::string_view linea = Cornice(riga[i]);
        if (!linea.empty() && (cornice || PostoDiLinea(i))) {
            risultato += routines::InUtf8(riga.substr(inizio, i - inizio));
            risultato += linea;
            inizio = i + 1;
        }
    }
    return risultato + routines::InUtf8(riga.substr(inizio));
}

std::string_view Estensione(FormatoPosta formato) {
    switch (formato) {
        case FormatoPosta::pdf:
            return ".pdf";
        case FormatoPosta::xlsx:
            return ".xlsx";
        default:
            return ".txt";
    }
}

}  // namespace

std::optional<FormatoPosta> LeggiFormatoPosta(std::string_view nome) {
    for (const FormatoPosta formato :
         {FormatoPosta::pdf, FormatoPosta::xlsx, FormatoPosta::testo, FormatoPosta::totali}) {
        if (nome == NomeFormatoPosta(formato)) {
            return formato;
        }
    }
    return std::nullopt;
}

std::string_view NomeFormatoPosta(FormatoPosta formato) {
    switch (formato) {
        case FormatoPosta::pdf:
            return "pdf";
        case FormatoPosta::xlsx:
            return "xlsx";
        case FormatoPosta::testo:
            return "text";
        case FormatoPosta::totali:
            return "totals";
    }
    return {};
}

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

std::string_view TipoAllegato(FormatoPosta formato) {
    switch (formato) {
        case FormatoPosta::pdf:
            return "application/pdf";
        case FormatoPosta::xlsx:
            return "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";
        case FormatoPosta::testo:
            return "text/plain";
        case FormatoPosta::totali:
            return {};
    }
    return {};
}

std::string NomeAllegato(const chart::TableauLetto& tableau, FormatoPosta formato) {
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
    return nome + std::string(Estensione(formato));
}

std::string TableauInUtf8(std::string_view testoFile) {
    std::string risultato;
    while (!testoFile.empty()) {
        const auto fine = testoFile.find('\n');
        std::string_view riga = testoFile.substr(0, fine);
        std::string_view capo;
        if (fine != std::string_view::npos) {
            capo = "\n";
            if (riga.ends_with('\r')) {
                riga.remove_suffix(1);
                capo = "\r\n";
            }
        }
        risultato += RigaInUtf8(riga);
        risultato += capo;
        testoFile =
            fine == std::string_view::npos ? std::string_view() : testoFile.substr(fine + 1);
    }
    return risultato;
}

}  // namespace tableau::mail
