#pragma once
// A data directory with the printer configuration and a chart file, for the print job tests.
#include <gtest/gtest.h>

#include <string>

#include "print/print_job.h"
#include "print/recording_printer.h"
#include "support/hotel_fixture.h"
#include "support/temp_dir.h"
#include "support/workstation.h"

namespace tableau::test {

// Compresso: C1..C5 = 27 15 1 2 3, C6 as given, C7..C11 = 27 18 4 5 6.
inline std::string Compresso(int c6, int c1 = 27, int c7 = 27) {
    auto tre = [](int v) {
        std::string s = std::to_string(v);
        return std::string(3 - s.size(), '0') + s;
    };
    return tre(c1) + "015001002003" + tre(c6) + tre(c7) + "018004005006000";
}

// Grassetto with G6 margin lines and G7/G8 fill targets.
inline std::string Grassetto(int g6, int g7, int g8) {
    auto tre = [](int v) {
        std::string s = std::to_string(v);
        return std::string(3 - s.size(), '0') + s;
    };
    return "000000000000000" + tre(g6) + tre(g7) + tre(g8) + "000000000000";
}

class PrintJobTest : public ::testing::Test {
  protected:
    HotelFixture hotel;
    ScopedEnv postazione{"PCLocal", "3"};
    StampanteRegistrata stampante;

    const std::filesystem::path& dir() const { return hotel.dir(); }

    void destinazione(int numeroHotel, const std::string& nome, int tipo,
                      const std::string& linea) {
        hotel.add("Stampanti", {{"NumeroHotel", std::int64_t{numeroHotel}},
                                {"Destinazione", nome},
                                {"TipoStampa", std::int64_t{tipo}},
                                {"Linea", linea}});
    }
    void setStampa(int tipo, const std::string& compresso, const std::string& grassetto) {
        hotel.add("SetStampa", {{"TipoStampa", std::int64_t{tipo}},
                                {"Compresso", compresso},
                                {"Grassetto", grassetto}});
    }
    void contatori(int numeroHotel, int compressa, int normale) {
        hotel.add("Contatori", {{"NumeroHotel", std::int64_t{numeroHotel}},
                                {"LungPagComp", std::int64_t{compressa}},
                                {"LungPagNoComp", std::int64_t{normale}}});
    }
    void tableau(const std::string& testo) { writeFile(dir() / "FD3", testo); }

    print::OpzioniStampa opzioni(const std::string& destinazione) const {
        print::OpzioniStampa o;
        o.destinazione = destinazione;
        return o;
    }
    // Runs the job; returns where it says the chart went.
    std::string esegui(const print::OpzioniStampa& o) {
        return print::EseguiStampa(test::PostazioneDi(dir()), o, stampante);
    }
};

}  // namespace tableau::test
