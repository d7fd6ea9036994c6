#pragma once
// The whole command line run in-process, as the tableau executable runs it.
#include <sstream>
#include <string>
#include <vector>

#include "app/cli_commands.h"

namespace tableau::app {

struct EsitoComando {
    int stato = -1;
    std::string out;
    std::string err;
};

inline EsitoComando EseguiRiga(std::vector<std::string> argomenti) {
    argomenti.insert(argomenti.begin(), "tableau");
    std::vector<char*> argv;
    for (auto& a : argomenti) {
        argv.push_back(a.data());
    }
    std::ostringstream out;
    std::ostringstream err;
    EsitoComando esito;
    esito.stato = Esegui(static_cast<int>(argv.size()), argv.data(), out, err);
    esito.out = out.str();
    esito.err = err.str();
    return esito;
}

}  // namespace tableau::app
