#pragma once
// Printer queues of the CUPS scheduler, reached through its command-line clients.
#include <string>
#include <vector>

namespace tableau::print {

// The names of the queues the scheduler offers ("lpstat -e"); empty when the scheduler or
// its client is not there.
std::vector<std::string> CodeDiStampa();

}  // namespace tableau::print
