// tableau list: the hotels, their blocks and each block's rooms with type and class, from
// the data directory's files or the chain's server, so that an administrator writes the
// settings (mail.hotel, mail.tableau, mail.from, mail.to) without a database tool.
#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "app/cli_commands.h"
#include "app/startup.h"
#include "chart/block_check.h"
#include "routines/codepage.h"
#include "routines/errors.h"
#include "routines/text.h"

namespace tableau::app {
namespace {

constexpr std::string_view kUsoList = "Uso: tableau list [--hotel H [--tableau T]]\n";
constexpr std::string_view kOpzioni[] = {"--hotel", "--tableau"};

std::string Utf8(const std::string& cp1252) {
    return routines::InUtf8(routines::TogliSpazi(cp1252));
}

void ScriviTableau(std::ostream& out, const chart::TableauDellAlbergo& tableau) {
    const chart::IntervalloCamere tutte = chart::TutteLeCamere(tableau);
    out << "  Tableau " << tableau.codice << ' ' << Utf8(tableau.descrizione) << ": ";
    if (tableau.camere.empty()) {
        out << "nessuna camera\n";
        return;
    }
    out << tableau.camere.size() << (tableau.camere.size() == 1 ? " camera" : " camere") << ", da "
        << Utf8(tutte.prima) << " a " << Utf8(tutte.ultima) << '\n';
    for (const chart::CameraDelTableau& camera : tableau.camere) {
        std::string riga = "    " + Utf8(camera.numero);
        riga.resize(std::max<std::size_t>(riga.size() + 2, 14), ' ');
        riga += "tipo " + Utf8(camera.tipo);
        riga.resize(std::max<std::size_t>(riga.size() + 2, 28), ' ');
        riga += camera.classe.empty() ? std::string("classe sconosciuta")
                                      : "classe " + Utf8(camera.classe);
        out << riga << '\n';
    }
}

void ScriviAlbergo(std::ostream& out, const chart::AlbergoElencato& albergo,
                   const chart::TableauDellAlbergo* soloTableau) {
    out << "Albergo " << albergo.numero << ' ' << Utf8(albergo.nome) << '\n';
    if (soloTableau != nullptr) {
        ScriviTableau(out, *soloTableau);
        return;
    }
    if (albergo.tableau.empty()) {
        out << "  nessun tableau\n";
    }
    for (const chart::TableauDellAlbergo& tableau : albergo.tableau) {
        ScriviTableau(out, tableau);
    }
}

}  // namespace

int ComandoList(const Argomenti& argomenti, std::ostream& out, std::ostream& err,
                const routines::Impostazioni& impostazioni) {
    if (argomenti.size() == 1 && (argomenti[0] == "--help" || argomenti[0] == "-h")) {
        out << kUsoList;
        return kEseguito;
    }
    std::optional<std::int16_t> hotel;
    std::optional<std::int16_t> tableau;
    try {
        const auto opzioni = LeggiOpzioniComando(argomenti, kOpzioni);
        if (const auto h = opzioni.find("--hotel"); h != opzioni.end()) {
            hotel = Numero16(h->second, "Il numero dell'albergo");
        }
        if (const auto t = opzioni.find("--tableau"); t != opzioni.end()) {
            if (!hotel) {
                throw routines::RichiestaRifiutata("--tableau va indicato con --hotel.");
            }
            tableau = Numero16(t->second, "Il numero del tableau");
        }
    } catch (const routines::RichiestaRifiutata& e) {
        err << "tableau list: " << e.what() << '\n' << kUsoList;
        return kRifiutato;
    }
    try {
        const auto alberghi = chart::ElencaAlberghi(*ApriSorgenteDati(impostazioni));
        if (hotel) {
            const chart::AlbergoElencato& albergo = chart::TrovaAlbergo(alberghi, *hotel);
            ScriviAlbergo(out, albergo,
                          tableau ? &chart::TrovaTableau(albergo, *tableau) : nullptr);
            return kEseguito;
        }
        if (alberghi.empty()) {
            err << "tableau list: nessun albergo negli archivi.\n";
            return kFallito;
        }
        for (const chart::AlbergoElencato& albergo : alberghi) {
            ScriviAlbergo(out, albergo, nullptr);
        }
    } catch (const std::exception& e) {
        err << "tableau list: " << SuUnaRiga(e.what()) << '\n';
        return EsitoDi(e);
    }
    return kEseguito;
}

}  // namespace tableau::app
