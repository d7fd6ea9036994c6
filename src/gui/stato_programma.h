#pragma once
// What the program's windows share for the whole run: the data directory, the clock, and
// the hotel and room block chosen in the request window.
#include <cstdint>
#include <filesystem>
#include <memory>

#include "routines/clock.h"

namespace tableau::gui {

struct StatoProgramma {
    std::filesystem::path cartellaDati;  // the hotel files and the workstation's files
    std::shared_ptr<const routines::Orologio> orologio =
        std::make_shared<routines::OrologioDiSistema>();
    std::int16_t hotelCorrente = 0;
    std::int16_t tableauCorrente = 0;
};

}  // namespace tableau::gui
