// tableau serve and tableau user: the web view's server and its users file.
#include "app/cli_serve.h"

#include <signal.h>
#include <time.h>

#include <iostream>
#include <string>

#include "app/cli_commands.h"
#include "app/startup.h"
#include "routines/clock.h"
#include "routines/errors.h"
#include "routines/system_log.h"
#include "web/users_file.h"
#include "web/web_server.h"

namespace tableau::app {

std::string FileUtentiImpostato(const routines::Impostazioni& impostazioni) {
    return impostazioni.utentiWeb ? impostazioni.utentiWeb->valore
                                  : std::string(web::kFileUtentiPredefinito);
}

int Servi(const OpzioniServi& opzioni, std::ostream& out, std::ostream& err,
          const routines::Impostazioni& impostazioni, const std::atomic<bool>* fermati) {
    // The signals that stop the server are taken here, by sigtimedwait, and by no thread of
    // the server: blocked before the server's threads start, which inherit the mask.
    sigset_t segnali;
    sigemptyset(&segnali);
    sigaddset(&segnali, SIGINT);
    sigaddset(&segnali, SIGTERM);
    sigset_t prima;
    pthread_sigmask(SIG_BLOCK, &segnali, &prima);
    struct RipristinaMaschera {
        sigset_t maschera;
        ~RipristinaMaschera() { pthread_sigmask(SIG_SETMASK, &maschera, nullptr); }
    } ripristina{prima};

    const routines::OrologioDiSistema orologio;
    std::optional<web::ServerWeb> server;
    try {
        web::OpzioniServer o;
        const std::string ascolto = opzioni.ascolto           ? *opzioni.ascolto
                                    : impostazioni.ascoltoWeb ? impostazioni.ascoltoWeb->valore
                                                              : std::string("127.0.0.1:8080");
        const web::IndirizzoAscolto indirizzo = web::LeggiIndirizzoAscolto(ascolto);
        o.indirizzo = indirizzo.indirizzo;
        o.porta = indirizzo.porta;
        if (impostazioni.certificatoWeb) {
            o.certificato = impostazioni.certificatoWeb->valore;
        }
        if (impostazioni.chiaveWeb) {
            o.chiave = impostazioni.chiaveWeb->valore;
        }
        o.insicuro = opzioni.insicuro;
        o.fileUtenti = FileUtentiImpostato(impostazioni);
        if (web::LeggiUtenti(o.fileUtenti).empty()) {
            err << "tableau serve: nessun utente nel file " << o.fileUtenti.string()
                << ": aggiungerne uno con tableau user add NOME.\n";
        }
        server.emplace(
            o, [&impostazioni] { return ApriSorgenteDati(impostazioni); }, orologio);
    } catch (const std::exception& e) {
        err << "tableau serve: " << SuUnaRiga(e.what()) << '\n';
        if (EsitoDi(e) == kFallito) {
            routines::RegistraErrore("tableau serve: " + SuUnaRiga(e.what()));
        }
        return EsitoDi(e);
    }
    routines::RegistraEvento("server web in ascolto su " + server->indirizzo());
    out << "Tableau in ascolto su " << server->indirizzo() << " (Ctrl+C per fermarlo).\n"
        << std::flush;
    const timespec attesa{0, 200'000'000};
    while (fermati == nullptr || !fermati->load()) {
        if (sigtimedwait(&segnali, nullptr, &attesa) > 0) {
            break;
        }
    }
    server.reset();
    routines::RegistraEvento("server web fermato");
    out << "Server fermato.\n";
    return kEseguito;
}

int AggiungiUtenteWeb(const OpzioniUtente& opzioni, std::istream& in, std::ostream& out,
                      std::ostream& err, const routines::Impostazioni& impostazioni) {
    const std::string file = FileUtentiImpostato(impostazioni);
    try {
        web::ControllaNomeUtente(opzioni.nome);
        std::string password;
        if (!std::getline(in, password)) {
            throw routines::RichiestaRifiutata(
                "manca la password: va scritta sulla prima riga dello standard input.");
        }
        if (!password.empty() && password.back() == '\r') {
            password.pop_back();
        }
        const bool nuovo = web::AggiungiUtente(file, opzioni.nome, password);
        routines::RegistraEvento(
            std::string(nuovo ? "utente web aggiunto: " : "password web cambiata: ") +
            opzioni.nome + ", file " + file);
        out << (nuovo ? "Utente " + opzioni.nome + " aggiunto al file " + file + ".\n"
                      : "Password dell'utente " + opzioni.nome + " cambiata nel file " + file +
                            ".\n");
    } catch (const std::exception& e) {
        err << "tableau user add: " << SuUnaRiga(e.what()) << '\n';
        if (EsitoDi(e) == kFallito) {
            routines::RegistraErrore("tableau user add: " + SuUnaRiga(e.what()));
        }
        return EsitoDi(e);
    }
    return kEseguito;
}

int RimuoviUtenteWeb(const OpzioniUtente& opzioni, std::ostream& out, std::ostream& err,
                     const routines::Impostazioni& impostazioni) {
    const std::string file = FileUtentiImpostato(impostazioni);
    try {
        if (!web::RimuoviUtente(file, opzioni.nome)) {
            err << "tableau user remove: nessun utente " << opzioni.nome << " nel file " << file
                << ".\n";
            return kFallito;
        }
        routines::RegistraEvento("utente web rimosso: " + opzioni.nome + ", file " + file);
        out << "Utente " << opzioni.nome << " rimosso dal file " << file << ".\n";
    } catch (const std::exception& e) {
        err << "tableau user remove: " << SuUnaRiga(e.what()) << '\n';
        if (EsitoDi(e) == kFallito) {
            routines::RegistraErrore("tableau user remove: " + SuUnaRiga(e.what()));
        }
        return EsitoDi(e);
    }
    return kEseguito;
}

}  // namespace tableau::app
