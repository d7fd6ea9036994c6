#pragma once
// The fill of a day's cell by the state of the stay, the same in the PDF and in the
// workbook. Light colours, far enough apart in lightness to differ on a black and white
// copy as well; the state's name stays written in the cell, so the copy never depends on
// the fill alone. A free room and a state the chart does not name are left plain.
#include <cstdint>
#include <optional>
#include <string>

#include "chart/chart_reader.h"

namespace tableau::exports {

// The fill as 0xRRGGBB; empty for a plain cell.
constexpr std::optional<std::uint32_t> ColoreStato(chart::StatoSoggiorno stato) {
    switch (stato) {
        case chart::StatoSoggiorno::arrivata:
            return 0xC6EFCE;  // green
        case chart::StatoSoggiorno::inFermata:
            return 0xA9C8EB;  // blue
        case chart::StatoSoggiorno::inArrivo:
            return 0xFFEB9C;  // yellow
        case chart::StatoSoggiorno::prenotata:
            return 0xDCC6F0;  // lilac
        case chart::StatoSoggiorno::nessuno:
        case chart::StatoSoggiorno::altro:
            break;
    }
    return std::nullopt;
}

// The fill of a departure: the whole cell on a day the room is otherwise free, a band
// along its side when another stay is in the room that day. Orange, darker than the states'.
inline constexpr std::uint32_t kColorePartenza = 0xF4B183;

// A day's first line as the laid-out outputs show it: the persons and the state
// ("(2) in fermata"), then the departure with its persons when a stay ends that day
// ("partenza (2)"; "(1) arrivata, partenza (2)" when another stay comes in).
inline std::string PrimaRigaCella(const chart::GiornoLetto& giorno) {
    std::string riga = chart::PersoneEStato(giorno);
    if (giorno.partenza) {
        riga += (riga.empty() ? "" : ", ") + std::string("partenza (") +
                std::to_string(giorno.personeInPartenza) + ")";
    }
    return riga;
}

}  // namespace tableau::exports
