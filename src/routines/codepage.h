#pragma once
// Conversion between the chart's single-byte text (Windows-1252) and UTF-8.
// The core keeps every text as Windows-1252 bytes; UTF-8 only crosses its edges
// (database text in, Qt and terminal text out).
#include <string>
#include <string_view>

namespace tableau::routines {

// A character with no Windows-1252 code becomes "?"; malformed UTF-8 bytes too.
std::string InCp1252(std::string_view utf8);

// True when the text holds bytes above 127 and they all form well-made UTF-8 sequences:
// a configuration file saved by a Linux editor rather than in Windows-1252.
bool ScrittoInUtf8(std::string_view testo);

// The text as well-made UTF-8: its UTF-8 sequences kept, every byte that starts none taken
// as the Windows-1252 character it codes. A text already in UTF-8 comes back unchanged.
std::string SoloUtf8(std::string_view testo);

// The five codes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to
// the C1 control characters of the same value, so every byte survives a round trip.
std::string InUtf8(std::string_view cp1252);

}  // namespace tableau::routines
