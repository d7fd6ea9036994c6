// The commands of the output formats (tableau csv, pdf, xlsx, text): the workstation's chart
// file written in the format of the table of formats, in the data directory unless --output
// says otherwise.
#include <algorithm>
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

// The options of a request, where the format takes one.
constexpr std::string_view kOpzioniRichiesta[] = {"--hotel", "--tableau", "--from", "--to",
                                                  "--date"};

// The week the request options ask for: --hotel and --date required, no --tableau the
// whole hotel. Throws routines::RichiestaRifiutata.
chart::RichiestaAlbergo RichiestaDalleOpzioni(const OpzioniComando& valori) {
    for (const std::string_view nome : {"--hotel", "--date"}) {
        if (!valori.contains(nome)) {
            throw routines::RichiestaRifiutata("manca l'opzione " + std::string(nome) + ".");
        }
    }
    chart::RichiestaAlbergo richiesta;
    richiesta.hotel = Numero16(valori.find("--hotel")->second, "Il numero dell'albergo");
    if (const auto tableau = valori.find("--tableau"); tableau != valori.end()) {
        richiesta.tableau = Numero16(tableau->second, "Il numero del tableau");
    }
    if (const auto prima = valori.find("--from"); prima != valori.end()) {
        richiesta.primaCamera = routines::InCp1252(prima->second);
    }
    if (const auto ultima = valori.find("--to"); ultima != valori.end()) {
        richiesta.ultimaCamera = routines::InCp1252(ultima->second);
    }
    richiesta.dataInizio = routines::InCp1252(valori.find("--date")->second);
    return richiesta;
}

// Reads "--output FILE" (or "--output=FILE") and "--a3", where the format takes them, and the
// request's options; a wrong argument is written on err and gives no options.
std::optional<RichiestaEsportazione> LeggiOpzioni(const Argomenti& argomenti,
                                                  const exports::FormatoUscita& formato,
                                                  std::ostream& err) {
    const std::string_view comando = formato.nome;
    RichiestaEsportazione opzioni;
    bool fileDato = false;
    Argomenti richiesta;
    for (std::size_t i = 0; i < argomenti.size(); ++i) {
        const std::string& a = argomenti[i];
        const std::string nome = a.substr(0, a.find('='));
        if (formato.conRichiesta &&
            std::find(std::begin(kOpzioniRichiesta), std::end(kOpzioniRichiesta), nome) !=
                std::end(kOpzioniRichiesta)) {
            richiesta.push_back(a);
            if (nome == a && i + 1 < argomenti.size()) {
                richiesta.push_back(argomenti[++i]);
            }
            continue;
        }
        if (!formato.conUscita && !formato.conCarta) {
            err << "tableau " << comando << ": argomento non previsto \"" << a
                << "\". Usare tableau --help.\n";
            return std::nullopt;
        }
        std::optional<std::string> valore;
        if (a == "--output" && formato.conUscita) {
            if (i + 1 >= argomenti.size()) {
                err << "tableau " << comando << ": manca il valore di --output. Usare tableau "
                    << "--help.\n";
                return std::nullopt;
            }
            valore = argomenti[++i];
        } else if (a.starts_with("--output=") && formato.conUscita) {
            valore = a.substr(9);
        } else if (a == "--a3" && formato.conCarta) {
            opzioni.carta = exports::FormatoCarta::a3;
            continue;
        } else {
            err << "tableau " << comando << ": opzione sconosciuta \"" << a
                << "\". Usare tableau --help.\n";
            return std::nullopt;
        }
        if (fileDato || valore->empty()) {
            err << "tableau " << comando
                << (fileDato ? ": l'opzione --output \xC3\xA8 indicata pi\xC3\xB9 volte.\n"
                             : ": il nome del file di --output \xC3\xA8 vuoto.\n");
            return std::nullopt;
        }
        opzioni.file = *valore;
        fileDato = true;
    }
    if (!richiesta.empty()) {
        try {
            opzioni.settimana =
                RichiestaDalleOpzioni(LeggiOpzioniComando(richiesta, kOpzioniRichiesta));
        } catch (const routines::RichiestaRifiutata& e) {
            err << "tableau " << comando << ": " << e.what() << " Usare tableau --help.\n";
            return std::nullopt;
        }
    }
    return opzioni;
}

}  // namespace

int EseguiEsportazione(const exports::FormatoUscita& formato,
                       const RichiestaEsportazione& richiesta, std::ostream& out, std::ostream& err,
                       const routines::Impostazioni& impostazioni,
                       const routines::Orologio& orologio) {
    std::string mostrato;
    std::optional<ProvenienzaServer> server;
    bool fileTableauScritto = false;
    try {
        const routines::Postazione postazione = PostazioneImpostata(impostazioni);
        // The file as the user knows it: as given, or the usual name.
        mostrato = richiesta.file.empty() ? routines::InUtf8(exports::NomeFile(formato, postazione))
                                          : richiesta.file.string();
        std::optional<ApplicazioneQt> app;
        if (formato.conQt) {
            app.emplace();
            app->prepara();
        }
        if (!richiesta.settimana) {
            exports::Esporta(formato, postazione, richiesta.file, richiesta.carta);
        } else {
            // The week of the request from the hotel tables, checked before anything is
            // written; the output written whole or not at all.
            SettimanaPreparata preparata =
                PreparaSettimana(*richiesta.settimana, false, orologio, impostazioni);
            server = preparata.server;
            fileTableauScritto = preparata.fileTableauScritto;
            const std::filesystem::path destinazione =
                richiesta.file.empty() ? postazione.percorso(exports::NomeFile(formato, postazione))
                                       : postazione.cartellaDati() / richiesta.file;
            formato.scrivi(*preparata.tableau, destinazione,
                           exports::OpzioniDellaPostazione(postazione, richiesta.carta));
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
        (richiesta.settimana
             ? ", albergo " + std::to_string(richiesta.settimana->hotel) +
                   (richiesta.settimana->tableau
                        ? ", tableau " + std::to_string(*richiesta.settimana->tableau)
                        : std::string(", tutto l'albergo"))
             : std::string()) +
        (server ? ", dati dal " + server->descrizione : std::string()));
    out << formato.annuncioPrima << mostrato << formato.annuncioDopo << '\n';
    if (server) {
        out << TestoProvenienza(server, "", orologio.adesso()) << '\n';
    }
    return kEseguito;
}

int ComandoEsporta(const exports::FormatoUscita& formato, const Argomenti& argomenti,
                   std::ostream& out, std::ostream& err, const routines::Impostazioni& impostazioni,
                   const routines::Orologio& orologio) {
    const auto richiesta = LeggiOpzioni(argomenti, formato, err);
    if (!richiesta) {
        return kRifiutato;
    }
    return EseguiEsportazione(formato, *richiesta, out, err, impostazioni, orologio);
}

int ComandoCsv(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
               const routines::Impostazioni& impostazioni) {
    return ComandoEsporta(*exports::FormatoDiNome("csv"), argomenti, out, err, impostazioni);
}

int ComandoPdf(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
               const routines::Impostazioni& impostazioni, const routines::Orologio& orologio) {
    return ComandoEsporta(*exports::FormatoDiNome("pdf"), argomenti, out, err, impostazioni,
                          orologio);
}

int ComandoXlsx(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
                const routines::Impostazioni& impostazioni, const routines::Orologio& orologio) {
    return ComandoEsporta(*exports::FormatoDiNome("xlsx"), argomenti, out, err, impostazioni,
                          orologio);
}

}  // namespace tableau::app
