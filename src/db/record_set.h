#pragma once
// A record set: the rows of a table or of a query, in storage order, walked with
// find first / find next over a criteria text, as every read of the suite does.
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/criteria.h"
#include "db/equality_index.h"
#include "db/field_type.h"
#include "db/value.h"

namespace tableau::db {

// The rows of one table or query, read once; shared by the record sets made from it.
struct RowTable {
    std::string name;  // the table's name, for messages
    std::vector<std::string> columns;
    std::vector<std::vector<Value>> rows;  // storage order
    std::vector<FieldType> types;          // one a column as the file declares it; may be empty
};

class RecordSet {
  public:
    explicit RecordSet(std::shared_ptr<const RowTable> table);
    // A copy shares the rows and stands on the same row, then moves on its own; the
    // searches and indexes it prepares are its own.
    RecordSet(const RecordSet& other);
    RecordSet& operator=(const RecordSet& other);
    RecordSet(RecordSet&&) noexcept = default;
    RecordSet& operator=(RecordSet&&) noexcept = default;
    ~RecordSet();

    // Moves to the first row meeting the criteria, or past the end (noMatch()).
    // Throws ErroreArchivio for a malformed criteria text or an unknown field.
    void findFirst(const Criteria& criteria);
    // Moves to the next row after the current one meeting the criteria.
    void findNext(const Criteria& criteria);
    bool noMatch() const { return noMatch_; }

    // The current row's value of a field (name without regard to letter case). Throws
    // ErroreArchivio for an unknown field or when there is no current row.
    const Value& field(std::string_view name) const;

    // The same rows ordered by a field: texts in byte order, numbers by value, nulls first;
    // rows that compare equal keep their storage order. The new set stands on its first row.
    RecordSet sortedBy(std::string_view fieldName) const;

    std::size_t rowCount() const { return table_->rows.size(); }
    const std::string& tableName() const { return table_->name; }
    // The field names in the table's order.
    const std::vector<std::string>& fieldNames() const { return table_->columns; }
    // The fields' types as the file declares them, in the table's order (empty when the
    // storage does not tell).
    const std::vector<FieldType>& fieldTypes() const { return table_->types; }
    // Every row in storage order, whatever the current one: for copying a table whole.
    const std::vector<std::vector<Value>>& rows() const { return table_->rows; }

  private:
    struct Search;
    int columnIndex(std::string_view name) const;
    const Search& prepare(const Criteria& criteria);
    void seek(const Criteria& criteria, std::size_t from);
    const EqualityIndex& indexOf(int column);

    std::shared_ptr<const RowTable> table_;
    std::size_t current_ = 0;
    bool noMatch_ = false;

    struct Search {
        CompiledCriteria compiled;
    };
    std::map<std::string, std::unique_ptr<Search>, std::less<>> searches_;

    // Lazily built equality indexes, one per column searched by "column = value".
    std::map<int, std::unique_ptr<const EqualityIndex>> indexes_;
};

}  // namespace tableau::db
