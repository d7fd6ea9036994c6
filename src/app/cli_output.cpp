#include <ostream>

#include "app/cli_commands.h"

namespace tableau::cli {

int comandoCsv(const Argomenti&, std::ostream&, std::ostream& err) {
    err << "tableau csv: non ancora disponibile\n";
    return 1;
}

int comandoPrint(const Argomenti&, std::ostream&, std::ostream& err) {
    err << "tableau print: non ancora disponibile\n";
    return 1;
}

}  // namespace tableau::cli
