#include "db/server/copy_binary.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "routines/codepage.h"

namespace tableau::db::server {
namespace {

void AppendBigEndian(std::string& out, std::uint64_t v, int bytes) {
    char b[8];
    for (int i = bytes - 1; i >= 0; --i) {
        b[i] = static_cast<char>(v & 0xFF);
        v >>= 8;
    }
    out.append(b, static_cast<std::size_t>(bytes));
}

void AppendLength(std::string& out, std::int32_t length) {
    AppendBigEndian(out, static_cast<std::uint32_t>(length), 4);
}

}  // namespace

std::string_view CopyBinaryHeader() {
    // The signature, no flags, no header extension.
    static constexpr char kHeader[] = "PGCOPY\n\377\r\n\0\0\0\0\0\0\0\0\0";
    return {kHeader, sizeof kHeader - 1};
}

std::string_view CopyBinaryEnd() {
    return "\xFF\xFF";
}

void AppendCopyBinaryRow(std::string& out, std::size_t fields) {
    AppendBigEndian(out, static_cast<std::uint16_t>(fields), 2);
}

void AppendCopyBinaryBigint(std::string& out, std::int64_t value) {
    AppendLength(out, 8);
    AppendBigEndian(out, static_cast<std::uint64_t>(value), 8);
}

void AppendCopyBinaryField(std::string& out, ServerType type, const Value& value) {
    if (value.isNull()) {
        AppendLength(out, -1);
        return;
    }
    switch (type) {
        case ServerType::Bigint:
            AppendCopyBinaryBigint(out, value.asInteger());
            return;
        case ServerType::DoublePrecision: {
            const double real =
                value.isInteger() ? static_cast<double>(value.asInteger()) : value.asNumber();
            AppendLength(out, 8);
            AppendBigEndian(out, std::bit_cast<std::uint64_t>(real), 8);
            return;
        }
        case ServerType::Text: {
            const std::string& text = value.textRef();
            bool ascii = true;
            for (const char c : text) {
                if ((c & 0x80) != 0) {
                    ascii = false;
                    break;
                }
            }
            if (ascii) {
                AppendLength(out, static_cast<std::int32_t>(text.size()));
                out += text;
            } else {
                const std::string utf8 = routines::InUtf8(text);
                AppendLength(out, static_cast<std::int32_t>(utf8.size()));
                out += utf8;
            }
            return;
        }
    }
}

}  // namespace tableau::db::server
