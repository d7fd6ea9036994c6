#pragma once
// What the program's windows share for the whole run: the data directory, where the hotel
// tables are read, the clock, and the hotel and room block chosen in the request window.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

#include "db/data_source.h"
#include "routines/clock.h"
#include "routines/workstation.h"

namespace tableau::gui {

struct StatoProgramma {
    std::filesystem::path cartellaDati;  // the hotel files and the workstation's files
    std::string numeroPostazione;        // the workstation's number (PCLocal, Windows-1252)
    // Opens where the hotel tables are read, as the program's settings say (the data
    // directory's files or the chain's server). Unset: the files of cartellaDati.
    std::function<std::unique_ptr<db::DataSource>()> apriSorgente;
    std::shared_ptr<const routines::Orologio> orologio =
        std::make_shared<routines::OrologioDiSistema>();
    std::int16_t hotelCorrente = 0;
    std::int16_t tableauCorrente = 0;

    routines::Postazione postazione() const { return {cartellaDati, numeroPostazione}; }
};

// A data source of the run, opened for one piece of work (the lists, a chart, the assistance
// code) and closed after it: every chart reads the server's latest snapshot and no
// connection waits open between charts. Throws db::ErroreServer naming the server.
std::unique_ptr<db::DataSource> ApriSorgente(const StatoProgramma& stato);

}  // namespace tableau::gui
