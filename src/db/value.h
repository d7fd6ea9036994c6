#pragma once
// One field value of a hotel database: null, a number or a Windows-1252 text.
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace tableau::db {

class Value {
  public:
    Value() = default;  // null
    static Value integer(std::int64_t v) { return Value(Storage{v}); }
    static Value real(double v) { return Value(Storage{v}); }
    static Value text(std::string v) { return Value(Storage{std::move(v)}); }

    bool isNull() const { return std::holds_alternative<std::monostate>(data_); }
    bool isNumber() const { return isInteger() || isReal(); }
    bool isInteger() const { return std::holds_alternative<std::int64_t>(data_); }
    bool isReal() const { return std::holds_alternative<double>(data_); }
    bool isText() const { return std::holds_alternative<std::string>(data_); }

    // Null reads as the empty text; numbers in plain decimal.
    std::string asText() const;
    // Null reads as 0; a text as the number it begins with.
    double asNumber() const;
    // asNumber() rounded half to even, as the suite converts to its integers.
    std::int64_t asInteger() const;

    const std::string& textRef() const { return std::get<std::string>(data_); }

  private:
    using Storage = std::variant<std::monostate, std::int64_t, double, std::string>;
    explicit Value(Storage s) : data_(std::move(s)) {}
    Storage data_;
};

// Comparison of two values as the criteria language compares them: numbers as numbers,
// texts byte by byte (Windows-1252 codes), a text against a number as numbers when the
// text is wholly a number. Empty when the comparison is false whatever the operator
// (a null on either side, or a text that is not a number against a number).
std::optional<int> CompareValues(const Value& a, const Value& b);

}  // namespace tableau::db
