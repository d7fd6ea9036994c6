#include <ostream>

#include "app/cli_commands.h"

namespace tableau::cli {

int comandoCheck(const Argomenti&, std::ostream&, std::ostream& err) {
    err << "tableau check: non ancora disponibile\n";
    return 1;
}

}  // namespace tableau::cli
