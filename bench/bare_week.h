#pragma once
// The week's reading done with bare SQLite calls, what any program would have to do for the
// same chart: the guests and booked rooms overlapping the week, the booking headers of
// those bookings, then the arrangements and companies of the week's client codes, every
// column of every row read as text. The chart's own cost is measured against it.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tableau::bench {

struct SettimanaNuda {
    std::size_t righe = 0;             // rows read from the five tables
    std::vector<std::int64_t> codici;  // the week's distinct client codes
    std::size_t righeCodici = 0;       // arrangement and company rows among them
};

// `dal` and `al` are the week's first and last date keys ("20240615").
SettimanaNuda LeggiSettimanaNuda(const std::filesystem::path& cartellaDati, const std::string& dal,
                                 const std::string& al);

// The last part alone: the arrangement and company rows of the codes.
std::size_t LeggiCodiciNudi(const std::filesystem::path& cartellaDati,
                            const std::vector<std::int64_t>& codici);

}  // namespace tableau::bench
