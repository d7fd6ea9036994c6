#pragma once
// The headless commands of the tableau executable. The command line (app/command_line.h) reads
// each command's options into its plain struct below and hands it to the command's function,
// which writes its messages to err (UTF-8) and returns the exit status: 0 done, 1 a failure of
// the data or the system (a database, a file, a printer), 2 a request refused (a range or
// date the request window would refuse; a bad argument is refused before, by the line).
#include <cstdint>
#include <exception>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chart/crea_tableau.h"
#include "chart/hotel_week.h"
#include "db/data_source.h"
#include "export/output_format.h"
#include "routines/clock.h"
#include "routines/settings.h"
#include "routines/text.h"

namespace tableau::app {

using Argomenti = std::vector<std::string>;

// Exit statuses of the commands.
inline constexpr int kEseguito = 0;   // done
inline constexpr int kFallito = 1;    // a failure of the data or the system
inline constexpr int kRifiutato = 2;  // a request refused: nothing was done

// The exit status of a failure: kRifiutato for a routines::RichiestaRifiutata, else kFallito.
int EsitoDi(const std::exception& errore);

// A 16-bit signed number written in decimal, as the request window holds hotel and tableau
// numbers (the settings' mail.hotel and mail.tableau). Throws routines::RichiestaRifiutata
// naming `cosa` ("Il numero dell'albergo").
std::int16_t Numero16(const std::string& testo, std::string_view cosa);

// The options of each command as the command line read them (texts in UTF-8, as typed).
struct OpzioniChart {
    std::int16_t hotel = 0;
    std::int16_t tableau = 0;
    std::optional<std::string> prima;   // --from; none: the block's first room
    std::optional<std::string> ultima;  // --to; none: the block's last room
    std::string data;                   // --date, GG/MM/AAAA
};

// The commands of the output formats. A format that takes a request (pdf, xlsx) makes the
// week from the hotel tables when --hotel is given (then --date too): the block's, or the
// whole hotel's without --tableau; without a request, the workstation's chart file.
struct OpzioniEsportazione {
    std::filesystem::path file;  // --output; empty: the usual name in the data directory
    bool a3 = false;
    std::optional<std::int16_t> hotel;
    std::optional<std::int16_t> tableau;  // none: the whole hotel
    std::optional<std::string> prima;     // --from, only with a block
    std::optional<std::string> ultima;    // --to, only with a block
    std::optional<std::string> data;      // --date, GG/MM/AAAA
};

// tableau mail: what is not given comes from the settings.
struct OpzioniPosta {
    std::vector<std::string> destinatari;  // every --recipient, in order
    std::optional<std::string> formato;    // an attachable format of the table, or "totals"
    std::optional<std::int16_t> hotel;
    std::optional<std::int16_t> tableau;  // none (nor mail.tableau, or empty): the whole hotel
    std::optional<std::string> prima;
    std::optional<std::string> ultima;
    std::optional<std::string> data;  // none: today
};

struct OpzioniStampa {
    std::optional<std::string> destinazione;
    std::optional<std::string> stampante;
    std::optional<std::int16_t> hotel;
    bool normale = false;
    bool orizzontale = false;
    bool fronteRetro = false;
    bool elenco = false;  // --list: the installed printers, nothing printed
};

struct OpzioniList {
    std::optional<std::int16_t> hotel;
    std::optional<std::int16_t> tableau;  // only with hotel
};

struct OpzioniSync {
    std::optional<int> storico;  // months
    bool forza = false;
};

struct OpzioniCheck {};

// tableau serve (app/cli_serve.h).
struct OpzioniServi {
    std::optional<std::string> ascolto;  // --listen ADDRESS:PORT, over the key web.listen
    bool insicuro = false;               // --insecure: plain HTTP off loopback
};

// tableau user add NAME, tableau user remove NAME (app/cli_serve.h).
struct OpzioniUtente {
    std::string nome;
};

// tableau user: which of its commands, and its user.
struct OpzioniUser {
    enum class Azione { aggiungi, rimuovi };
    Azione azione = Azione::aggiungi;
    OpzioniUtente utente;
};

// Where the hotel tables of a chart were read, when from the chain's server: the server and
// schema, and the sync they hold.
struct ProvenienzaServer {
    std::string descrizione;
    std::optional<db::SyncRecord> sincronizzazione;
};

// Which ends of the room range the user gave; a missing one is the block's first or last room.
struct CamereIndicate {
    bool prima = true;
    bool ultima = true;
};

// Writes the chart of the request into the workstation's chart file, the hotel tables read
// where the settings say: how tableau chart makes it (the outputs made from a request go
// through PreparaSettimana, which writes a block's chart file the same way). Checks the request
// before contacting any server, then its hotel, block and rooms against the tables (an unknown one,
// or a range without rooms, is refused: nothing is written); an end of the range not given becomes
// the block's, written into the request. Throws as chart::CreaTableau, or db::ErroreServer.
std::optional<ProvenienzaServer> ScriviTableauRichiesto(chart::RichiestaTableau& richiesta,
                                                        CamereIndicate indicate,
                                                        const routines::Orologio& orologio,
                                                        const routines::Impostazioni& impostazioni);

// The week of a request as the outputs made from the hotel tables take it (tableau pdf,
// xlsx and mail with a request): the week of the block or of the whole hotel, and the text
// of its charts.
struct SettimanaPreparata {
    std::optional<exports::TableauDaEsportare> tableau;
    std::optional<ProvenienzaServer> server;
    bool fileTableauScritto = false;               // a single block's chart file was written
    std::vector<chart::RichiestaTableau> blocchi;  // each block's request, its rooms resolved
};

// Makes the week of the request, the hotel tables read where the settings say: checks it
// against the tables before anything is written (a refusal throws RichiestaRifiutata), writes
// the workstation's chart file when the request names a block, as tableau chart does, and
// makes the week from the same source (chart/hotel_week.h). The whole hotel writes no chart
// file; with conTesto its blocks' charts are made in memory, one after the other, for the
// text output. Throws as chart::CreaTableau, or db::ErroreServer.
SettimanaPreparata PreparaSettimana(const chart::RichiestaAlbergo& richiesta, bool conTesto,
                                    const routines::Orologio& orologio,
                                    const routines::Impostazioni& impostazioni);

// The commands that read hotel tables read them where the settings say (the data
// directory's files, or the chain's server); without settings, the files.
int ComandoChart(const OpzioniChart& opzioni, std::ostream& out, std::ostream& err,
                 const routines::Impostazioni& impostazioni = {},
                 const routines::Orologio& orologio = routines::OrologioDiSistema());
// The settings in force are shown with where each came from; with a server, the server is
// checked instead of the hotel files.
int ComandoCheck(const OpzioniCheck& opzioni, std::ostream& out, std::ostream& err,
                 const routines::Impostazioni& impostazioni = {});
// The commands of the output formats: the workstation's chart file written in the format,
// or the week of the request (PreparaSettimana) where the format takes one and one is given.
int ComandoEsporta(const exports::FormatoUscita& formato, const OpzioniEsportazione& opzioni,
                   std::ostream& out, std::ostream& err,
                   const routines::Impostazioni& impostazioni = {},
                   const routines::Orologio& orologio = routines::OrologioDiSistema());
int ComandoPrint(const OpzioniStampa& opzioni, std::ostream& out, std::ostream& err,
                 const routines::Impostazioni& impostazioni = {});
// tableau list: the hotels, their blocks and the blocks' rooms with type and class.
int ComandoList(const OpzioniList& opzioni, std::ostream& out, std::ostream& err,
                const routines::Impostazioni& impostazioni = {});
// Copies the data directory's hotel tables into the site's schema on the server the
// settings name (a server is required).
int ComandoSync(const OpzioniSync& opzioni, std::ostream& out, std::ostream& err,
                const routines::Impostazioni& impostazioni = {});
// What a tableau mail without arguments (the timer's) would refuse or fail on, one Italian
// line each naming the setting and where it came from: the recipients, the format, the
// sender, the sendmail program (there and executable), the hotel, the block and the room
// range in the tables. With only the sender or the program set, only those are checked
// (the rest may come as options); empty when no key of the mail is set.
std::vector<std::string> ProblemiPosta(const routines::Impostazioni& impostazioni);

// tableau mail: the chart of the request made, laid out and sent by mail through the
// sendmail interface. The settings give the recipients, the format and the request where
// the options do not; the clock gives the start date when none is given.
int ComandoMail(const OpzioniPosta& opzioni, std::ostream& out, std::ostream& err,
                const routines::Impostazioni& impostazioni,
                const routines::Orologio& orologio = routines::OrologioDiSistema());

// A failure's message on one terminal line: the server's own text may break its lines
// ("\n\tIs the server running..."); the message box's breaks ("\r\n") are kept.
std::string SuUnaRiga(std::string messaggio);

// "1.234.567": a count as an Italian reader writes it.
using routines::ConPuntiMigliaia;

// The connection string of a sync: target_session_attrs=read-write added (over any the
// string gives), so that only the primary of a host list is written to.
std::string ConnessionePerScrivere(const std::string& conninfo);

// The formats tableau mail takes, as a refusal lists them: "pdf, xlsx, text o totals".
std::string FormatiPosta();

// The attachment's format of tableau mail named so; none for the totals alone. Throws
// routines::RichiestaRifiutata for a name that is neither, listing those there are.
const exports::FormatoUscita* FormatoPosta(const std::string& nome);

// The whole command line (app/command_line.h): the general options read and applied, then the
// command named run; --help prints the help. Every fault of the line is refused here with an
// Italian message (exit status 2); every failure of a command is reported and logged.
int Esegui(int argc, char** argv, std::ostream& out, std::ostream& err);

// The same line run with the settings and the clock given instead of those of the run (the
// general options are read, not applied): how the tests run a command in a data directory.
int EseguiCon(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
              const routines::Impostazioni& impostazioni, const routines::Orologio& orologio);

}  // namespace tableau::app
