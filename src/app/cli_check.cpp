// tableau check: the administrator's report on the data directory (the current directory)
// before first use. Every database file the program reads, its format, every table read in
// it with its rows and every field read in that table, present or missing; then the list of
// problems and the summary.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include "app/cli_commands.h"
#include "app/startup.h"
#include "chart/chart_file.h"
#include "chart/data_directory_check.h"
#include "db/data_source.h"
#include "db/hotel_schema.h"
#include "db/server/server_connection.h"
#include "db/server/server_schema.h"
#include "db/sql_text.h"
#include "print/cups_queue.h"
#include "print/print_job.h"
#include "print/print_settings.h"
#include "routines/codepage.h"
#include "routines/settings.h"
#include "routines/text.h"

namespace tableau::app {

namespace {

std::string Righe(std::size_t n) {
    return ConPuntiMigliaia(n) + (n == 1 ? " riga" : " righe");
}

// Width of the name column: every name, indented by its level, plus two spaces.
std::size_t LarghezzaNomi(const chart::RapportoArchivi& rapporto) {
    std::size_t larghezza = 0;
    for (const auto& archivio : rapporto.archivi) {
        larghezza = std::max(larghezza, archivio.nome.size());
        for (const auto& tabella : archivio.tabelle) {
            larghezza = std::max(larghezza, 2 + tabella.nome.size());
            for (const auto& campo : tabella.campi) {
                larghezza = std::max(larghezza, 4 + campo.nome.size());
            }
        }
    }
    return larghezza + 2;
}

void Riga(std::ostream& out, std::size_t larghezza, std::size_t rientro, const std::string& nome,
          const std::string& valore) {
    std::string testo = std::string(rientro, ' ') + nome;
    testo.resize(std::max(larghezza, testo.size() + 1), ' ');
    out << testo << valore << '\n';
}

// The setting lines: each value and where it came from; a server by its hosts, ports and
// database only, never its password.
void ScriviImpostazioni(std::ostream& out, const std::filesystem::path& cartellaDati,
                        const routines::Impostazioni& impostazioni,
                        const std::optional<db::ServerSetting>& server) {
    out << "Cartella dei dati: " << cartellaDati.string() << " ("
        << (impostazioni.cartellaDati ? "da " + impostazioni.cartellaDati->origine
                                      : std::string("la cartella corrente"))
        << ")\n";
    out << "Postazione: "
        << (impostazioni.postazione
                ? impostazioni.postazione->valore + " (da " + impostazioni.postazione->origine + ")"
                : std::string("nessuna (PCLocal non impostata)"))
        << '\n';
    // The tuning variables: those set, with their value; the others at their default.
    std::string regolate;
    for (const routines::Regolazione& regolazione : routines::Regolazioni()) {
        if (const auto valore = routines::LeggiRegolazione(regolazione.nome)) {
            regolate += (regolate.empty() ? "" : ", ") + std::string(regolazione.nome) + " = " +
                        routines::InUtf8(routines::InCp1252(*valore));
        }
    }
    out << "Regolazioni: " << (regolate.empty() ? std::string("tutte predefinite") : regolate)
        << " (tableau --help le elenca)\n";
    if (!server) {
        out << "Server: nessuno, le tabelle dell'albergo si leggono dagli archivi della cartella"
            << (impostazioni.server ? " (da " + impostazioni.server->origine + ")" : std::string())
            << "\n";
        return;
    }
    std::string indirizzo;
    try {
        indirizzo = db::server::DescribeServers(server->conninfo);
    } catch (const db::ErroreServer&) {
        indirizzo = "indirizzo non valido";
    }
    out << "Server: " << indirizzo << " (da " << impostazioni.server->origine << ")\n";
    out << "Schema: " << server->schema << " ("
        << (impostazioni.schema ? "da " + impostazioni.schema->origine : std::string("predefinito"))
        << ")\n";
    out << "Et\xC3\xA0 massima dei dati del server: " << impostazioni.etaMassimaDati.count()
        << " ore ("
        << (impostazioni.etaMassima ? "server.max-age da " + impostazioni.etaMassima->origine
                                    : std::string("predefinita"))
        << ")\n";
}

// The site's schema on the server: version, last sync, and for each of the ten tables
// whether it is there and the role may read it, its rows and the fields the chart reads.
// Returns the problems found. Throws db::ErroreServer when the server cannot be reached.
std::vector<std::string> ControllaServer(std::ostream& out, const db::ServerSetting& server,
                                         const std::filesystem::path& cartellaDati) {
    db::server::ServerConnection connessione(server.conninfo);
    const std::string nome = connessione.server();
    const std::string ruolo(connessione.exec("SELECT current_user").text(0, 0));
    const std::string versione(connessione.exec("SHOW server_version").text(0, 0));
    out << "Server " << nome << ": PostgreSQL " << versione
        << (connessione.inRecovery() ? ", standby in sola lettura" : ", primario") << ", ruolo "
        << ruolo << '\n';

    std::vector<std::string> problemi;
    const std::string dove = "Server " + nome + ", schema " + server.schema + ": ";
    const auto schema = connessione.exec(
        "SELECT has_schema_privilege(oid, 'USAGE') FROM pg_namespace WHERE nspname = $1",
        {server.schema});
    if (schema.rows() == 0) {
        out << "Schema " << server.schema << ": MANCANTE\n";
        problemi.push_back(dove + "lo schema non esiste (mai sincronizzato?)");
        return problemi;
    }
    const bool usabile = schema.text(0, 0) == "t";
    if (!usabile) {
        problemi.push_back(dove + "il ruolo " + ruolo + " non pu\xC3\xB2 usare lo schema");
    }

    // The last sync, as the chart's readers see it.
    try {
        db::DataSource sorgente(cartellaDati, server);
        const auto ultima = sorgente.lastSync();
        out << "Ultima sincronizzazione: "
            << (ultima ? ultima->when + ", dalla cartella " + ultima->directory
                       : std::string("nessuna registrata"))
            << '\n';
    } catch (const std::exception& e) {
        out << "Ultima sincronizzazione: non letta (" << SuUnaRiga(e.what()) << ")\n";
    }
    out << "\nTabelle dello schema " << server.schema << "\n\n";

    std::size_t larghezza = 0;
    for (const db::server::ServerTable& tabella : db::server::ServerTables()) {
        larghezza = std::max(larghezza, tabella.table.size());
        for (const auto& campo : db::tableDescription(tabella.table).columns) {
            larghezza = std::max(larghezza, 2 + campo.name.size());
        }
    }
    larghezza += 2;
    for (const db::server::ServerTable& tabella : db::server::ServerTables()) {
        const std::string nomeTabella(tabella.table);
        // The sync keeps the file's own spelling of the name; the program matches without
        // regard to letter case, as in the files.
        const auto trovata = connessione.exec(
            "SELECT c.oid::text, c.relname, has_table_privilege(c.oid, 'SELECT') "
            "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
            "WHERE n.nspname = $1 AND lower(c.relname) = lower($2) "
            "AND c.relkind IN ('r', 'p', 'v', 'm', 'f') ORDER BY c.relname = $2 DESC LIMIT 1",
            {server.schema, nomeTabella});
        if (trovata.rows() == 0) {
            Riga(out, larghezza, 0, nomeTabella, "MANCANTE");
            problemi.push_back(dove + "manca la tabella " + nomeTabella);
            continue;
        }
        const std::string oid(trovata.text(0, 0));
        const std::string nomeSulServer(trovata.text(0, 1));
        const bool leggibile = usabile && trovata.text(0, 2) == "t";
        if (leggibile) {
            const auto righe =
                connessione.exec("SELECT count(*) FROM " + db::QuoteIdentifier(server.schema) +
                                 "." + db::QuoteIdentifier(nomeSulServer));
            Riga(out, larghezza, 0, nomeTabella,
                 Righe(static_cast<std::size_t>(std::stoll(std::string(righe.text(0, 0))))));
        } else {
            Riga(out, larghezza, 0, nomeTabella, "NON LEGGIBILE dal ruolo " + ruolo);
            problemi.push_back(dove + "il ruolo " + ruolo + " non pu\xC3\xB2 leggere la tabella " +
                               nomeTabella);
        }
        const auto colonne = connessione.exec(
            "SELECT attname FROM pg_attribute WHERE attrelid = $1::oid AND attnum > 0 "
            "AND NOT attisdropped",
            {oid});
        for (const auto& campo : db::tableDescription(tabella.table).columns) {
            bool presente = false;
            for (int r = 0; r < colonne.rows() && !presente; ++r) {
                presente = routines::StessoNome(colonne.text(r, 0), campo.name);
            }
            Riga(out, larghezza, 2, std::string(campo.name), presente ? "presente" : "MANCANTE");
            if (!presente) {
                problemi.push_back(dove + "Campo \"" + std::string(campo.name) +
                                   "\" non trovato nella tabella " + nomeTabella);
            }
        }
    }
    return problemi;
}

void ScriviRapporto(std::ostream& out, const chart::RapportoArchivi& rapporto) {
    const std::size_t larghezza = LarghezzaNomi(rapporto);
    for (const auto& archivio : rapporto.archivi) {
        if (!archivio.formato) {
            Riga(out, larghezza, 0, archivio.nome, "ERRORE: " + archivio.errore);
            continue;
        }
        Riga(out, larghezza, 0, archivio.nome,
             std::string("formato ") + db::formatName(*archivio.formato));
        for (const auto& tabella : archivio.tabelle) {
            if (!tabella.righe) {
                Riga(out, larghezza, 2, tabella.nome, "ERRORE: " + tabella.errore);
                continue;
            }
            Riga(out, larghezza, 2, tabella.nome,
                 Righe(*tabella.righe) +
                     (tabella.righeDichiarate
                          ? " (l'archivio ne dichiara " +
                                ConPuntiMigliaia(*tabella.righeDichiarate) + ": DANNEGGIATO?)"
                          : std::string()));
            for (const auto& campo : tabella.campi) {
                Riga(out, larghezza, 4, campo.nome, campo.presente ? "presente" : "MANCANTE");
            }
        }
    }
}

// The settings of tableau mail that are set, each with where it came from.
void ScriviImpostazioniPosta(std::ostream& out, const routines::Impostazioni& impostazioni) {
    const std::pair<const char*, const std::optional<routines::Impostazione>*> chiavi[] = {
        {"mail.recipients", &impostazioni.destinatari},
        {"mail.format", &impostazioni.formatoPosta},
        {"mail.hotel", &impostazioni.hotelPosta},
        {"mail.tableau", &impostazioni.tableauPosta},
        {"mail.from", &impostazioni.primaCameraPosta},
        {"mail.to", &impostazioni.ultimaCameraPosta},
        {"mittente", &impostazioni.mittente},
        {"sendmail", &impostazioni.sendmail}};
    for (const auto& [chiave, impostazione] : chiavi) {
        if (*impostazione) {
            out << "Posta, " << chiave << ": " << (*impostazione)->valore << " (da "
                << (*impostazione)->origine << ")\n";
        }
    }
}

// The settings of the web view (tableau serve) that are set, each with where it came from.
void ScriviImpostazioniWeb(std::ostream& out, const routines::Impostazioni& impostazioni) {
    const std::pair<const char*, const std::optional<routines::Impostazione>*> chiavi[] = {
        {"web.listen", &impostazioni.ascoltoWeb},
        {"web.cert", &impostazioni.certificatoWeb},
        {"web.key", &impostazioni.chiaveWeb},
        {"web.users", &impostazioni.utentiWeb}};
    for (const auto& [chiave, impostazione] : chiavi) {
        if (*impostazione) {
            out << "Web, " << chiave << ": " << (*impostazione)->valore << " (da "
                << (*impostazione)->origine << ")\n";
        }
    }
}

// What a chart run of the workstation would meet before reading any table: a number that
// cannot name a file, a data directory where the chart cannot be written. The directory
// is tried with a file written and removed again beside the chart file.
std::vector<std::string> ProblemiPostazione(const routines::Postazione& postazione) {
    std::vector<std::string> problemi;
    try {
        (void)postazione.numero();
    } catch (const routines::ErrorePostazione& e) {
        problemi.emplace_back(e.what());
        return problemi;
    }
    const std::filesystem::path prova =
        postazione.percorso(".prova-" + chart::NomeFileTableau(postazione));
    const int fd = ::open(prova.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        problemi.push_back(
            "Nella cartella dei dati " + postazione.cartellaDati().string() +
            " non si pu\xC3\xB2 scrivere il file del tableau: " + std::strerror(errno));
        return problemi;
    }
    ::close(fd);
    ::unlink(prova.c_str());
    return problemi;
}

// The print destinations of the Stampanti table whose output would not be found when
// printed, as the print job reads their line (print::RisolviImpostazioni): a page printer
// named by a queue the system does not have (the chart would go to the current printer);
// a raw output with no line, a device that cannot be written, a folder, a file in a folder
// that does not exist, or a bare name that is no queue (it would become a file in the data
// directory). A page printer without a line, or a PDF file, is what the destination means.
// Throws db::ErroreArchivio when the printers' files cannot be read.
std::vector<std::string> ProblemiDestinazioni(const std::filesystem::path& cartellaDati) {
    std::vector<std::string> problemi;
    std::optional<std::vector<std::string>> code;
    const auto coda = [&](const std::string& nome) {
        if (!code) {
            code = print::CodeDiStampa();
        }
        return std::find(code->begin(), code->end(), nome) != code->end();
    };
    const auto nessunaCoda = [&](const std::string& nome) {
        return "\"" + routines::InUtf8(nome) + "\" non \xC3\xA8 una coda di stampa del sistema";
    };
    for (const std::string& destinazione : print::ElencoDestinazioni(cartellaDati)) {
        print::OpzioniStampa opzioni;
        opzioni.destinazione = destinazione;
        const print::ImpostazioniStampa stampa = print::RisolviImpostazioni(cartellaDati, opzioni);
        const std::string linea = routines::TogliSpazi(stampa.uscita);
        const std::string dove =
            "Destinazione di stampa \"" + routines::InUtf8(destinazione) + "\": ";
        if (stampa.stampanteGrafica()) {
            const bool pdf =
                linea.size() > 4 && routines::StessoNome(linea.substr(linea.size() - 4), ".pdf");
            if (!linea.empty() && !pdf && !coda(stampa.uscita)) {
                problemi.push_back(dove + "la stampante " + nessunaCoda(stampa.uscita) +
                                   " (si stamperebbe sulla stampante corrente)");
            }
            continue;
        }
        if (stampa.uscita.empty()) {
            problemi.push_back(dove + "nessuna uscita indicata per la stampa diretta");
            continue;
        }
        // As print::ApriUscitaGrezza reads the line.
        const std::filesystem::path percorso =
            (cartellaDati / std::filesystem::path(routines::InUtf8(stampa.uscita)))
                .lexically_normal();
        std::error_code errore;
        const auto stato = std::filesystem::status(percorso, errore);
        if (!errore && std::filesystem::is_directory(stato)) {
            problemi.push_back(dove + percorso.string() + " \xC3\xA8 una cartella");
        } else if (!errore && std::filesystem::exists(stato) &&
                   !std::filesystem::is_regular_file(stato)) {
            if (::access(percorso.c_str(), W_OK) != 0) {
                problemi.push_back(dove + "il dispositivo " + percorso.string() +
                                   " non si pu\xC3\xB2 scrivere: " + std::strerror(errno));
            }
        } else if (stampa.uscita.find('/') == std::string::npos) {
            // A bare name is a queue; one with an extension ("stampa.txt") a file.
            if (!coda(stampa.uscita) && stampa.uscita.find('.') == std::string::npos) {
                problemi.push_back(dove + nessunaCoda(stampa.uscita) + " (si scriverebbe il file " +
                                   percorso.string() + ")");
            }
        } else if (!std::filesystem::is_directory(percorso.parent_path(), errore)) {
            problemi.push_back(dove + "la cartella " + percorso.parent_path().string() +
                               " del file " + percorso.filename().string() + " non esiste");
        }
    }
    return problemi;
}

}  // namespace

int ComandoCheck(const OpzioniCheck& /*opzioni*/, std::ostream& out, std::ostream& err,
                 const routines::Impostazioni& impostazioni) {
    const auto server = ServerImpostato(impostazioni);
    chart::RapportoArchivi rapporto;
    std::filesystem::path cartellaDati;
    try {
        cartellaDati = CartellaDati(impostazioni);
        rapporto = chart::RapportoVerificaArchivi(cartellaDati);
    } catch (const std::exception& e) {
        err << "tableau check: " << e.what() << '\n';
        return kFallito;
    }
    if (server) {
        // The hotel tables are the server's: the directory keeps the workstation's own files.
        std::erase_if(rapporto.archivi, [](const chart::RapportoArchivi::Archivio& archivio) {
            return db::server::IsServerFile(archivio.nome);
        });
    }
    ScriviImpostazioni(out, cartellaDati, impostazioni, server);
    ScriviImpostazioniPosta(out, impostazioni);
    ScriviImpostazioniWeb(out, impostazioni);
    out << '\n';
    // What the settings files hold that the program does not use comes first.
    std::vector<std::string> problemi = impostazioni.avvisi;
    if (server) {
        try {
            for (auto& problema : ControllaServer(out, *server, CartellaDati(impostazioni))) {
                problemi.push_back(std::move(problema));
            }
        } catch (const std::exception& e) {
            err << "tableau check: " << SuUnaRiga(e.what()) << '\n';
            return kFallito;
        }
        out << "\nArchivi della postazione nella cartella " << cartellaDati.string() << "\n\n";
    } else {
        out << "Archivi della cartella " << cartellaDati.string() << "\n\n";
    }
    ScriviRapporto(out, rapporto);
    for (auto& problema : rapporto.problemi()) {
        problemi.push_back(std::move(problema));
    }
    for (auto& problema : ProblemiPostazione(PostazioneImpostata(impostazioni))) {
        problemi.push_back(std::move(problema));
    }
    for (auto& problema : ProblemiPosta(impostazioni)) {
        problemi.push_back(std::move(problema));
    }
    try {
        for (auto& problema : ProblemiDestinazioni(cartellaDati)) {
            problemi.push_back(std::move(problema));
        }
    } catch (const std::exception& e) {
        // A printers' file that cannot be read is in the report already.
        if (rapporto.problemi().empty()) {
            problemi.push_back("Destinazioni di stampa non controllate: " + SuUnaRiga(e.what()));
        }
    }
    if (problemi.empty()) {
        out << "\nControllo completato: tutti gli archivi, le tabelle e i campi sono presenti.\n";
        return kEseguito;
    }
    out << "\nProblemi:\n";
    for (const auto& problema : problemi) {
        out << "  - " << problema << '\n';
    }
    out << "Controllo completato: "
        << (problemi.size() == 1 ? std::string("1 problema trovato")
                                 : std::to_string(problemi.size()) + " problemi trovati")
        << ".\n";
    return kFallito;
}

}  // namespace tableau::app
