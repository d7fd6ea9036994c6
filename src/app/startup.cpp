#include "app/startup.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "routines/errors.h"

namespace tableau::app {

OpzioniGenerali LeggiOpzioniGenerali(const Argomenti& argomenti) {
    OpzioniGenerali opzioni;
    for (std::size_t i = 0; i < argomenti.size(); ++i) {
        const std::string& a = argomenti[i];
        if (a == "-C" || a == "--cartella") {
            if (i + 1 >= argomenti.size()) {
                throw routines::RichiestaRifiutata("manca la cartella dei dati dopo " + a + ".");
            }
            opzioni.cartella = argomenti[++i];
        } else if (a.starts_with("--cartella=")) {
            opzioni.cartella = a.substr(std::string_view("--cartella=").size());
        } else {
            opzioni.resto.push_back(a);
        }
    }
    return opzioni;
}

routines::Impostazioni ApplicaImpostazioni(const OpzioniGenerali& opzioni,
                                           routines::FontiImpostazioni fonti) {
    if (fonti.fileUtente.empty()) {
        fonti.fileUtente = routines::FileUtentePredefinito();
    }
    fonti.opzioneCartella = opzioni.cartella;
    routines::Impostazioni impostazioni = routines::RisolviImpostazioni(fonti);
    if (const auto& cartella = impostazioni.cartellaDati) {
        std::error_code errore;
        const std::filesystem::path percorso(cartella->valore);
        if (!std::filesystem::is_directory(percorso, errore)) {
            throw routines::Errore(
                "La cartella dei dati " + cartella->valore + " indicata da " + cartella->origine +
                (std::filesystem::exists(percorso, errore) ? " non \xC3\xA8 una cartella."
                                                           : " non esiste."));
        }
        if (::chdir(percorso.c_str()) != 0) {
            throw routines::Errore("Impossibile entrare nella cartella dei dati " +
                                   cartella->valore + " indicata da " + cartella->origine + ": " +
                                   std::strerror(errno));
        }
    }
    if (const auto& postazione = impostazioni.postazione;
        postazione && std::getenv("PCLocal") == nullptr) {
        ::setenv("PCLocal", postazione->valore.c_str(), 1);
    }
    return impostazioni;
}

}  // namespace tableau::app
