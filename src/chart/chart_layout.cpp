#include "chart/chart_layout.h"

#include <cstdio>

#include "routines/text.h"

namespace tableau::chart {
namespace {

constexpr std::size_t kLarghezzaTitolo = 116;
constexpr std::size_t kLarghezzaNomeHotel = 45;

// A frame line: `riempimento` everywhere, `incrocio` on the separators, `bordo` last.
std::string RigaTelaio(char riempimento, char incrocio, char bordo) {
    std::string riga(kLarghezzaRiga, riempimento);
    for (std::size_t giorno = 0; giorno < kGiorniTableau; ++giorno) {
        riga[InizioCella(giorno) - 1] = incrocio;
    }
    riga.back() = bordo;
    return riga;
}

// Writes a text left-aligned into the line from `inizio`, cut to `larghezza`; the rest of
// the place keeps what the line held (blanks on a fresh frame line). Control characters
// (a line end typed into a name, a tab) are written as blanks, so that every line of the
// chart stays one line of 132 characters.
void Scrivi(std::string& riga, std::size_t inizio, std::string_view testo, std::size_t larghezza) {
    const std::string_view parte = testo.substr(0, larghezza);
    for (std::size_t i = 0; i < parte.size(); ++i) {
        const auto c = static_cast<unsigned char>(parte[i]);
        riga[inizio + i] = c < 0x20 || c == 0x7F ? ' ' : parte[i];
    }
}

// Like Scrivi, but the whole place is overwritten: the text padded with spaces.
void ScriviRiempiendo(std::string& riga, std::size_t inizio, std::string_view testo,
                      std::size_t larghezza) {
    riga.replace(inizio, larghezza, std::string(larghezza, ' '));
    Scrivi(riga, inizio, testo, larghezza);
}

}  // namespace

std::string RigaBordoSuperiore() {
    return RigaTelaio(kLineaOrizzontale, kDiramazioneGiu, kAngoloAltoDestro);
}

std::string RigaCornice() {
    return RigaTelaio(' ', kLineaVerticale, kLineaVerticale);
}

std::string RigaSeparatore() {
    return RigaTelaio(kLineaOrizzontale, kCroce, kDiramazioneSinistra);
}

std::string RigaBordoInferiore() {
    return RigaTelaio(kLineaOrizzontale, kDiramazioneSu, kAngoloBassoDestro);
}

std::string RigaTitolo(const std::optional<std::string>& nomeHotel,
                       const std::optional<std::string>& descrizioneTableau,
                       std::string_view dataInizio, const routines::DataOra& generazione) {
    std::string testo = " Hotel : ";
    if (nomeHotel) {
        std::string nome = routines::Sinistra(*nomeHotel, kLarghezzaNomeHotel);
        nome.resize(kLarghezzaNomeHotel, ' ');
        testo += nome;
        testo += " Tableau Tavornelide : ";
        if (descrizioneTableau) {
            testo += routines::TogliSpazi(*descrizioneTableau);
            testo += " dal ";
            testo += dataInizio;
        }
    }
    testo.resize(kLarghezzaTitolo, ' ');

    char momento[64];
    std::snprintf(momento, sizeof momento, "%02d/%02d/%04d %02d:%02d", generazione.giorno,
                  generazione.mese, generazione.anno, generazione.ore, generazione.minuti);
    std::string riga(kLarghezzaRiga, ' ');
    Scrivi(riga, 0, testo, kLarghezzaTitolo);
    Scrivi(riga, kLarghezzaTitolo, momento, kLarghezzaRiga - kLarghezzaTitolo);
    return riga;
}

std::string RigaIntestazioneGiorni(const std::array<std::string, kGiorniTableau>& testi) {
    std::string riga = RigaCornice();
    for (std::size_t giorno = 0; giorno < kGiorniTableau; ++giorno) {
        Scrivi(riga, InizioCella(giorno) + 1, testi[giorno], kLarghezzaCella - 1);
    }
    return riga;
}

std::array<std::string, 4> RigheCamera(const ColonnaCamera& camera,
                                       const std::array<CellaGiorno, kGiorniTableau>& giorni) {
    std::array<std::string, 4> righe;
    for (auto& riga : righe) {
        riga = RigaCornice();
    }
    Scrivi(righe[0], 0, routines::TogliSpazi(routines::Sinistra(camera.numero, 5)), 5);
    Scrivi(righe[1], 0, routines::TogliSpazi(routines::Sinistra(camera.tipo, 5)), 5);
    Scrivi(righe[2], 0, routines::TogliSpazi(camera.posti), 4);

    for (std::size_t giorno = 0; giorno < kGiorniTableau; ++giorno) {
        const CellaGiorno& cella = giorni[giorno];
        const std::size_t inizio = InizioCella(giorno);
        const std::string conteggio = " (" + std::to_string(cella.conteggio) + ")" + cella.stato;
        Scrivi(righe[0], inizio, conteggio, kLarghezzaCella);
        Scrivi(righe[1], inizio, cella.nome, kLarghezzaCella);
        Scrivi(righe[2], inizio, cella.ditta, kLarghezzaCella);
        Scrivi(righe[3], inizio, cella.codice, kLarghezzaCella);
        if (!cella.nota.empty()) {
            ScriviRiempiendo(righe[3], inizio + 6, cella.nota, kLarghezzaCella - 6);
        }
    }
    return righe;
}

std::array<std::string, 3> RigheTotali(const TotaliSettimana& totali) {
    const std::array<std::pair<const char*, const std::array<std::int16_t, 7>*>, 3> classi = {
        {{"CC = ", &totali.TotaleCC}, {"MP = ", &totali.TotaleMP}, {"PC = ", &totali.TotalePC}}};
    std::array<std::string, 3> righe;
    for (std::size_t i = 0; i < classi.size(); ++i) {
        righe[i] = RigaCornice();
        for (std::size_t giorno = 0; giorno < kGiorniTableau; ++giorno) {
            char cella[32];
            std::snprintf(cella, sizeof cella, "%s%5d", classi[i].first,
                          static_cast<int>((*classi[i].second)[giorno]));
            Scrivi(righe[i], InizioCella(giorno), cella, kLarghezzaCella);
        }
    }
    return righe;
}

}  // namespace tableau::chart
