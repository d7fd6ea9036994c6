#include "chart/hotel_lists.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "db/database.h"
#include "routines/errors.h"
#include "routines/text.h"

namespace tableau::chart {
namespace {

std::int16_t Numero16(const db::Value& valore, const char* cosa) {
    const std::int64_t numero = valore.asInteger();
    if (numero < std::numeric_limits<std::int16_t>::min() ||
        numero > std::numeric_limits<std::int16_t>::max()) {
        throw routines::ErroreOverflow(std::string("Il numero ") + std::to_string(numero) + " " +
                                       cosa + " \xE8 fuori dai limiti ammessi.");
    }
    return static_cast<std::int16_t>(numero);
}

}  // namespace

std::string TestoVoce(std::int64_t numero, std::string_view nome) {
    const std::string cifre = routines::TogliSpazi(std::to_string(numero));
    std::string testo;
    if (cifre.size() < 3) {
        testo.assign(3 - cifre.size(), ' ');
    }
    testo += cifre;
    testo += ' ';
    testo += nome;
    return testo;
}

std::vector<VoceElenco> ElencoHotel(db::RecordSet& anagraficaHotels) {
    std::vector<VoceElenco> voci;
    const db::Criteria criteri("Numero > 0");
    for (anagraficaHotels.findFirst(criteri); !anagraficaHotels.noMatch();
         anagraficaHotels.findNext(criteri)) {
        const db::Value& numero = anagraficaHotels.field("Numero");
        voci.push_back(
            {Numero16(numero, "d'albergo"),
             TestoVoce(numero.asInteger(), anagraficaHotels.field("RagioneSociale").asText())});
    }
    return voci;
}

std::vector<VoceElenco> ElencoTableau(db::RecordSet& tableau, std::int16_t hotel) {
    std::vector<VoceElenco> voci;
    const db::Criteria criteri("NumeroHotel = ? and Codice > 0", {db::Value::integer(hotel)});
    for (tableau.findFirst(criteri); !tableau.noMatch(); tableau.findNext(criteri)) {
        const db::Value& codice = tableau.field("Codice");
        voci.push_back({Numero16(codice, "di tableau"),
                        TestoVoce(codice.asInteger(), tableau.field("Descrizione").asText())});
    }
    return voci;
}

IntervalloCamere ProponiIntervallo(db::RecordSet& numeriCamere,
                                   const std::filesystem::path& cartellaDati, std::int16_t hotel,
                                   std::int16_t tableau) {
    db::DataSource origine(cartellaDati, std::nullopt);
    return ProponiIntervallo(numeriCamere, origine, hotel, tableau);
}

IntervalloCamere ProponiIntervallo(db::RecordSet& numeriCamere, db::DataSource& origine,
                                   std::int16_t hotel, std::int16_t tableau) {
    IntervalloCamere intervallo{std::string(1, '\xFF'), std::string()};
    const auto archivio = origine.open("TipiCamere.mdb");
    db::RecordSet tipi = archivio->openTable("TipiCamere");
    const db::Criteria criteri("NumeroHotel = ? and NumeroTableau = ?",
                               {db::Value::integer(hotel), db::Value::integer(tableau)});
    for (numeriCamere.findFirst(criteri); !numeriCamere.noMatch(); numeriCamere.findNext(criteri)) {
        const db::Value& camera = numeriCamere.field("NumeroCamera");
        tipi.findFirst(db::Criteria("Sigla = ?",
                                    {db::Value::text(numeriCamere.field("TipoCamera").asText())}));
        if (tipi.noMatch() || camera.isNull() || tipi.field("Tipologia").asText() != "C") {
            continue;
        }
        const std::string numero = camera.asText();
        if (intervallo.prima > numero) {
            intervallo.prima = numero;
        }
        if (intervallo.ultima < numero) {
            intervallo.ultima = numero;
        }
    }
    return intervallo;
}

IntervalloCamere IntervalloDelTableau(const std::filesystem::path& cartellaDati, std::int16_t hotel,
                                      std::int16_t tableau) {
    db::DataSource origine(cartellaDati, std::nullopt);
    return IntervalloDelTableau(origine, hotel, tableau);
}

IntervalloCamere IntervalloDelTableau(db::DataSource& origine, std::int16_t hotel,
                                      std::int16_t tableau) {
    const auto archivio = origine.open("NumeriCamere.mdb");
    db::RecordSet numeriCamere = archivio->openTable("NumeriCamere");
    IntervalloCamere intervallo = ProponiIntervallo(numeriCamere, origine, hotel, tableau);
    if (!intervallo.ultima.empty() || intervallo.prima != std::string(1, '\xFF')) {
        return intervallo;
    }
    std::optional<IntervalloCamere> tutte;
    const db::Criteria criteri("NumeroHotel = ? and NumeroTableau = ?",
                               {db::Value::integer(hotel), db::Value::integer(tableau)});
    for (numeriCamere.findFirst(criteri); !numeriCamere.noMatch(); numeriCamere.findNext(criteri)) {
        const db::Value& camera = numeriCamere.field("NumeroCamera");
        if (camera.isNull()) {
            continue;
        }
        const std::string numero = camera.asText();
        if (!tutte) {
            tutte = IntervalloCamere{numero, numero};
        }
        tutte->prima = std::min(tutte->prima, numero);
        tutte->ultima = std::max(tutte->ultima, numero);
    }
    return tutte.value_or(IntervalloCamere{});
}

}  // namespace tableau::chart
