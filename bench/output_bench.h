#pragma once
// The two outputs read from the chart file of 1,000 rooms, as tableau xlsx and tableau pdf
// make them: the time of each, reading the chart file included.
#include <filesystem>
#include <ostream>

#include "routines/clock.h"

namespace tableau::bench {

// Builds the chart of the hotel in the directory (week of `data`, rooms from first to
// last), then times its reading, the workbook and (built with the windows) the PDF.
void MisuraUscite(const std::filesystem::path& cartellaDati, const std::string& primaCamera,
                  const std::string& ultimaCamera, const std::string& data,
                  const routines::Orologio& orologio, std::ostream& out);

}  // namespace tableau::bench
