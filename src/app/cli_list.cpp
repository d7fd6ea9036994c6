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

int ComandoList(const OpzioniList& opzioni, std::ostream& out, std::ostream& err,
                const routines::Impostazioni& impostazioni) {
    const std::optional<std::int16_t> hotel = opzioni.hotel;
    const std::optional<std::int16_t> tableau = opzioni.tableau;
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
