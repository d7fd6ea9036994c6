#include <iostream>
#include <string_view>

#include "app/cli_commands.h"
#include "routines/errors.h"

namespace tableau::app {
namespace {

constexpr std::string_view kUso = R"(Uso: tableau [COMANDO [OPZIONI]]

Senza comando apre la finestra di richiesta del tableau. La cartella corrente è la
cartella dei dati: vi si trovano gli archivi dell'albergo e vi si scrivono i file della
postazione (la variabile d'ambiente PCLocal dà il numero della postazione).

Comandi:
  chart --hotel H --tableau T --from PRIMA --to ULTIMA --date GG/MM/AAAA
        Scrive il file del tableau (FD seguito dal valore di PCLocal) della settimana
        che inizia alla data indicata, per le camere da PRIMA a ULTIMA (confrontate come
        testo) del tableau T dell'albergo H.
  csv   Converte il file del tableau nel file per il foglio di calcolo (fd<PCLocal>.csv).
  pdf [--output FILE] [--a3]
        Impagina il file del tableau in un PDF (fd<PCLocal>.pdf, o FILE): pagine A4
        orizzontali, A3 con --a3, con la griglia, i colori degli stati e i totali.
  xlsx [--output FILE]
        Scrive il file del tableau in una cartella di lavoro per il foglio di calcolo
        (fd<PCLocal>.xlsx, o FILE) con i fogli Tableau, Dati e Totali.
  print --destination NOME [--printer NOME] [--hotel H] [--normal] [--landscape] [--duplex]
        Stampa il file del tableau sulla destinazione indicata.
  print --list
        Elenca le stampanti installate.
  check Controlla la cartella dei dati: elenca ogni archivio che il programma legge con
        il suo formato, le tabelle lette con il numero di righe e i campi letti, presenti
        o mancanti; termina con l'elenco dei problemi (codice di uscita 1 se ve ne sono).

Opzioni generali:
  -h, --help    mostra questo aiuto

Gli archivi possono essere file Jet (.mdb di Access, anche .accdb) o SQLite.
Variabili d'ambiente:
  PCLocal               numero della postazione
  TABLEAU_ATTESA_JET    secondi di attesa di un archivio Jet che non risponde (15)
  TABLEAU_LETTORE_JET   percorso del lettore degli archivi Jet (tableau-jet)
  MDB_JET3_CHARSET      codifica dei testi degli archivi Jet 3 (CP1252)

Codici di uscita: 0 eseguito, 1 errore degli archivi o del sistema, 2 richiesta rifiutata.
)";

}  // namespace

int EsitoDi(const std::exception& errore) {
    return dynamic_cast<const routines::RichiestaRifiutata*>(&errore) != nullptr ? kRifiutato
                                                                                 : kFallito;
}

int esegui(int argc, char** argv, std::ostream& out, std::ostream& err) {
    if (argc < 2) {
        err << kUso;
        return kRifiutato;
    }
    const std::string_view comando = argv[1];
    const Argomenti argomenti(argv + 2, argv + argc);
    if (comando == "-h" || comando == "--help" || comando == "help") {
        out << kUso;
        return kEseguito;
    }
    if (comando == "chart") {
        return comandoChart(argomenti, out, err);
    }
    if (comando == "check") {
        return comandoCheck(argomenti, out, err);
    }
    if (comando == "csv") {
        return comandoCsv(argomenti, out, err);
    }
    if (comando == "print") {
        return comandoPrint(argomenti, out, err);
    }
    if (comando == "pdf") {
        return comandoPdf(argomenti, out, err);
    }
    if (comando == "xlsx") {
        return comandoXlsx(argomenti, out, err);
    }
    err << "tableau: comando sconosciuto \"" << comando << "\". Usare tableau --help.\n";
    return kRifiutato;
}

}  // namespace tableau::app
