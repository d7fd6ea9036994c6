#pragma once
// The headless commands of the tableau executable. Each takes the arguments after its
// name, writes its messages to err (UTF-8) and returns the exit status: 0 done, 1 a
// failure of the data or the system (a database, a file, a printer), 2 a request refused
// (bad arguments, a range or date the request window would refuse).
#include <cstdint>
#include <exception>
#include <filesystem>
#include <iosfwd>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <optional>

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

// The options of a command by name, "--name value" or "--name=value": only those admitted,
// each once but the one that may be repeated (none when empty). Throws
// routines::RichiestaRifiutata for an unknown option, a missing value or a repeat.
using OpzioniComando = std::multimap<std::string, std::string, std::less<>>;
OpzioniComando LeggiOpzioniComando(const Argomenti& argomenti,
                                   std::span<const std::string_view> ammesse,
                                   std::string_view ripetibile = {});

// A 16-bit signed number written in decimal, as the request window holds hotel and tableau
// numbers. Throws routines::RichiestaRifiutata naming `cosa` ("Il numero dell'albergo").
std::int16_t Numero16(const std::string& testo, std::string_view cosa);

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
// where the settings say: the one way the commands make a chart (tableau chart, tableau
// mail). Checks the request before contacting any server, then its hotel, block and rooms
// against the tables (an unknown one, or a range without rooms, is refused: nothing is
// written); an end of the range not given becomes the block's, written into the request.
// Throws as chart::CreaTableau, or db::ErroreServer.
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

// What tableau pdf and tableau xlsx are asked: the file (empty: the workstation's), the
// paper, and the week to make from the hotel tables (none: the workstation's chart file).
struct RichiestaEsportazione {
    std::filesystem::path file;
    exports::FormatoCarta carta = exports::FormatoCarta::a4;
    std::optional<chart::RichiestaAlbergo> settimana;
};

// Writes the format as asked; says on out what it wrote. Returns the exit status.
int EseguiEsportazione(const exports::FormatoUscita& formato,
                       const RichiestaEsportazione& richiesta, std::ostream& out, std::ostream& err,
                       const routines::Impostazioni& impostazioni,
                       const routines::Orologio& orologio);

// The commands that read hotel tables read them where the settings say (the data
// directory's files, or the chain's server); without settings, the files.
int ComandoChart(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
                 const routines::Impostazioni& impostazioni = {},
                 const routines::Orologio& orologio = routines::OrologioDiSistema());
// The settings in force are shown with where each came from; with a server, the server is
// checked instead of the hotel files.
int ComandoCheck(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
                 const routines::Impostazioni& impostazioni = {});
// The commands of the output formats: the workstation's chart file written in the format.
int ComandoEsporta(const exports::FormatoUscita& formato, const Argomenti& argomenti,
                   std::ostream& out, std::ostream& err,
                   const routines::Impostazioni& impostazioni = {},
                   const routines::Orologio& orologio = routines::OrologioDiSistema());
int ComandoCsv(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
               const routines::Impostazioni& impostazioni = {});
int ComandoPrint(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
                 const routines::Impostazioni& impostazioni = {});
// tableau list: the hotels, their blocks and the blocks' rooms with type and class.
int ComandoList(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
                const routines::Impostazioni& impostazioni = {});
// Copies the data directory's hotel tables into the site's schema on the server the
// settings name (a server is required).
int ComandoSync(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
                const routines::Impostazioni& impostazioni = {});
int ComandoPdf(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
               const routines::Impostazioni& impostazioni = {},
               const routines::Orologio& orologio = routines::OrologioDiSistema());
int ComandoXlsx(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
                const routines::Impostazioni& impostazioni = {},
                const routines::Orologio& orologio = routines::OrologioDiSistema());
// What a tableau mail without arguments (the timer's) would refuse or fail on, one Italian
// line each naming the setting and where it came from: the recipients, the format, the
// sender, the sendmail program (there and executable), the hotel, the block and the room
// range in the tables. With only the sender or the program set, only those are checked
// (the rest may come as options); empty when no key of the mail is set.
std::vector<std::string> ProblemiPosta(const routines::Impostazioni& impostazioni);

// What tableau mail is asked, from the options and the settings: the recipients, the
// attachment's format (none: the totals alone), the week (no block: the whole hotel), the
// sendmail interface and the sender.
struct RichiestaPosta {
    std::vector<std::string> destinatari;
    const exports::FormatoUscita* formato = nullptr;
    chart::RichiestaAlbergo settimana;
    std::vector<std::string> sendmail;
    std::string mittente;
};

// Sends the mail of a request already read: the week made (PreparaSettimana), the body with
// its figures, the attachment written to the workstation's file and attached. Returns the
// exit status.
int EseguiPosta(const RichiestaPosta& richiesta, std::ostream& out, std::ostream& err,
                const routines::Impostazioni& impostazioni, const routines::Orologio& orologio);

// tableau mail: the chart of the request made, laid out and sent by mail through the
// sendmail interface. The settings give the recipients, the format and the request where
// the options do not; the clock gives the start date when none is given.
int ComandoMail(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
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

// The whole command line: dispatches to the command named by argv[1]; --help prints usage.
int Esegui(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace tableau::app
