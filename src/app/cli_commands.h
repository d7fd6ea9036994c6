#pragma once
// The headless commands of the tableau executable. Each takes the arguments after its
// name, writes its messages to err (UTF-8) and returns the exit status: 0 done, 1 a
// failure of the data or the system (a database, a file, a printer), 2 a request refused
// (bad arguments, a range or date the request window would refuse).
#include <iosfwd>
#include <string>
#include <vector>

namespace tableau::app {

using Argomenti = std::vector<std::string>;

int comandoChart(const Argomenti& argomenti, std::ostream& out, std::ostream& err);
int comandoCheck(const Argomenti& argomenti, std::ostream& out, std::ostream& err);
int comandoCsv(const Argomenti& argomenti, std::ostream& out, std::ostream& err);
int comandoPrint(const Argomenti& argomenti, std::ostream& out, std::ostream& err);

// The whole command line: dispatches to the command named by argv[1]; --help prints usage.
int esegui(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace tableau::app
