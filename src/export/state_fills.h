#pragma once
// The fill of a day's cell by the state of the stay, the same in the PDF and in the
// workbook. Light colours, far enough apart in lightness to differ on a black and white
// copy as well; the state's name stays written in the cell, so the copy never depends on
// the fill alone. A free room and a state the chart does not name are left plain.
#include <cstdint>
#include <optional>

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

}  // namespace tableau::exports
