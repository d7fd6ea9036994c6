#pragma once
// A record set: the rows of a table or of a query, in storage order, walked with
// find first / find next over a criteria text, as every read of the suite does.
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "db/criteria.h"
#include "db/value.h"

namespace tableau::db {

// The rows of one table or query, read once; shared by the record sets made from it.
struct RowTable {
    std::string name;  // the table's name, for messages
    std::vector<std::string> columns;
    std::vector<std::vector<Value>> rows;  // storage order
};

class RecordSet {
public:
    explicit RecordSet(std::shared_ptr<const RowTable> table);

    // Moves to the first row meeting the criteria, or past the end (noMatch()).
    // Throws DatabaseError for a malformed criteria text or an unknown field.
    void findFirst(const Criteria& criteria);
    // Moves to the next row after the current one meeting the criteria.
    void findNext(const Criteria& criteria);
    bool noMatch() const { return noMatch_; }

    // The current row's value of a field (name without regard to letter case). Throws
    // DatabaseError for an unknown field or when there is no current row.
    const Value& field(std::string_view name) const;

    // The same rows ordered by a field: texts in byte order, numbers by value, nulls first;
    // rows that compare equal keep their storage order. The new set stands on its first row.
    RecordSet sortedBy(std::string_view fieldName) const;

    std::size_t rowCount() const { return table_->rows.size(); }
    const std::string& tableName() const { return table_->name; }

private:
    struct Search;
    int columnIndex(std::string_view name) const;
    const Search& prepare(const Criteria& criteria);
    void seek(const Criteria& criteria, std::size_t from);
    const std::vector<std::size_t>* candidates(const Search& search,
                                               const std::vector<Value>& params);

    std::shared_ptr<const RowTable> table_;
    std::size_t current_ = 0;
    bool noMatch_ = false;

    struct Search {
        CompiledCriteria compiled;
    };
    std::map<std::string, std::unique_ptr<Search>, std::less<>> searches_;

    // Lazily built equality indexes: column -> key -> rows in storage order.
    struct Index {
        bool usable = false;  // every non-null value of the column is of one kind
        bool texts = false;   // that kind
        std::unordered_map<std::string, std::vector<std::size_t>> rows;
    };
    std::map<int, Index> indexes_;
};

}  // namespace tableau::db
