// tableau-demo DIRECTORY [--date GG/MM/AAAA]: writes the demo hotel's data directory.
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

#include "demo_hotel.h"
#include "routines/clock.h"
#include "routines/dates.h"

int main(int argc, char** argv) {
    using namespace tableau;
    if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--date") == 0)) {
        std::cerr << "Uso: tableau-demo CARTELLA [--date GG/MM/AAAA]\n"
                     "Scrive nella cartella gli archivi di due alberghi dimostrativi, con "
                     "ospiti e prenotazioni attorno alla data indicata (oggi se manca).\n";
        return 2;
    }
    Data oggi;
    if (argc == 4) {
        const auto data = LeggiData(argv[3]);
        if (!data) {
            std::cerr << "tableau-demo: data non valida \"" << argv[3]
                      << "\" (formato gg/mm/aaaa)\n";
            return 2;
        }
        oggi = *data;
    } else {
        const DataOra adesso = OrologioDiSistema().adesso();
        oggi = Data{adesso.giorno, adesso.mese, adesso.anno};
    }
    try {
        demo::scriviHotelDemo(argv[1], oggi);
    } catch (const std::exception& e) {
        std::cerr << "tableau-demo: " << e.what() << "\n";
        return 1;
    }
    std::cout << "Archivi dimostrativi scritti in " << argv[1] << " (settimana del "
              << TestoData(oggi) << ")\n";
    return 0;
}
