#include "export/text_export.h"

#include "chart/chart_layout.h"
#include "routines/atomic_file.h"
#include "routines/codepage.h"

namespace tableau::exports {
namespace {

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

}  // namespace

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

void ScriviTesto(const TableauDaEsportare& tableau, const std::filesystem::path& file,
                 const OpzioniUscita& /*opzioni*/) {
    routines::AtomicFile uscita(file);
    uscita.write(TableauInUtf8(tableau.testo()));
    uscita.commit();
}

}  // namespace tableau::exports
