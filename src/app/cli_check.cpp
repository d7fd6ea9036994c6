// tableau check: is every database file, table and field the program reads in the data
// directory (the current directory)?
#include <filesystem>
#include <ostream>

#include "app/cli_commands.h"
#include "chart/data_directory_check.h"

namespace tableau::cli {

int comandoCheck(const Argomenti& argomenti, std::ostream& out, std::ostream& err) {
    if (!argomenti.empty()) {
        if (argomenti.size() == 1 && (argomenti[0] == "--help" || argomenti[0] == "-h")) {
            out << "Uso: tableau check\n";
            return 0;
        }
        err << "tableau check: il comando non ha opzioni.\nUso: tableau check\n";
        return 2;
    }
    std::vector<std::string> problemi;
    try {
        problemi = VerificaArchivi(std::filesystem::current_path());
    } catch (const std::exception& e) {
        err << "tableau check: " << e.what() << '\n';
        return 1;
    }
    for (const auto& problema : problemi) {
        out << problema << '\n';
    }
    if (problemi.empty()) {
        out << "Controllo completato: tutti gli archivi, le tabelle e i campi sono presenti.\n";
        return 0;
    }
    out << "Controllo completato: "
        << (problemi.size() == 1 ? std::string("1 problema trovato")
                                 : std::to_string(problemi.size()) + " problemi trovati")
        << ".\n";
    return 1;
}

}  // namespace tableau::cli
