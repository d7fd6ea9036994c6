#pragma once
// The one way the tests run the tableau commands: the whole command line as the executable
// runs it, or one command function for a workstation, in-process, with what it writes to
// its two streams kept.
#include <concepts>
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

template <typename Valore>
decltype(auto) PerLaPostazione(Valore&& valore, const PostazioneDiProva&) {
    return std::forward<Valore>(valore);
}

// One command function (app::ComandoChart, app::ComandoMail...) run in the workstation's
// data directory for the workstation, with its arguments and what it takes after the two
// streams (settings, a clock); settings not given are those of no settings file.
template <typename Funzione, typename... Altro>
EsitoComando EseguiComando(const PostazioneDiProva& postazione, Funzione comando,
                           const app::Argomenti& argomenti, Altro&&... altro) {
    const CurrentDirectory qui(postazione.cartella);
    const ScopedEnv pcLocal("PCLocal", postazione.numero.c_str());
    std::ostringstream out;
    std::ostringstream err;
    EsitoComando esito;
    if constexpr (std::invocable<Funzione, const app::Argomenti&, std::ostream&, std::ostream&,
                                 Altro...>) {
        esito.stato = comando(argomenti, out, err,
                              PerLaPostazione(std::forward<Altro>(altro), postazione)...);
    } else if constexpr (std::invocable<Funzione, const app::Argomenti&, std::ostream&,
                                        std::ostream&, Altro..., routines::Impostazioni>) {
        esito.stato =
            comando(argomenti, out, err, PerLaPostazione(std::forward<Altro>(altro), postazione)...,
                    PerLaPostazione(routines::Impostazioni{}, postazione));
    } else if constexpr (sizeof...(Altro) == 0) {
        // The settings and the system's clock, as the command line gives them.
        esito.stato =
            comando(argomenti, out, err, PerLaPostazione(routines::Impostazioni{}, postazione),
                    routines::OrologioDiSistema());
    } else {
        // Settings given, the system's clock.
        esito.stato =
            comando(argomenti, out, err, PerLaPostazione(std::forward<Altro>(altro), postazione)...,
                    routines::OrologioDiSistema());
    }
    esito.out = out.str();
    esito.err = err.str();
    return esito;
}

}  // namespace tableau::test
