#pragma once
// Small valid chart files for the output tests, written byte by byte in the chart's
// layout (132 columns, line-drawing bytes, CR LF), independent of the chart generator.
#include <string>
#include <vector>

namespace tableau::test {

struct CameraEsempio {
    std::string numero;
    std::string tipo;
    int posti = 2;
    std::string ospite;  // shown on the first day
};

// The chart's lines (without line ends) for the given rooms.
std::vector<std::string> RigheTableauEsempio(const std::vector<CameraEsempio>& camere);

// The lines joined with CR LF after each one, as the chart file holds them.
std::string TestoTableau(const std::vector<std::string>& righe);

// A chart of n rooms named 101, 102, ... with a guest on the first day of each.
std::string TableauEsempio(int camere);

}  // namespace tableau::test
