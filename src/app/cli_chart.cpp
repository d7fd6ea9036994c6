// tableau chart: writes the chart file of a request, as the request window's "Stampa"
// button does, without the print menu.
#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli_commands.h"
#include "app/data_age.h"
#include "app/startup.h"
#include "chart/block_check.h"
#include "chart/chart_file.h"
#include "chart/crea_tableau.h"
#include "chart/hotel_week.h"
#include "chart/request_check.h"
#include "db/data_source.h"
#include "db/errors.h"
#include "routines/clock.h"
#include "routines/codepage.h"
#include "routines/errors.h"
#include "routines/system_log.h"

namespace tableau::app {
namespace {

// A message of the program (UTF-8, as every failure's message is) on a terminal line, the
// message box's line breaks as plain new lines.
void Scrivi(std::ostream& flusso, std::string_view messaggio) {
    std::string testo = SuUnaRiga(std::string(messaggio));
    for (std::size_t p = testo.find(" \r\n"); p != std::string::npos; p = testo.find(" \r\n")) {
        testo.replace(p, 3, "\n");
    }
    for (std::size_t p = testo.find("\r\n"); p != std::string::npos; p = testo.find("\r\n")) {
        testo.replace(p, 2, "\n");
    }
    flusso << "tableau chart: " << testo << '\n';
}

}  // namespace

std::int16_t Numero16(const std::string& testo, std::string_view cosa) {
    std::size_t letti = 0;
    long valore = 0;
    try {
        valore = std::stol(testo, &letti);
    } catch (const std::exception&) {
        letti = 0;
    }
    if (letti == 0 || letti != testo.size() || valore < -32768 || valore > 32767) {
        throw routines::RichiestaRifiutata(std::string(cosa) +
                                           " deve essere un numero intero tra -32768 e " +
                                           "32767 (indicato: \"" + testo + "\").");
    }
    return static_cast<std::int16_t>(valore);
}

std::optional<ProvenienzaServer> ScriviTableauRichiesto(
    chart::RichiestaTableau& richiesta, CamereIndicate indicate, const routines::Orologio& orologio,
    const routines::Impostazioni& impostazioni) {
    const routines::Postazione postazione = PostazioneImpostata(impostazioni);
    // The request window's checks first: a refused request contacts no server and writes
    // nothing. A range not given is the block's, known only from the tables: the date is
    // checked before them.
    chart::ControllaRichiesta(indicate.prima ? richiesta.primaCamera : std::string(),
                              indicate.ultima ? richiesta.ultimaCamera : std::string("\xFF"),
                              richiesta.dataInizio);
    const auto sorgente = ApriSorgenteDati(impostazioni);
    // Then the hotel, the block and its rooms, from the same tables the chart reads: an
    // unknown hotel or block, or a range without rooms, is refused and the chart file stays.
    const auto alberghi = chart::ElencaAlberghi(*sorgente);
    const chart::IntervalloCamere tutte = chart::TutteLeCamere(
        chart::TrovaTableau(chart::TrovaAlbergo(alberghi, richiesta.hotel), richiesta.tableau));
    if (!indicate.prima) {
        richiesta.primaCamera = tutte.prima;
    }
    if (!indicate.ultima) {
        richiesta.ultimaCamera = tutte.ultima;
    }
    chart::ControllaRichiesta(richiesta.primaCamera, richiesta.ultimaCamera, richiesta.dataInizio);
    chart::ControllaAlbergoETableau(alberghi, richiesta);
    chart::CreaTableau(*sorgente, postazione, richiesta, orologio);
    if (!sorgente->fromServer()) {
        return std::nullopt;
    }
    return ProvenienzaServer{sorgente->describe(), sorgente->lastSync()};
}

SettimanaPreparata PreparaSettimana(const chart::RichiestaAlbergo& richiesta, bool conTesto,
                                    const routines::Orologio& orologio,
                                    const routines::Impostazioni& impostazioni) {
    const routines::Postazione postazione = PostazioneImpostata(impostazioni);
    // The request window's checks first: a refused request contacts no server and writes
    // nothing. Then the hotel, the block and its rooms against the tables.
    chart::ControllaRichiesta(richiesta.primaCamera.value_or(std::string()),
                              richiesta.ultimaCamera.value_or(std::string("\xFF")),
                              richiesta.dataInizio);
    const auto sorgente = ApriSorgenteDati(impostazioni);
    const std::vector<chart::RichiestaTableau> blocchi =
        chart::ControllaRichiestaAlbergo(chart::ElencaAlberghi(*sorgente), richiesta);
    SettimanaPreparata preparata;
    // One read of the tables gives the week and the charts' texts; a single block's chart
    // file is written once all of it is made.
    std::vector<std::string> testi;
    chart::SettimanaAlbergo settimana =
        chart::CreaSettimanaAlbergo(*sorgente, blocchi, !richiesta.tableau, orologio, true,
                                    richiesta.tableau || conTesto ? &testi : nullptr);
    std::string testo;
    std::string nomeFile;
    if (richiesta.tableau) {
        chart::ScriviFileTableau(postazione, testi.front());
        preparata.fileTableauScritto = true;
        testo = std::move(testi.front());
        nomeFile = chart::PercorsoFileTableau(postazione).filename().string();
    } else {
        // One chart file holds one block: the whole hotel's charts are made in memory, each
        // as the chart file would hold it, one after the other.
        for (std::string& blocco : testi) {
            testo += (testo.empty() ? "" : "\r\n") + std::move(blocco);
        }
    }
    preparata.tableau.emplace(std::move(settimana), std::move(testo), std::move(nomeFile));
    if (sorgente->fromServer()) {
        preparata.server = ProvenienzaServer{sorgente->describe(), sorgente->lastSync()};
    }
    preparata.blocchi = blocchi;
    return preparata;
}

int ComandoChart(const OpzioniChart& opzioni, std::ostream& out, std::ostream& err,
                 const routines::Impostazioni& impostazioni, const routines::Orologio& orologio) {
    const routines::Postazione postazione = PostazioneImpostata(impostazioni);
    chart::RichiestaTableau richiesta;
    richiesta.hotel = opzioni.hotel;
    richiesta.tableau = opzioni.tableau;
    const CamereIndicate indicate{.prima = opzioni.prima.has_value(),
                                  .ultima = opzioni.ultima.has_value()};
    richiesta.primaCamera = routines::InCp1252(opzioni.prima.value_or(""));
    richiesta.ultimaCamera = routines::InCp1252(opzioni.ultima.value_or(""));
    richiesta.dataInizio = routines::InCp1252(opzioni.data);

    std::optional<ProvenienzaServer> server;
    try {
        server = ScriviTableauRichiesto(richiesta, indicate, orologio, impostazioni);
    } catch (const std::exception& e) {
        Scrivi(err, e.what());
        if (EsitoDi(e) == kFallito) {
            routines::RegistraErrore("tableau non scritto (" +
                                     chart::DescriviRichiesta(richiesta, postazione) +
                                     "): " + e.what());
        }
        return EsitoDi(e);
    }
    routines::RegistraEvento("tableau scritto: " + chart::DescriviRichiesta(richiesta, postazione) +
                             (server ? ", dati dal " + server->descrizione : std::string()));
    out << "Tableau scritto nel file " << routines::InUtf8(chart::NomeFileTableau(postazione))
        << ".\n";
    if (server) {
        // Last night's copy is not live data: say which copy the chart shows, and warn when
        // it is older than the settings allow.
        out << TestoProvenienza(server, "", orologio.adesso()) << '\n';
        if (const auto giorno =
                DatiVecchi(server, orologio.adesso(), OreMassimeDati(impostazioni))) {
            const std::string avviso = "ATTENZIONE: dati del " + *giorno + " (" +
                                       TestoProvenienza(server, "", orologio.adesso()) +
                                       " Limite: " + std::to_string(OreMassimeDati(impostazioni)) +
                                       " ore, chiave server.max-age.)";
            err << "tableau chart: " << avviso << '\n';
            routines::RegistraAvviso("tableau scritto con " + avviso);
        }
    }
    return kEseguito;
}

}  // namespace tableau::app
