#include "db/jet/reader/row_filters.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>

#include "db/jet/reader/field_values.h"

namespace tableau::db::jet::reader {
namespace {

bool Compare(int outcome, const std::string& op) {
    if (op == "=") {
        return outcome == 0;
    }
    if (op == "<>") {
        return outcome != 0;
    }
    if (op == "<") {
        return outcome < 0;
    }
    if (op == "<=") {
        return outcome <= 0;
    }
    if (op == ">") {
        return outcome > 0;
    }
    return outcome >= 0;  // ">="
}

std::optional<std::int64_t> ParseInteger(std::string_view textValue) {
    std::int64_t n = 0;
    const auto read = std::from_chars(textValue.data(), textValue.data() + textValue.size(), n);
    if (read.ec != std::errc() || read.ptr != textValue.data() + textValue.size()) {
        return std::nullopt;
    }
    return n;
}

}  // namespace

bool ParseFilters(int argc, char** argv, int from, std::vector<Filter>& filters) {
    static const std::unordered_set<std::string> ops{"=", "<>", "<", "<=", ">", ">="};
    for (int i = from; i < argc;) {
        const std::string test = argv[i];
        Filter filter{Filter::Test::text, {}, {}, {}, 0, {}, 0};
        if (test == "--tra" && i + 2 < argc) {
            filter.test = Filter::Test::oneOf;
            filter.field = argv[i + 1];
            std::string_view list = argv[i + 2];
            while (!list.empty()) {
                const auto last = std::min(list.find(','), list.size());
                const auto number = ParseInteger(list.substr(0, last));
                if (!number) {
                    return false;
                }
                filter.numbers.insert(*number);
                list.remove_prefix(std::min(last + 1, list.size()));
            }
            i += 3;
        } else if ((test == "--testo" || test == "--intero") && i + 3 < argc) {
            filter.field = argv[i + 1];
            filter.op = argv[i + 2];
            if (ops.count(filter.op) == 0) {
                return false;
            }
            if (test == "--testo") {
                filter.textValue = argv[i + 3];
            } else {
                const auto number = ParseInteger(argv[i + 3]);
                if (!number) {
                    return false;
                }
                filter.test = Filter::Test::integer;
                filter.number = *number;
            }
            i += 4;
        } else {
            return false;
        }
        filters.push_back(std::move(filter));
    }
    return true;
}

bool Satisfies(const Filter& filter, MdbHandle* mdb, const MdbTableDef* table, const MdbColumn* col,
               const char* text, int length) {
    const std::string_view value(text, length > 0 ? static_cast<std::size_t>(length) : 0);
    if (filter.test == Filter::Test::text) {
        if (value.empty() && !IsEmptyText(mdb, table, col)) {
            return false;  // null
        }
        if (std::any_of(value.begin(), value.end(), [](char c) { return (c & 0x80) != 0; })) {
            return true;  // the program compares it in its own code page: let it decide
        }
        return Compare(value.compare(filter.textValue), filter.op);
    }
    const auto number = ParseInteger(value);
    if (!number) {
        return false;  // null
    }
    if (filter.test == Filter::Test::oneOf) {
        return filter.numbers.count(*number) != 0;
    }
    return Compare(*number < filter.number ? -1 : *number > filter.number ? 1 : 0, filter.op);
}

}  // namespace tableau::db::jet::reader
