// tableau sync: the nightly copy of the data directory's hotel tables into the site's
// schema on the chain's server, one line per table copied.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "app/cli_commands.h"
#include "app/startup.h"
#include "db/errors.h"
#include "db/server/server_connection.h"
#include "db/server/server_sync.h"
#include "routines/clock.h"
#include "routines/errors.h"
#include "routines/system_log.h"

namespace tableau::app {
namespace {

constexpr std::string_view kUsoSync =
    "Uso: tableau sync --server CONNESSIONE [--schema NOME] [--history MESI] [--force]\n"
    "  --force  copia anche le tabelle che sul server resterebbero vuote o con meno della\n"
    "           met\xC3\xA0 delle righe (senza, la sincronizzazione le rifiuta)\n";

struct OpzioniSync {
    std::optional<int> storico;  // months
    bool forza = false;
};

// "--history MESI" (or its Italian name --storico), "--history=MESI", a whole number of months
// above zero, and "--force", each at most once; nothing else.
OpzioniSync LeggiOpzioniSync(const Argomenti& argomenti) {
    OpzioniSync opzioni;
    for (std::size_t i = 0; i < argomenti.size(); ++i) {
        const std::string& a = argomenti[i];
        if (a == "--force") {
            if (opzioni.forza) {
                throw routines::RichiestaRifiutata(
                    "l'opzione --force \xC3\xA8 indicata pi\xC3\xB9 volte.");
            }
            opzioni.forza = true;
            continue;
        }
        std::string valore;
        if (a == "--history" || a == "--storico") {
            if (i + 1 >= argomenti.size()) {
                throw routines::RichiestaRifiutata("manca il numero di mesi dopo --storico.");
            }
            valore = argomenti[++i];
        } else if (a.starts_with("--history=") || a.starts_with("--storico=")) {
            valore = a.substr(a.find('=') + 1);
        } else {
            throw routines::RichiestaRifiutata("opzione sconosciuta \"" + a + "\".");
        }
        if (opzioni.storico) {
            throw routines::RichiestaRifiutata(
                "l'opzione --storico \xC3\xA8 indicata pi\xC3\xB9 "
                "volte.");
        }
        const bool cifre = !valore.empty() && valore.size() <= 4 &&
                           valore.find_first_not_of("0123456789") == std::string::npos;
        if (!cifre || std::stoi(valore) == 0) {
            throw routines::RichiestaRifiutata(
                "--storico vuole un numero intero di mesi maggiore di zero (indicato: \"" + valore +
                "\").");
        }
        opzioni.storico = std::stoi(valore);
    }
    return opzioni;
}

// Today as the files write dates, "yyyymmdd".
std::string OggiComeNegliArchivi(const routines::Orologio& orologio) {
    const routines::DataOra adesso = orologio.adesso();
    char testo[16];
    std::snprintf(testo, sizeof testo, "%04d%02d%02d", adesso.anno, adesso.mese, adesso.giorno);
    return testo;
}

std::string Copiate(std::int64_t righe) {
    return ConPuntiMigliaia(righe) + (righe == 1 ? " riga copiata" : " righe copiate");
}

}  // namespace

std::string ConnessionePerScrivere(const std::string& conninfo) {
    // A later keyword overrides an earlier one, in a URI's parameters as in a keyword list.
    if (conninfo.starts_with("postgresql://") || conninfo.starts_with("postgres://")) {
        return conninfo + (conninfo.find('?') == std::string::npos ? "?" : "&") +
               "target_session_attrs=read-write";
    }
    return conninfo + " target_session_attrs=read-write";
}

int ComandoSync(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
                const routines::Impostazioni& impostazioni) {
    if (argomenti.size() == 1 && (argomenti[0] == "--help" || argomenti[0] == "-h")) {
        out << kUsoSync;
        return kEseguito;
    }
    db::server::SyncOptions opzioni;
    std::optional<db::ServerSetting> server;
    try {
        const OpzioniSync lette = LeggiOpzioniSync(argomenti);
        opzioni.historyMonths = lette.storico;
        opzioni.force = lette.forza;
        server = ServerImpostato(impostazioni);
        if (!server) {
            throw routines::RichiestaRifiutata(
                "manca il server: indicarlo con --server (o con TABLEAU_SERVER, o con la chiave "
                "server delle impostazioni).");
        }
    } catch (const routines::RichiestaRifiutata& e) {
        err << "tableau sync: " << e.what() << '\n' << kUsoSync;
        return kRifiutato;
    }
    const routines::OrologioDiSistema orologio;
    opzioni.today = OggiComeNegliArchivi(orologio);
    const auto cartellaDati = CartellaDati(impostazioni);
    std::string descrizione;
    try {
        descrizione = db::server::DescribeServers(server->conninfo);
        // A sync only writes: a standby listed first is passed over for the primary.
        db::server::ServerConnection connessione(ConnessionePerScrivere(server->conninfo));
        descrizione = connessione.server();
        const auto tabelle =
            db::server::SyncToServer(cartellaDati, connessione, server->schema, opzioni);
        std::int64_t totale = 0;
        for (const db::server::SyncedTable& tabella : tabelle) {
            out << tabella.table << ": " << Copiate(tabella.rows) << ".\n";
            totale += tabella.rows;
        }
        const std::string esito = std::to_string(tabelle.size()) + " tabelle, " + Copiate(totale) +
                                  " dalla cartella " + cartellaDati.string() + " nello schema " +
                                  server->schema + " del server " + descrizione;
        out << "Sincronizzazione completata: " << esito << ".\n";
        routines::RegistraEvento("sincronizzazione completata: " + esito);
        return kEseguito;
    } catch (const std::exception& e) {
        std::string messaggio = SuUnaRiga(e.what());
        if (dynamic_cast<const db::ErroreRiduzione*>(&e) != nullptr) {
            // What the administrator reading the log can do about it.
            messaggio += "; se la cartella \xC3\xA8 giusta, ripetere con --force";
        }
        err << "tableau sync: " << messaggio << '\n';
        routines::RegistraErrore("sincronizzazione nello schema " + server->schema +
                                 " del server " + descrizione + " non riuscita: " + messaggio);
        return EsitoDi(e);
    }
}

}  // namespace tableau::app
