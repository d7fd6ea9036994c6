// The whole command line: read (app/command_line.h), the settings applied, the command run;
// the one place that reports a command's failure, logs it and maps it to an exit status.
#include <optional>
#include <ostream>
#include <string>

#include "app/cli_commands.h"
#include "app/command_line.h"
#include "app/startup.h"
#include "routines/errors.h"
#include "routines/settings.h"
#include "routines/system_log.h"

namespace tableau::app {

std::string SuUnaRiga(std::string messaggio) {
    std::string riga;
    for (std::size_t i = 0; i < messaggio.size(); ++i) {
        const char c = messaggio[i];
        if (c == '\n' && (i == 0 || messaggio[i - 1] != '\r')) {
            riga += ' ';
            while (i + 1 < messaggio.size() &&
                   (messaggio[i + 1] == '\t' || messaggio[i + 1] == ' ')) {
                ++i;
            }
        } else {
            riga += c;
        }
    }
    return riga;
}

int EsitoDi(const std::exception& errore) {
    return dynamic_cast<const routines::RichiestaRifiutata*>(&errore) != nullptr ? kRifiutato
                                                                                 : kFallito;
}

namespace {

// Reads the line; the help asked for, or a fault of the line, ends the run here: the status,
// else none and the command runs.
std::optional<int> LeggiRiga(RigaDiComando& riga, const Argomenti& argomenti, std::ostream& out,
                             std::ostream& err) {
    try {
        riga.leggi(argomenti);
    } catch (const routines::RichiestaRifiutata& e) {
        err << e.what() << '\n';
        // An unattended run (a timer's, a cron job's) says in the log why it did nothing.
        const std::string messaggio = e.what();
        routines::RegistraErrore("riga di comando rifiutata: " +
                                 messaggio.substr(0, messaggio.find('\n')));
        return kRifiutato;
    }
    if (const auto aiuto = riga.aiutoChiesto()) {
        out << *aiuto;
        return kEseguito;
    }
    if (riga.comando().empty()) {
        err << riga.aiuto();
        return kRifiutato;
    }
    return std::nullopt;
}

// Runs the command read: every failure reaching here is reported like the others (message,
// log, exit status 1 or 2); nothing ends the program with an abort.
int EseguiComando(const RigaDiComando& riga, std::ostream& out, std::ostream& err,
                  const routines::Impostazioni& impostazioni, const routines::Orologio& orologio) {
    const std::string comando = riga.comando();
    try {
        return riga.esegui(out, err, impostazioni, orologio);
    } catch (const std::exception& e) {
        err << "tableau " << comando << ": " << SuUnaRiga(e.what()) << '\n';
        routines::RegistraErrore("tableau " + comando + ": " + SuUnaRiga(e.what()));
        return EsitoDi(e);
    } catch (...) {
        err << "tableau " << comando << ": errore imprevisto.\n";
        routines::RegistraErrore("tableau " + comando + ": errore imprevisto");
        return kFallito;
    }
}

}  // namespace

int Esegui(int argc, char** argv, std::ostream& out, std::ostream& err) {
    RigaDiComando riga;
    if (const auto stato = LeggiRiga(riga, Argomenti(argv + 1, argv + argc), out, err)) {
        return *stato;
    }
    routines::Impostazioni impostazioni;
    try {
        impostazioni = ApplicaImpostazioni(riga.generali());
    } catch (const std::exception& e) {
        err << "tableau: " << e.what() << '\n';
        if (EsitoDi(e) == kFallito) {
            routines::RegistraErrore(e.what());
        }
        return EsitoDi(e);
    }
    // What the settings files hold that is not used: said once, the command goes on; tableau
    // check lists it among its problems.
    if (riga.comando() != "check") {
        for (const std::string& avviso : impostazioni.avvisi) {
            err << "tableau: " << avviso << '\n';
        }
    }
    return EseguiComando(riga, out, err, impostazioni, routines::OrologioDiSistema());
}

int EseguiCon(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
              const routines::Impostazioni& impostazioni, const routines::Orologio& orologio) {
    RigaDiComando riga;
    if (const auto stato = LeggiRiga(riga, argomenti, out, err)) {
        return *stato;
    }
    return EseguiComando(riga, out, err, impostazioni, orologio);
}

}  // namespace tableau::app
