// The commands of the output formats (tableau csv, pdf, xlsx, text): the workstation's chart
// file written in the format of the table of formats, in the data directory unless --output
// says otherwise; pdf and xlsx with a request make the week of a block or of the whole hotel
// from the hotel tables instead.
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "app/cli_commands.h"
#include "app/data_age.h"
#include "app/qt_application.h"
#include "app/startup.h"
#include "chart/chart_file.h"
#include "export/qt/format_table.h"
#include "routines/codepage.h"
#include "routines/errors.h"
#include "routines/system_log.h"

namespace tableau::app {
namespace {

// The week the request options ask for, where the format takes a request and --hotel is
// given (the command line requires --date with it): no --tableau, the whole hotel.
std::optional<chart::RichiestaAlbergo> SettimanaRichiesta(const OpzioniEsportazione& opzioni) {
    if (!opzioni.hotel) {
        return std::nullopt;
    }
    chart::RichiestaAlbergo richiesta;
    richiesta.hotel = *opzioni.hotel;
    richiesta.tableau = opzioni.tableau;
    if (opzioni.prima) {
        richiesta.primaCamera = routines::InCp1252(*opzioni.prima);
    }
    if (opzioni.ultima) {
        richiesta.ultimaCamera = routines::InCp1252(*opzioni.ultima);
    }
    richiesta.dataInizio = routines::InCp1252(opzioni.data.value_or(std::string()));
    return richiesta;
}

}  // namespace

int ComandoEsporta(const exports::FormatoUscita& formato, const OpzioniEsportazione& opzioni,
                   std::ostream& out, std::ostream& err, const routines::Impostazioni& impostazioni,
                   const routines::Orologio& orologio) {
    const std::optional<chart::RichiestaAlbergo> settimana = SettimanaRichiesta(opzioni);
    const exports::FormatoCarta carta =
        opzioni.a3 ? exports::FormatoCarta::a3 : exports::FormatoCarta::a4;
    std::string mostrato;
    std::optional<ProvenienzaServer> server;
    bool fileTableauScritto = false;
    try {
        const routines::Postazione postazione = PostazioneImpostata(impostazioni);
        // The file as the user knows it: as given, or the usual name.
        mostrato = opzioni.file.empty() ? routines::InUtf8(exports::NomeFile(formato, postazione))
                                        : opzioni.file.string();
        std::optional<ApplicazioneQt> app;
        if (formato.conQt) {
            app.emplace();
            app->prepara();
        }
        if (!settimana) {
            exports::Esporta(formato, postazione, opzioni.file, carta);
        } else {
            // The week of the request from the hotel tables, checked before anything is
            // written; the output written whole or not at all.
            SettimanaPreparata preparata =
                PreparaSettimana(*settimana, false, orologio, impostazioni);
            server = preparata.server;
            fileTableauScritto = preparata.fileTableauScritto;
            const std::filesystem::path destinazione =
                opzioni.file.empty() ? postazione.percorso(exports::NomeFile(formato, postazione))
                                     : postazione.cartellaDati() / opzioni.file;
            formato.scrivi(*preparata.tableau, destinazione,
                           exports::OpzioniDellaPostazione(postazione, carta));
            if (fileTableauScritto) {
                out << "Tableau scritto nel file "
                    << routines::InUtf8(chart::NomeFileTableau(postazione)) << ".\n";
            }
        }
    } catch (const std::exception& e) {
        err << "tableau " << formato.nome << ": " << SuUnaRiga(e.what()) << '\n';
        routines::RegistraErrore(std::string(formato.registroFallito) + ": " + SuUnaRiga(e.what()));
        return EsitoDi(e);
    }
    routines::RegistraEvento(
        std::string(formato.registroFatto) + ": " + mostrato +
        (settimana ? ", albergo " + std::to_string(settimana->hotel) +
                         (settimana->tableau ? ", tableau " + std::to_string(*settimana->tableau)
                                             : std::string(", tutto l'albergo"))
                   : std::string()) +
        (server ? ", dati dal " + server->descrizione : std::string()));
    out << formato.annuncioPrima << mostrato << formato.annuncioDopo << '\n';
    if (server) {
        out << TestoProvenienza(server, "", orologio.adesso()) << '\n';
    }
    return kEseguito;
}

}  // namespace tableau::app
