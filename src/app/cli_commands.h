#pragma once
// The headless commands of the tableau executable. Each takes the arguments after its
// name, writes its messages to err (UTF-8) and returns the exit status: 0 done, 1 a
// failure of the data or the system (a database, a file, a printer), 2 a request refused
// (bad arguments, a range or date the request window would refuse).
#include <cstdint>
#include <exception>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "chart/crea_tableau.h"
#include "routines/clock.h"
#include "routines/settings.h"

namespace tableau::app {

using Argomenti = std::vector<std::string>;

// Exit statuses of the commands.
inline constexpr int kEseguito = 0;   // done
inline constexpr int kFallito = 1;    // a failure of the data or the system
inline constexpr int kRifiutato = 2;  // a request refused: nothing was done

// The exit status of a failure: kRifiutato for a routines::RichiestaRifiutata, else kFallito.
int EsitoDi(const std::exception& errore);

// A 16-bit signed number written in decimal, as the request window holds hotel and tableau
// numbers. Throws routines::RichiestaRifiutata naming `cosa` ("Il numero dell'albergo").
std::int16_t Numero16(const std::string& testo, std::string_view cosa);

// Writes the chart of the request into the data directory's chart file: the one way the
// commands make a chart (tableau chart, tableau mail). Throws as chart::CreaTableau.
void ScriviTableauRichiesto(const chart::RichiestaTableau& richiesta,
                            const routines::Orologio& orologio);

int comandoChart(const Argomenti& argomenti, std::ostream& out, std::ostream& err);
// The settings in force are shown with where each came from.
int comandoCheck(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
                 const routines::Impostazioni& impostazioni = {});
int comandoCsv(const Argomenti& argomenti, std::ostream& out, std::ostream& err);
int comandoPrint(const Argomenti& argomenti, std::ostream& out, std::ostream& err);
int comandoPdf(const Argomenti& argomenti, std::ostream& out, std::ostream& err);
int comandoXlsx(const Argomenti& argomenti, std::ostream& out, std::ostream& err);
// tableau mail: the chart of the request made, laid out and sent by mail through the
// sendmail interface. The settings give the recipients, the format and the request where
// the options do not; the clock gives the start date when none is given.
int comandoMail(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
                const routines::Impostazioni& impostazioni,
                const routines::Orologio& orologio = routines::OrologioDiSistema());

// The whole command line: dispatches to the command named by argv[1]; --help prints usage.
int esegui(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace tableau::app
