#include <algorithm>
#include <iostream>
#include <string_view>

#include "app/cli_commands.h"
#include "app/cli_serve.h"
#include "app/startup.h"
#include "export/qt/format_table.h"
#include "routines/errors.h"
#include "routines/settings.h"
#include "routines/system_log.h"

namespace tableau::app {
namespace {

constexpr std::string_view kUso = R"(Uso: tableau [COMANDO [OPZIONI]]

Senza comando apre la finestra di richiesta del tableau. La cartella corrente è la
cartella dei dati: vi si trovano gli archivi dell'albergo e vi si scrivono i file della
postazione (la variabile d'ambiente PCLocal dà il numero della postazione).

Comandi:
  chart --hotel H --tableau T [--from PRIMA] [--to ULTIMA] --date GG/MM/AAAA
        Scrive il file del tableau (FD seguito dal valore di PCLocal) della settimana
        che inizia alla data indicata, per le camere da PRIMA a ULTIMA (confrontate come
        testo) del tableau T dell'albergo H; senza --from e --to tutte le camere del
        tableau. Un albergo o un tableau inesistente, o un intervallo senza camere del
        tableau, è rifiutato (codice 2) e il file del tableau resta com'era.
)";

// The rest of the usage, after the commands of the output formats.
constexpr std::string_view kUsoComandi =
    R"(  mail --recipient INDIRIZZO [--recipient INDIRIZZO ...] [--format pdf|xlsx|text|totals]
       [--hotel H] [--tableau T] [--from PRIMA] [--to ULTIMA] [--date GG/MM/AAAA]
        Scrive il file del tableau come chart e lo invia in un solo messaggio con il
        programma sendmail del sistema: nel testo le date della settimana, i totali CC,
        MP e PC e gli arrivi di ogni giorno; in allegato il PDF (pdf, predefinito), la cartella di
        lavoro (xlsx) o il tableau come testo UTF-8 (text); totals invia solo i totali.
        Senza --date la settimana inizia oggi; senza --from e --to tutte le camere del
        tableau.
        Destinatari, formato e richiesta possono venire dal file delle impostazioni
        (mail.recipients, separati da virgole, mail.format, mail.hotel, mail.tableau,
        mail.from, mail.to); il mittente dalla chiave mittente (altrimenti tableau@ e il
        nome completo della macchina), il programma dalla chiave sendmail
        (/usr/sbin/sendmail -t -oi). Un indirizzo non valido o nessun destinatario:
        codice 2, senza scrivere nulla; sendmail assente o in errore: codice 1.
  serve [--listen INDIRIZZO:PORTA] [--insecure]
        Serve il tableau come pagine web in sola lettura, dietro un accesso con utente e
        password (tableau user), su 127.0.0.1:8080 o sull'indirizzo di --listen (chiave
        web.listen); in HTTPS con un certificato (chiavi web.cert e web.key). Senza
        certificato ascolta solo su un indirizzo locale, a meno di --insecure. Legge gli
        archivi a ogni pagina e non scrive nulla.
  user add NOME
        Aggiunge un utente delle pagine web (o gli cambia la password), leggendo la
        password dalla prima riga dello standard input; nel file degli utenti
        (/etc/tableau/utenti, chiave web.users) resta solo il suo hash Argon2id.
  user remove NOME
        Toglie un utente dal file degli utenti.
  print --destination NOME [--printer NOME] [--hotel H] [--normal] [--landscape] [--duplex]
        Stampa il file del tableau sulla destinazione indicata.
  print --list
        Elenca le stampanti installate.
  list [--hotel H [--tableau T]]
        Elenca gli alberghi, i loro tableau e le camere di ogni tableau con il tipo e la
        classe, dagli archivi della cartella o dal server: i numeri da scrivere nelle
        impostazioni (mail.hotel, mail.tableau, mail.from, mail.to).
  check Controlla la cartella dei dati: elenca ogni archivio che il programma legge con
        il suo formato, le tabelle lette con il numero di righe e i campi letti, presenti
        o mancanti; termina con l'elenco dei problemi (codice di uscita 1 se ve ne sono).
        Con un server controlla invece il server: la versione, l'ultima sincronizzazione,
        le dieci tabelle dello schema con le righe, i campi e il permesso di leggerle.
        Controlla anche le chiavi dei file delle impostazioni, le impostazioni della posta
        (se ve ne sono) e le code di stampa delle destinazioni.
  sync [--history MESI] [--force]
        Copia le dieci tabelle dell'albergo dalla cartella dei dati nello schema del server
        della catena (--server e --schema, obbligatorio il server), tutte o nessuna; scrive
        solo sul server primario. Con --history (o --storico) copia degli ospiti e delle
        prenotazioni solo i soggiorni finiti negli ultimi MESI mesi o dopo. Rifiuta (codice di uscita 1,
        server invariato) una tabella senza un campo che il tableau legge e una tabella che
        sul server resterebbe vuota o con meno della metà delle righe che ha ora;
        --force copia anche queste ultime.

Opzioni generali (prima o dopo il comando):
  -C, --data-dir CARTELLA   la cartella dei dati (al posto della cartella corrente;
                            anche --cartella)
  --server CONNESSIONE      il server PostgreSQL della catena, come stringa di connessione
                            di libpq ("host=... port=... dbname=... user=...") o URI
                            (postgresql://...): le dieci tabelle dell'albergo si leggono
                            dallo schema del server invece che dagli archivi della cartella;
                            vuoto, gli archivi della cartella. La password va in ~/.pgpass,
                            mai nella stringa di connessione.
  --schema NOME             lo schema della sede sul server (public): lettere, cifre e "_"
  -h, --help                mostra questo aiuto

Impostazioni, ciascuna sopra la precedente: il file dell'ufficio /etc/tableau.conf, il
file dell'utente ~/.config/tableau/tableau.conf (righe "chiave = valore": cartella,
postazione, server, schema, server.max-age, le ore che possono avere i dati del server
(36), e le chiavi di tableau mail; un valore può stare tra virgolette), l'ambiente
(TABLEAU_CARTELLA, PCLocal, TABLEAU_SERVER, TABLEAU_SCHEMA) e le opzioni --cartella,
--server, --schema.
tableau check dice da dove viene ciascuna. Ogni tableau, stampa, esportazione,
sincronizzazione e invio e ogni errore sono registrati nel registro di sistema
(journalctl -t tableau).

Gli archivi possono essere file Jet (.mdb di Access, anche .accdb) o SQLite.
Variabili d'ambiente:
  PCLocal               numero della postazione
  TABLEAU_CARTELLA      la cartella dei dati
  TABLEAU_SERVER        il server PostgreSQL della catena (come --server)
  TABLEAU_SCHEMA        lo schema della sede sul server (come --schema)
)";

