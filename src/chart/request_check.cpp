#include "chart/request_check.h"

#include "routines/dates.h"

namespace tableau::chart {

bool IntervalloValido(std::string_view primaCamera, std::string_view ultimaCamera) {
    return !(ultimaCamera < primaCamera);
}

std::optional<Difetto> DifettoRichiesta(std::string_view primaCamera, std::string_view ultimaCamera,
                                        std::string_view dataInizio) {
    if (!IntervalloValido(primaCamera, ultimaCamera)) {
        return Difetto::camere;
    }
    if (std::string data(dataInizio); !routines::DataValida(data)) {
        return Difetto::data;
    }
    return std::nullopt;
}

void ControllaRichiesta(std::string_view primaCamera, std::string_view ultimaCamera,
                        std::string_view dataInizio) {
    if (const auto difetto = DifettoRichiesta(primaCamera, ultimaCamera, dataInizio)) {
        throw RichiestaRifiutata(*difetto);
    }
}

}  // namespace tableau::chart
