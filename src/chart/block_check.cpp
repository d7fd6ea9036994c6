#include "chart/block_check.h"

#include <algorithm>
#include <map>

#include "db/database.h"
#include "routines/codepage.h"
#include "routines/errors.h"
#include "routines/text.h"

namespace tableau::chart {
namespace {

std::string Utf8(const std::string& cp1252) {
    return routines::InUtf8(routines::TogliSpazi(cp1252));
}

std::int16_t Numero16(const db::Value& valore) {
    return static_cast<std::int16_t>(
        std::clamp<std::int64_t>(valore.asInteger(), INT16_MIN, INT16_MAX));
}

// "1 Hotel Sole, 2 Lago".
template <typename Voce, typename Numero, typename Nome>
std::string Elenco(const std::vector<Voce>& voci, Numero numero, Nome nome) {
    std::string testo;
    for (const Voce& voce : voci) {
        testo += (testo.empty() ? "" : ", ") + std::to_string(numero(voce)) +
                 (nome(voce).empty() ? "" : " " + Utf8(nome(voce)));
    }
    return testo.empty() ? std::string("nessuno") : testo;
}

}  // namespace

std::vector<AlbergoElencato> ElencaAlberghi(db::DataSource& origine) {
    std::vector<AlbergoElencato> alberghi;
    {
        auto tabella = origine.open("AnagraficaHotels.mdb")->openTable("AnagraficaHotels");
        const db::Criteria criteri("Numero > 0");
        for (tabella.findFirst(criteri); !tabella.noMatch(); tabella.findNext(criteri)) {
            alberghi.push_back(
                {Numero16(tabella.field("Numero")), tabella.field("RagioneSociale").asText(), {}});
        }
    }
    std::map<std::string, std::string> classi;
    {
        auto tipi = origine.open("TipiCamere.mdb")->openTable("TipiCamere");
        for (tipi.findFirst(db::Criteria("Sigla <> ''")); !tipi.noMatch();
             tipi.findNext(db::Criteria("Sigla <> ''"))) {
            classi.emplace(tipi.field("Sigla").asText(), tipi.field("Tipologia").asText());
        }
    }
    auto blocchi = origine.open("Tableau.mdb")->openTable("Tableau");
    auto camere = origine.open("NumeriCamere.mdb")->openTable("NumeriCamere");
    for (AlbergoElencato& albergo : alberghi) {
        const db::Criteria criteri("NumeroHotel = ? and Codice > 0",
                                   {db::Value::integer(albergo.numero)});
        for (blocchi.findFirst(criteri); !blocchi.noMatch(); blocchi.findNext(criteri)) {
            albergo.tableau.push_back(
                {Numero16(blocchi.field("Codice")), blocchi.field("Descrizione").asText(), {}});
        }
        for (TableauDellAlbergo& tableau : albergo.tableau) {
            const db::Criteria delBlocco(
                "NumeroHotel = ? and NumeroTableau = ?",
                {db::Value::integer(albergo.numero), db::Value::integer(tableau.codice)});
            for (camere.findFirst(delBlocco); !camere.noMatch(); camere.findNext(delBlocco)) {
                const db::Value& numero = camere.field("NumeroCamera");
                if (numero.isNull()) {
                    continue;
                }
                const std::string tipo = camere.field("TipoCamera").asText();
                const auto classe = classi.find(tipo);
                tableau.camere.push_back({numero.asText(), tipo,
                                          classe == classi.end() ? std::string() : classe->second});
            }
            std::sort(tableau.camere.begin(), tableau.camere.end(),
                      [](const CameraDelTableau& a, const CameraDelTableau& b) {
                          return a.numero < b.numero;
                      });
        }
    }
    return alberghi;
}

IntervalloCamere TutteLeCamere(const TableauDellAlbergo& tableau) {
    if (tableau.camere.empty()) {
        return {};
    }
    return {tableau.camere.front().numero, tableau.camere.back().numero};
}

const AlbergoElencato& TrovaAlbergo(const std::vector<AlbergoElencato>& alberghi,
                                    std::int16_t hotel) {
    const auto albergo = std::find_if(alberghi.begin(), alberghi.end(),
                                      [&](const AlbergoElencato& a) { return a.numero == hotel; });
    if (albergo == alberghi.end()) {
        throw routines::RichiestaRifiutata(
            "l'albergo " + std::to_string(hotel) + " non esiste. Alberghi: " +
            Elenco(
                alberghi, [](const AlbergoElencato& a) { return a.numero; },
                [](const AlbergoElencato& a) { return a.nome; }) +
            ".");
    }
    return *albergo;
}

const TableauDellAlbergo& TrovaTableau(const AlbergoElencato& albergo, std::int16_t codice) {
    const auto tableau =
        std::find_if(albergo.tableau.begin(), albergo.tableau.end(),
                     [&](const TableauDellAlbergo& t) { return t.codice == codice; });
    if (tableau == albergo.tableau.end()) {
        throw routines::RichiestaRifiutata(
            "il tableau " + std::to_string(codice) + " dell'albergo " +
            std::to_string(albergo.numero) + " non esiste. Tableau dell'albergo: " +
            Elenco(
                albergo.tableau, [](const TableauDellAlbergo& t) { return t.codice; },
                [](const TableauDellAlbergo& t) { return t.descrizione; }) +
            ".");
    }
    return *tableau;
}

TableauDellAlbergo ControllaAlbergoETableau(const std::vector<AlbergoElencato>& alberghi,
                                            const RichiestaTableau& richiesta) {
    const TableauDellAlbergo* const tableau =
        &TrovaTableau(TrovaAlbergo(alberghi, richiesta.hotel), richiesta.tableau);
    if (tableau->camere.empty()) {
        throw routines::RichiestaRifiutata("il tableau " + std::to_string(richiesta.tableau) +
                                           " dell'albergo " + std::to_string(richiesta.hotel) +
                                           " non ha camere.");
    }
    const bool nessuna = std::none_of(
        tableau->camere.begin(), tableau->camere.end(), [&](const CameraDelTableau& c) {
            return !(c.numero < richiesta.primaCamera) && !(richiesta.ultimaCamera < c.numero);
        });
    if (nessuna) {
        const IntervalloCamere tutte = TutteLeCamere(*tableau);
        throw routines::RichiestaRifiutata(
            "nessuna camera del tableau " + std::to_string(richiesta.tableau) + " dell'albergo " +
            std::to_string(richiesta.hotel) + " tra " + Utf8(richiesta.primaCamera) + " e " +
            Utf8(richiesta.ultimaCamera) +
            " (i numeri delle camere si confrontano come testo): le camere vanno da " +
            Utf8(tutte.prima) + " a " + Utf8(tutte.ultima) + ".");
    }
    return *tableau;
}

}  // namespace tableau::chart
