// The options of a command: "--name value" or "--name=value".
#include <algorithm>
#include <optional>

#include "app/cli_commands.h"

namespace tableau::app {

OpzioniComando LeggiOpzioniComando(const Argomenti& argomenti,
                                   std::span<const std::string_view> ammesse,
                                   std::string_view ripetibile) {
    OpzioniComando valori;
    for (std::size_t i = 0; i < argomenti.size(); ++i) {
        std::string nome = argomenti[i];
        std::optional<std::string> valore;
        if (const auto uguale = nome.find('='); nome.starts_with("--") && uguale != nome.npos) {
            valore = nome.substr(uguale + 1);
            nome.resize(uguale);
        }
        if (std::find(ammesse.begin(), ammesse.end(), nome) == ammesse.end()) {
            throw routines::RichiestaRifiutata("opzione sconosciuta \"" + nome + "\".");
        }
        if (!valore) {
            if (i + 1 >= argomenti.size()) {
                throw routines::RichiestaRifiutata("manca il valore dell'opzione " + nome + ".");
            }
            valore = argomenti[++i];
        }
        if (nome != ripetibile && valori.contains(nome)) {
            throw routines::RichiestaRifiutata("l'opzione " + nome + " è indicata più volte.");
        }
        valori.emplace(nome, *valore);
    }
    return valori;
}

}  // namespace tableau::app
