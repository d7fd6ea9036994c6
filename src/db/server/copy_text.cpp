#include "db/server/copy_text.h"

#include <charconv>
#include <cmath>

namespace tableau::db::server {

const char* ServerTypeName(ServerType type) {
    switch (type) {
        case ServerType::Bigint:
            return "bigint";
        case ServerType::DoublePrecision:
            return "double precision";
        case ServerType::Text:
            return "text";
    }
    return "text";
}

std::string RealText(double v) {
    if (std::isnan(v)) {
        return "NaN";
    }
    if (std::isinf(v)) {
        return v > 0 ? "Infinity" : "-Infinity";
    }
    char out[32];
    const auto end = std::to_chars(out, out + sizeof out, v).ptr;
    return std::string(out, end);
}

}  // namespace tableau::db::server
