#include "mail/sendmail.h"

#include <netdb.h>
#include <unistd.h>

#include <climits>
#include <memory>
#include <optional>

#include "routines/child_process.h"
#include "routines/text.h"

namespace tableau::mail {
namespace {

struct RilasciaIndirizzi {
    void operator()(addrinfo* indirizzi) const { ::freeaddrinfo(indirizzi); }
};

// What the program wrote on its error output, on one line and not too long for a message.
std::string Spiegazione(std::string testo) {
    for (char& c : testo) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = ' ';
        }
    }
    testo = routines::TogliSpazi(testo);
    constexpr std::size_t kMassimo = 400;
    if (testo.size() > kMassimo) {
        testo.resize(kMassimo);
        testo += "...";
    }
    return testo.empty() ? std::string() : ": " + testo;
}

std::string FineDelProgramma(const routines::ExitStatus& stato) {
    if (stato.code) {
        return "\xC3\xA8 terminato con il codice " + std::to_string(*stato.code);
    }
    if (stato.signal != 0) {
        return "\xC3\xA8 stato interrotto dal segnale " + std::to_string(stato.signal);
    }
    return "\xC3\xA8 terminato in modo sconosciuto";
}

}  // namespace

std::vector<std::string> ComandoSendmail(std::string_view impostazione) {
    std::vector<std::string> comando;
    std::string parola;
    for (const char c : impostazione) {
        if (c == ' ' || c == '\t') {
            if (!parola.empty()) {
                comando.push_back(std::move(parola));
                parola.clear();
            }
        } else {
            parola += c;
        }
    }
    if (!parola.empty()) {
        comando.push_back(std::move(parola));
    }
    if (comando.empty() || comando.front().front() != '/') {
        throw routines::RichiestaRifiutata(
            "l'impostazione sendmail deve indicare il percorso completo del programma "
            "(indicato: \"" +
            std::string(impostazione) + "\").");
    }
    return comando;
}

std::string NomeCompletoMacchina() {
    char nome[HOST_NAME_MAX + 1] = {};
    if (::gethostname(nome, sizeof nome - 1) != 0 || nome[0] == '\0') {
        return "localhost";
    }
    addrinfo richiesta{};
    richiesta.ai_flags = AI_CANONNAME;
    addrinfo* trovati = nullptr;
    if (::getaddrinfo(nome, nullptr, &richiesta, &trovati) != 0) {
        return nome;
    }
    const std::unique_ptr<addrinfo, RilasciaIndirizzi> indirizzi(trovati);
    if (indirizzi->ai_canonname != nullptr && *indirizzi->ai_canonname != '\0') {
        return indirizzi->ai_canonname;
    }
    return nome;
}

std::string MittentePredefinito() {
    return "tableau@" + NomeCompletoMacchina();
}

void InviaMessaggio(const std::vector<std::string>& comando, std::string_view messaggio) {
    const std::string& programma = comando.front();
    std::optional<routines::ChildProcess> figlio;
    try {
        figlio.emplace(routines::ChildOptions{.argv = comando,
                                              .input = routines::ChildInput::Pipe,
                                              .output = routines::ChildOutput::Pipe,
                                              .errors = routines::ChildOutput::Merged,
                                              .newSession = true,
                                              .newProcessGroup = true});
    } catch (const routines::ErroreAvvio& e) {
        throw ErrorePosta("Impossibile avviare il programma di posta " + programma +
                          " (impostazione sendmail): " + e.what());
    }
    std::optional<std::string> scrittura;
    try {
        figlio->write(messaggio);
    } catch (const routines::ErroreProcesso& e) {
        scrittura = e.what();  // the program stopped reading: its exit status says why
    }
    const routines::ExitStatus stato = figlio->finish();
    if (!stato.success()) {
        throw ErrorePosta("Il programma di posta " + programma + " " + FineDelProgramma(stato) +
                          ": messaggio non inviato" + Spiegazione(figlio->output()));
    }
    if (scrittura) {
        throw ErrorePosta("Il programma di posta " + programma +
                          " non ha letto tutto il messaggio: " + *scrittura);
    }
}

}  // namespace tableau::mail