// The end of the usage, after the tuning variables.
constexpr std::string_view kUsoFine = R"(
Codici di uscita: 0 eseguito, 1 errore degli archivi o del sistema, 2 richiesta rifiutata.
)";

// The whole usage: the commands of the output formats from the table of formats, the tuning
// variables from the settings module.
std::string Uso() {
    std::string uso(kUso);
    for (const exports::FormatoUscita* formato : exports::FormatiUscita()) {
        uso += "  " + std::string(formato->nome) + (formato->conUscita ? " [--output FILE]" : "") +
               (formato->conCarta ? " [--a3]" : "") + "\n";
        std::string_view aiuto = formato->aiuto;
        while (!aiuto.empty()) {
            const auto fine = aiuto.find('\n');
            uso += "        " + std::string(aiuto.substr(0, fine)) + "\n";
            aiuto = fine == std::string_view::npos ? std::string_view() : aiuto.substr(fine + 1);
        }
    }
    uso += kUsoComandi;
    for (const routines::Regolazione& regolazione : routines::Regolazioni()) {
        std::string riga = "  " + std::string(regolazione.nome);
        riga.resize(std::max<std::size_t>(riga.size() + 1, 24), ' ');
        uso += riga + std::string(regolazione.descrizione) + "\n";
    }
    uso += kUsoFine;
    return uso;
}

}  // namespace

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
int EseguiComando(const std::string& comando, const Argomenti& argomenti, std::ostream& out,
                  std::ostream& err, const routines::Impostazioni& impostazioni);
}  // namespace

