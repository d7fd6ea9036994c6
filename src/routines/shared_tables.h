#pragma once
// Tables every window and the chart generator share.
#include <array>
#include <string_view>

namespace tableau::routines {

// Italian day names in Windows-1252 ("ì" is byte 236), index 0 = Monday.
inline constexpr std::array<std::string_view, 7> kNomiGiorni = {
    "Luned\xEC", "Marted\xEC", "Mercoled\xEC", "Gioved\xEC", "Venerd\xEC", "Sabato", "Domenica"};

}  // namespace tableau::routines
