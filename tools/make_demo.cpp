// tableau-demo DIRECTORY [--date GG/MM/AAAA] [--jet]: writes the demo hotel's data directory,
// as SQLite files or, with --jet, as Jet 4 files.
#include <cstring>
#include <exception>
#include <iostream>
#include <optional>
#include <string>

#include "demo_hotel.h"
#include "routines/clock.h"
#include "routines/dates.h"

namespace {

int uso() {
    std::cerr << "Uso: tableau-demo CARTELLA [--date GG/MM/AAAA] [--jet]\n"
                 "Scrive nella cartella gli archivi di due alberghi dimostrativi, con "
                 "ospiti e prenotazioni attorno alla data indicata (oggi se manca).\n"
                 "Con --jet gli archivi sono file Jet 4 (Access 2000) invece che SQLite, "
                 "con gli stessi nomi e gli stessi dati.\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tableau;
    if (argc < 2 || argv[1][0] == '-') {
        return uso();
    }
    std::optional<routines::Data> data;
    bool jet = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--jet") == 0 && !jet) {
            jet = true;
        } else if (std::strcmp(argv[i], "--date") == 0 && !data && i + 1 < argc) {
            data = routines::LeggiData(argv[++i]);
            if (!data) {
                std::cerr << "tableau-demo: data non valida \"" << argv[i]
                          << "\" (formato gg/mm/aaaa)\n";
                return 2;
            }
        } else {
            return uso();
        }
    }
    if (!data) {
        const routines::DataOra adesso = routines::OrologioDiSistema().adesso();
        data = routines::Data{adesso.giorno, adesso.mese, adesso.anno};
    }
    try {
        if (jet) {
            tools::scriviHotelDemoJet(argv[1], *data);
        } else {
            tools::scriviHotelDemo(argv[1], *data);
        }
    } catch (const std::exception& e) {
        std::cerr << "tableau-demo: " << e.what() << "\n";
        return 1;
    }
    std::cout << "Archivi dimostrativi " << (jet ? "(Jet 4) " : "") << "scritti in " << argv[1]
              << " (settimana del " << routines::TestoData(*data) << ")\n";
    return 0;
}