int Esegui(int argc, char** argv, std::ostream& out, std::ostream& err) {
    OpzioniGenerali generali;
    try {
        generali = LeggiOpzioniGenerali(Argomenti(argv + 1, argv + argc));
    } catch (const routines::RichiestaRifiutata& e) {
        err << "tableau: " << e.what() << " Usare tableau --help.\n";
        return kRifiutato;
    }
    if (generali.resto.empty()) {
        err << Uso();
        return kRifiutato;
    }
    const std::string comando = generali.resto.front();
    const Argomenti argomenti(generali.resto.begin() + 1, generali.resto.end());
    if (comando == "-h" || comando == "--help" || comando == "help") {
        out << Uso();
        return kEseguito;
    }
    routines::Impostazioni impostazioni;
    try {
        impostazioni = ApplicaImpostazioni(generali);
    } catch (const std::exception& e) {
        err << "tableau: " << e.what() << '\n';
        if (EsitoDi(e) == kFallito) {
            routines::RegistraErrore(e.what());
        }
        return EsitoDi(e);
    }
    // What the settings files hold that is not used: said once, the command goes on; tableau
    // check lists it among its problems.
    if (comando != "check") {
        for (const std::string& avviso : impostazioni.avvisi) {
            err << "tableau: " << avviso << '\n';
        }
    }
    // Every failure reaching here is reported like the others: message, log, exit status
    // 1 or 2; nothing ends the program with an abort.
    try {
        return EseguiComando(comando, argomenti, out, err, impostazioni);
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

namespace {

int EseguiComando(const std::string& comando, const Argomenti& argomenti, std::ostream& out,
                  std::ostream& err, const routines::Impostazioni& impostazioni) {
    if (comando == "chart") {
        return ComandoChart(argomenti, out, err, impostazioni);
    }
    if (comando == "check") {
        return ComandoCheck(argomenti, out, err, impostazioni);
    }
    if (comando == "list") {
        return ComandoList(argomenti, out, err, impostazioni);
    }
    for (const exports::FormatoUscita* formato : exports::FormatiUscita()) {
        if (comando == formato->nome) {
            return ComandoEsporta(*formato, argomenti, out, err, impostazioni);
        }
    }
    if (comando == "print") {
        return ComandoPrint(argomenti, out, err, impostazioni);
    }
    if (comando == "sync") {
        return ComandoSync(argomenti, out, err, impostazioni);
    }
    if (comando == "mail") {
        return ComandoMail(argomenti, out, err, impostazioni);
    }
    if (comando == "serve") {
        OpzioniServi opzioni;
        for (std::size_t i = 0; i < argomenti.size(); ++i) {
            if (argomenti[i] == "--insecure") {
                opzioni.insicuro = true;
            } else if (argomenti[i] == "--listen" && i + 1 < argomenti.size()) {
                opzioni.ascolto = argomenti[++i];
            } else if (argomenti[i].starts_with("--listen=")) {
                opzioni.ascolto = argomenti[i].substr(9);
            } else {
                err << "tableau serve: opzione non valida \"" << argomenti[i]
                    << "\".\nUso: tableau serve [--listen INDIRIZZO:PORTA] [--insecure]\n";
                return kRifiutato;
            }
        }
        return Servi(opzioni, out, err, impostazioni);
    }
    if (comando == "user") {
        if (argomenti.size() == 2 && argomenti[0] == "add") {
            return AggiungiUtenteWeb(OpzioniUtente{argomenti[1]}, std::cin, out, err, impostazioni);
        }
        if (argomenti.size() == 2 && argomenti[0] == "remove") {
            return RimuoviUtenteWeb(OpzioniUtente{argomenti[1]}, out, err, impostazioni);
        }
        err << "Uso: tableau user add NOME (la password sullo standard input)\n"
               "     tableau user remove NOME\n";
        return kRifiutato;
    }
    err << "tableau: comando sconosciuto \"" << comando << "\". Usare tableau --help.\n";
    return kRifiutato;
}

}  // namespace
}  // namespace tableau::app
