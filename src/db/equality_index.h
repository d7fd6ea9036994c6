#pragma once
// The rows of one column filed by value, so that "column = value" tests only the rows that
// may hold the value instead of all of them. Rows with equal keys form one chain in storage
// order; every row equal to a value (as the criteria language compares) is on its chain,
// and the chain may hold a few more rows, which the full test then drops.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "db/value.h"

namespace tableau::db {

class EqualityIndex {
  public:
    static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

    // `rows` must outlive the index and stay unchanged (the shared rows of a record set).
    EqualityIndex(const std::vector<std::vector<Value>>& rows, std::size_t column);

    // True when the candidates of `wanted` include every row equal to it. False when the
    // column mixes texts and numbers, or when a text is compared with numbers (or a number
    // with texts), where the comparison of the criteria language converts: test every row.
    bool answers(const Value& wanted) const;

    // The first candidate at or after row `from`, or kNone. Only when answers(wanted).
    std::size_t first(const Value& wanted, std::size_t from) const;
    // The candidate after `row` on its chain, or kNone.
    std::size_t next(std::size_t row) const { return next_[row]; }

  private:
    std::size_t head(const Value& wanted) const;
    bool sameKey(const Value& a, const Value& b) const;

    const std::vector<std::vector<Value>>& rows_;
    std::size_t column_;
    bool usable_ = false;      // every non-null value of the column is of one kind
    bool textColumn_ = false;  // that kind
    bool empty_ = true;        // only nulls
    std::unordered_map<std::int64_t, std::size_t> numbers_;    // key -> first row
    std::unordered_map<std::string_view, std::size_t> texts_;  // text -> first row
    std::vector<std::size_t> next_;                            // row -> next row, same key
};

}  // namespace tableau::db
