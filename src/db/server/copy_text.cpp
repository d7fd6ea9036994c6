#include "db/server/copy_text.h"

#include <charconv>
#include <cmath>

#include "routines/codepage.h"

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

namespace {

void AppendEscaped(std::string& out, std::string_view utf8) {
    for (const char c : utf8) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
}

}  // namespace

void AppendCopyField(std::string& out, const Value& value) {
    if (value.isNull()) {
        out += "\\N";
    } else if (value.isInteger()) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value.asInteger()).ptr;
        out.append(digits, end);
    } else if (value.isReal()) {
        out += RealText(value.asNumber());
    } else {
        const std::string& text = value.textRef();
        bool ascii = true;
        for (const char c : text) {
            if ((c & 0x80) != 0) {
                ascii = false;
                break;
            }
        }
        if (ascii) {
            AppendEscaped(out, text);
        } else {
            AppendEscaped(out, routines::InUtf8(text));
        }
    }
}

}  // namespace tableau::db::server
