#pragma once
// The conversions of the page-printer path: Converti2 makes a chart line printable in an
// ordinary font, StampaLaser prints it with "ç" as the bold switch.
#include <string>
#include <string_view>

#include "print/printer.h"

namespace tableau::print {

// The line with its line-drawing characters and a few accented capitals replaced; same length.
std::string Converti2(std::string_view riga);

// Prints the line on the current printer and ends it. Each "ç" (not printed) switches bold
// on with the size 0.4 points smaller, or off with the size 0.4 points larger, starting
// from the size read back from the printer; the printer keeps that state after the line.
void StampaLaser(std::string_view riga, ServizioStampanti& stampante);

}  // namespace tableau::print
