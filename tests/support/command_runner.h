#pragma once
// The one way the tests run the tableau commands: the whole command line as the executable
// runs it, or one command for a workstation with the settings and clock of the test,
// in-process, with what it writes to its two streams kept.
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/cli_commands.h"
#include "routines/clock.h"
#include "routines/settings.h"
#include "support/data_directory.h"
#include "support/temp_dir.h"

namespace tableau::test {

struct EsitoComando {
    int stato = -1;
    std::string out;
    std::string err;
};

// The whole command line (without the program's name) through app::Esegui.
inline EsitoComando EseguiRiga(app::Argomenti argomenti) {
    argomenti.insert(argomenti.begin(), "tableau");
    std::vector<char*> argv;
    for (auto& a : argomenti) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::ostringstream out;
    std::ostringstream err;
    EsitoComando esito;
    esito.stato = app::Esegui(static_cast<int>(argomenti.size()), argv.data(), out, err);
    esito.out = out.str();
    esito.err = err.str();
    return esito;
}

// The settings a command gets for the workstation, as the start-up resolves them: the data
// directory and the workstation number of the test where the settings give none.
inline routines::Impostazioni PerLaPostazione(routines::Impostazioni impostazioni,
                                              const PostazioneDiProva& postazione) {
    if (!impostazioni.cartellaDati) {
        impostazioni.cartellaDati = routines::Impostazione{postazione.cartella.string(), "prova"};
    }
    if (!impostazioni.postazione && !postazione.numero.empty()) {
        impostazioni.postazione = routines::Impostazione{postazione.numero, "PCLocal"};
    }
    return impostazioni;
}

// One command ("chart", "mail"...) with its arguments, read by the command line as the
// executable reads it, run in the workstation's data directory for the workstation with the
// settings (those of no settings file when none are given) and the clock given.
inline EsitoComando EseguiComando(
    const PostazioneDiProva& postazione, const std::string& comando,
    const app::Argomenti& argomenti, const routines::Impostazioni& impostazioni = {},
    const routines::Orologio& orologio = routines::OrologioDiSistema()) {
    const CurrentDirectory qui(postazione.cartella);
    const ScopedEnv pcLocal("PCLocal", postazione.numero.c_str());
    app::Argomenti riga{comando};
    riga.insert(riga.end(), argomenti.begin(), argomenti.end());
    std::ostringstream out;
    std::ostringstream err;
    EsitoComando esito;
    esito.stato =
        app::EseguiCon(riga, out, err, PerLaPostazione(impostazioni, postazione), orologio);
    esito.out = out.str();
    esito.err = err.str();
    return esito;
}

}  // namespace tableau::test
