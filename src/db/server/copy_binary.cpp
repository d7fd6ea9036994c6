#include "db/server/copy_binary.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "routines/codepage.h"

namespace tableau::db::server {
namespace {

// Appends the low `bytes` bytes of v, most significant first.
template <int bytes>
void AppendBigEndian(std::string& out, std::uint64_t v) {
    if constexpr (std::endian::native == std::endian::little) {
        v = __builtin_bswap64(v);
    }
    char b[8];
    std::memcpy(b, &v, sizeof b);
    out.append(b + (8 - bytes), bytes);
}

void AppendLength(std::string& out, std::int32_t length) {
    AppendBigEndian<4>(out, static_cast<std::uint32_t>(length));
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
    AppendBigEndian<2>(out, static_cast<std::uint16_t>(fields));
}

void AppendCopyBinaryBigint(std::string& out, std::int64_t value) {
    AppendLength(out, 8);
    AppendBigEndian<8>(out, static_cast<std::uint64_t>(value));
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
            AppendBigEndian<8>(out, std::bit_cast<std::uint64_t>(real));
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
