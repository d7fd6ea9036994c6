#include "db/record_set.h"

#include <algorithm>
#include <cctype>

#include "db/errors.h"
#include "routines/text.h"

namespace tableau::db {
namespace {}  // namespace

RecordSet::RecordSet(std::shared_ptr<const RowTable> table) : table_(std::move(table)) {
    noMatch_ = table_->rows.empty();
}

RecordSet::RecordSet(const RecordSet& other)
    : table_(other.table_), current_(other.current_), noMatch_(other.noMatch_) {}

RecordSet& RecordSet::operator=(const RecordSet& other) {
    if (this != &other) {
        *this = RecordSet(other);
    }
    return *this;
}

RecordSet::~RecordSet() = default;

int RecordSet::columnIndex(std::string_view name) const {
    // The rules name fields as the files spell them: those are found without folding
    // letter case, field by field and row by row. No table has two fields whose names
    // differ in letter case only.
    for (std::size_t i = 0; i < table_->columns.size(); ++i) {
        if (table_->columns[i] == name) {
            return static_cast<int>(i);
        }
    }
    for (std::size_t i = 0; i < table_->columns.size(); ++i) {
        if (routines::StessoNome(table_->columns[i], name)) {
            return static_cast<int>(i);
        }
    }
    throw ErroreArchivio("Campo \"" + std::string(name) + "\" non trovato nella tabella " +
                         table_->name);
}

const Value& RecordSet::field(std::string_view name) const {
    const int column = columnIndex(name);
    if (noMatch_ || current_ >= table_->rows.size()) {
        throw ErroreArchivio("Nessun record corrente nella tabella " + table_->name +
                             " per leggere il campo " + std::string(name));
    }
    return table_->rows[current_][static_cast<std::size_t>(column)];
}

const RecordSet::Search& RecordSet::prepare(const Criteria& criteria) {
    auto found = searches_.find(criteria.text());
    if (found == searches_.end()) {
        auto search = std::make_unique<Search>(
            Search{CompiledCriteria(criteria.text(), table_->columns, table_->name)});
        found = searches_.emplace(criteria.text(), std::move(search)).first;
    }
    if (found->second->compiled.paramCount() != criteria.params().size()) {
        throw ErroreArchivio(
            "Criterio di ricerca su " + table_->name +
            ": il numero dei valori non corrisponde ai segnaposto: " + criteria.text());
    }
    return *found->second;
}

const EqualityIndex& RecordSet::indexOf(int column) {
    auto& index = indexes_[column];
    if (!index) {
        index =
            std::make_unique<const EqualityIndex>(table_->rows, static_cast<std::size_t>(column));
    }
    return *index;
}

void RecordSet::seek(const Criteria& criteria, std::size_t from) {
    const Search& search = prepare(criteria);
    const auto& rows = table_->rows;
    const auto& params = criteria.params();
    const auto matches = [&](std::size_t r) {
        const auto& row = rows[r];
        return search.compiled.matches(
            [&row](int c) -> const Value& { return row[static_cast<std::size_t>(c)]; }, params);
    };
    const auto& equality = search.compiled.equality();
    const EqualityIndex* index = equality ? &indexOf(equality->column) : nullptr;
    if (index != nullptr && index->answers(equality->resolve(params))) {
        for (std::size_t r = index->first(equality->resolve(params), from);
             r != EqualityIndex::kNone; r = index->next(r)) {
            if (matches(r)) {
                current_ = r;
                noMatch_ = false;
                return;
            }
        }
    } else {
        for (std::size_t r = from; r < rows.size(); ++r) {
            if (matches(r)) {
                current_ = r;
                noMatch_ = false;
                return;
            }
        }
    }
    noMatch_ = true;
}

void RecordSet::findFirst(const Criteria& criteria) {
    seek(criteria, 0);
}

void RecordSet::findNext(const Criteria& criteria) {
    seek(criteria, noMatch_ ? table_->rows.size() : current_ + 1);
}

RecordSet RecordSet::sortedBy(std::string_view fieldName) const {
    const auto column = static_cast<std::size_t>(columnIndex(fieldName));
    auto sorted = std::make_shared<RowTable>(*table_);
    std::stable_sort(sorted->rows.begin(), sorted->rows.end(),
                     [column](const std::vector<Value>& a, const std::vector<Value>& b) {
                         const Value& x = a[column];
                         const Value& y = b[column];
                         if (x.isNull() || y.isNull()) {
                             return x.isNull() && !y.isNull();
                         }
                         if (x.isText() != y.isText()) {
                             return !x.isText();  // numbers before texts
                         }
                         if (x.isText()) {
                             return x.textRef() < y.textRef();
                         }
                         return x.asNumber() < y.asNumber();
                     });
    return RecordSet(std::move(sorted));
}

}  // namespace tableau::db
