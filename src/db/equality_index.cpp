#include "db/equality_index.h"

#include <bit>
#include <cmath>

namespace tableau::db {
namespace {

// The key a number is filed under: numbers that are equal as numbers share it whatever
// their storage type, as an integer and a real number compare as doubles (whole numbers
// below 9e15 are themselves, others their bits as a double, -0.0 being whole). Integers
// beyond 2^53 that round to the same double share a key: the full test tells them apart.
std::int64_t numberKey(const Value& v) {
    const double d = v.asNumber();
    if (d == std::trunc(d) && std::fabs(d) < 9e15) {
        return static_cast<std::int64_t>(d);
    }
    return std::bit_cast<std::int64_t>(d);
}

}  // namespace

EqualityIndex::EqualityIndex(const std::vector<std::vector<Value>>& rows, std::size_t column)
    : rows_(rows), column_(column) {
    bool sawText = false;
    bool sawNumber = false;
    for (const auto& row : rows_) {
        sawText = sawText || row[column_].isText();
        sawNumber = sawNumber || row[column_].isNumber();
    }
    usable_ = !(sawText && sawNumber);
    textColumn_ = sawText;
    empty_ = !sawText && !sawNumber;
    if (!usable_ || empty_) {
        return;
    }
    // Filed from the last row up, each row in front of its chain: chains in storage order.
    next_.assign(rows_.size(), kNone);
    for (std::size_t r = rows_.size(); r-- > 0;) {
        const Value& v = rows_[r][column_];
        if (v.isNull()) {
            continue;
        }
        std::size_t& first =
            textColumn_ ? texts_.try_emplace(std::string_view(v.textRef()), kNone).first->second
                        : numbers_.try_emplace(numberKey(v), kNone).first->second;
        next_[r] = first;
        first = r;
    }
}

bool EqualityIndex::answers(const Value& wanted) const {
    if (wanted.isNull() || (usable_ && empty_)) {
        return true;  // a null equals nothing, and nothing equals a column of nulls
    }
    return usable_ && wanted.isText() == textColumn_;
}

bool EqualityIndex::sameKey(const Value& a, const Value& b) const {
    if (a.isNull() || b.isNull()) {
        return false;
    }
    if (textColumn_) {
        return a.isText() && b.isText() && a.textRef() == b.textRef();
    }
    return a.isNumber() && b.isNumber() && numberKey(a) == numberKey(b);
}

std::size_t EqualityIndex::head(const Value& wanted) const {
    if (textColumn_) {
        const auto hit = texts_.find(std::string_view(wanted.textRef()));
        return hit == texts_.end() ? kNone : hit->second;
    }
    const auto hit = numbers_.find(numberKey(wanted));
    return hit == numbers_.end() ? kNone : hit->second;
}

std::size_t EqualityIndex::first(const Value& wanted, std::size_t from) const {
    if (wanted.isNull() || empty_) {
        return kNone;
    }
    // Find next from a row of the same chain goes on along it.
    if (from > 0 && from <= rows_.size() && sameKey(rows_[from - 1][column_], wanted)) {
        return next_[from - 1];
    }
    std::size_t r = head(wanted);
    while (r != kNone && r < from) {
        r = next_[r];
    }
    return r;
}

}  // namespace tableau::db
