#include <ostream>

#include "app/cli_commands.h"

namespace tableau::cli {

int comandoChart(const Argomenti&, std::ostream&, std::ostream& err) {
    err << "tableau chart: non ancora disponibile\n";
    return 1;
}

}  // namespace tableau::cli
