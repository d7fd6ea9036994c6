#include "db/jet/jet_stream.h"

#include <cstring>
#include <stdexcept>

#include "db/errors.h"
#include "routines/codepage.h"

namespace tableau::db::jet::jet_stream {
namespace {

// A single record never comes near this; a larger length means a broken stream.
constexpr std::uint32_t kLargestRecord = 64u << 20;

// Little-endian, as the reader writes it on every machine.
template <typename Unsigned>
void PutLittleEndian(std::string& out, Unsigned v) {
    for (std::size_t i = 0; i < sizeof v; ++i) {
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}

void PutUint32(std::string& out, std::uint32_t v) {
    PutLittleEndian(out, v);
}
void PutUint64(std::string& out, std::uint64_t v) {
    PutLittleEndian(out, v);
}

// Reads the payload of one record front to back; running past its end is a broken stream.
class Payload {
  public:
    explicit Payload(std::string_view bytes) : rest_(bytes) {}
    bool empty() const { return rest_.empty(); }
    char byte() { return take(1).front(); }
    std::uint32_t uint32() { return littleEndian<std::uint32_t>(); }
    std::uint64_t uint64() { return littleEndian<std::uint64_t>(); }
    std::string_view string() { return take(uint32()); }

  private:
    template <typename Unsigned>
    Unsigned littleEndian() {
        const auto b = take(sizeof(Unsigned));
        Unsigned v = 0;
        for (std::size_t i = sizeof(Unsigned); i-- > 0;) {
            v = static_cast<Unsigned>((v << 8) | static_cast<unsigned char>(b[i]));
        }
        return v;
    }
    std::string_view take(std::size_t n) {
        if (n > rest_.size()) {
            throw ErroreFlusso("record troncato");
        }
        const auto part = rest_.substr(0, n);
        rest_.remove_prefix(n);
        return part;
    }
    std::string_view rest_;
};

}  // namespace

void Encoder::open(char kind) {
    recordStart_ = out_.size();
    PutUint32(out_, 0);
    out_ += kind;
}

void Encoder::close() {
    const auto length = static_cast<std::uint32_t>(out_.size() - recordStart_ - 4);
    for (std::size_t i = 0; i < 4; ++i) {
        out_[recordStart_ + i] = static_cast<char>((length >> (8 * i)) & 0xFF);
    }
}

void Encoder::putString(std::string_view s) {
    PutUint32(out_, static_cast<std::uint32_t>(s.size()));
    out_.append(s);
}

void Encoder::table(std::string_view name) {
    open('T');
    putString(name);
    close();
}

void Encoder::columns(const std::vector<std::string>& names) {
    open('C');
    PutUint32(out_, static_cast<std::uint32_t>(names.size()));
    for (const auto& n : names) {
        putString(n);
    }
    close();
}

void Encoder::types(std::string_view kinds) {
    open('Y');
    putString(kinds);
    close();
}

void Encoder::declared(std::uint64_t rows) {
    open('D');
    PutUint64(out_, rows);
    close();
}

void Encoder::beginRow() {
    open('R');
}

void Encoder::null() {
    out_ += '0';
}

void Encoder::integer(std::int64_t v) {
    out_ += 'I';
    PutUint64(out_, static_cast<std::uint64_t>(v));
}

void Encoder::real(double v) {
    out_ += 'D';
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    PutUint64(out_, bits);
}

void Encoder::text(std::string_view utf8) {
    out_ += 'S';
    putString(utf8);
}

void Encoder::endRow() {
    close();
}

void Encoder::end(std::uint64_t count) {
    open('E');
    PutUint64(out_, count);
    close();
}

void Encoder::failure(FailureKind kind, std::string_view message) {
    open('X');
    out_ += static_cast<char>(kind);
    putString(message);
    close();
}

void Decoder::feed(std::string_view bytes) {
    pending_.append(bytes);
    std::size_t at = 0;
    while (pending_.size() - at >= 5) {
        Payload head(std::string_view(pending_).substr(at, 4));
        const std::uint32_t length = head.uint32();
        if (length == 0 || length > kLargestRecord) {
            throw ErroreFlusso("lunghezza di record non valida");
        }
        if (pending_.size() - at - 4 < length) {
            break;
        }
        const std::string_view record = std::string_view(pending_).substr(at + 4, length);
        decode(record.front(), record.substr(1));
        at += 4 + length;
    }
    pending_.erase(0, at);
}

void Decoder::decode(char kind, std::string_view bytes) {
    if (content_.endCount || content_.failure) {
        throw ErroreFlusso("dati dopo la fine");
    }
    Payload payload(bytes);
    switch (kind) {
        case 'T':
            content_.tables.emplace_back(payload.string());
            break;
        case 'C': {
            if (!content_.columns.empty()) {
                throw ErroreFlusso("colonne ripetute");
            }
            const std::uint32_t count = payload.uint32();
            for (std::uint32_t i = 0; i < count; ++i) {
                content_.columns.emplace_back(payload.string());
            }
            if (!payload.empty()) {
                throw ErroreFlusso("record più lungo del previsto");
            }
            if (makeFilter_) {
                std::vector<std::string> names;
                for (const auto& column : content_.columns) {
                    names.push_back(routines::InCp1252(column));
                }
                keep_ = makeFilter_(names);
            }
            return;
        }
        case 'R': {
            std::vector<Value> row;
            row.reserve(content_.columns.size());
            while (!payload.empty()) {
                switch (payload.byte()) {
                    case '0':
                        row.emplace_back();
                        break;
                    case 'I':
                        row.push_back(Value::integer(static_cast<std::int64_t>(payload.uint64())));
                        break;
                    case 'D': {
                        const std::uint64_t bits = payload.uint64();
                        double v = 0;
                        std::memcpy(&v, &bits, sizeof v);
                        row.push_back(Value::real(v));
                        break;
                    }
                    case 'S':
                        row.push_back(Value::text(routines::InCp1252(payload.string())));
                        break;
                    default:
                        throw ErroreFlusso("valore di tipo sconosciuto");
                }
            }
            if (row.size() != content_.columns.size()) {
                throw ErroreFlusso("riga con un numero di campi errato");
            }
            ++content_.rowsReceived;
            if (!keep_ || keep_(row)) {
                content_.rows.push_back(std::move(row));
            }
            return;
        }
        case 'E':
            content_.endCount = payload.uint64();
            break;
        case 'D':
            content_.declaredRows = payload.uint64();
            break;
        case 'Y':
            content_.columnKinds = std::string(payload.string());
            break;
        case 'X': {
            const char failure = payload.byte();
            if (failure != 'O' && failure != 'N' && failure != 'U') {
                throw ErroreFlusso("errore di tipo sconosciuto");
            }
            content_.failure = static_cast<FailureKind>(failure);
            content_.failureMessage = std::string(payload.string());
            break;
        }
        default:
            throw ErroreFlusso("record di tipo sconosciuto");
    }
    if (!payload.empty()) {
        throw ErroreFlusso("record più lungo del previsto");
    }
}

}  // namespace tableau::db::jet::jet_stream
