#include "db/jet/jet_format.h"

#include <fstream>
#include <string_view>

namespace tableau::db::jet {

std::optional<DatabaseFormat> JetFormatOf(const std::filesystem::path& path) {
    // Bytes 0-3: 00 01 00 00; 4-19: the engine's signature; byte 20: the version
    // (0 Jet 3, 1 Jet 4, 2 and later ACE).
    std::ifstream in(path, std::ios::binary);
    char header[21] = {};
    in.read(header, sizeof header);
    if (in.gcount() != sizeof header) {
        return std::nullopt;
    }
    const std::string_view page(header, sizeof header);
    if (page.substr(0, 4) != std::string_view("\0\1\0\0", 4)) {
        return std::nullopt;
    }
    const std::string_view signature = page.substr(4, 16);
    const auto version = static_cast<unsigned char>(header[20]);
    if (signature == std::string_view("Standard Jet DB\0", 16)) {
        if (version == 0) {
            return DatabaseFormat::Jet3;
        }
        if (version == 1) {
            return DatabaseFormat::Jet4;
        }
        return std::nullopt;
    }
    if (signature == std::string_view("Standard ACE DB\0", 16) && version >= 2) {
        return DatabaseFormat::Ace;
    }
    return std::nullopt;
}

}  // namespace tableau::db::jet
