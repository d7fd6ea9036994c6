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

int ComandoSync(const OpzioniSync& lette, std::ostream& out, std::ostream& err,
                const routines::Impostazioni& impostazioni) {
    db::server::SyncOptions opzioni;
    opzioni.historyMonths = lette.storico;
    opzioni.force = lette.forza;
    std::optional<db::ServerSetting> server;
    try {
        server = ServerImpostato(impostazioni);
    } catch (const routines::RichiestaRifiutata& e) {
        err << "tableau sync: " << e.what() << '\n';
        return kRifiutato;
    }
    if (!server) {
        err << "tableau sync: manca il server: indicarlo con --server (o con TABLEAU_SERVER, o "
               "con la chiave server delle impostazioni).\n";
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
