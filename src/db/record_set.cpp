#include "db/record_set.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "db/errors.h"

namespace tableau::db {
namespace {

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The key a value is filed under in an equality index; numbers that are equal as numbers
// share a key whatever their storage type.
std::string indexKey(const Value& v) {
    if (v.isText()) {
        return v.textRef();
    }
    const double d = v.asNumber();
    if (d == std::trunc(d) && std::fabs(d) < 9e15) {
        return std::to_string(static_cast<long long>(d));
    }
    char out[40];
    std::snprintf(out, sizeof out, "%.17g", v.asNumber());
    return out;
}

}  // namespace

RecordSet::RecordSet(std::shared_ptr<const RowTable> table) : table_(std::move(table)) {
    noMatch_ = table_->rows.empty();
}

int RecordSet::columnIndex(std::string_view name) const {
    for (std::size_t i = 0; i < table_->columns.size(); ++i) {
        if (sameName(table_->columns[i], name)) {
            return static_cast<int>(i);
        }
    }
    throw DatabaseError("Campo \"" + std::string(name) + "\" non trovato nella tabella " +
                        table_->name);
}

const Value& RecordSet::field(std::string_view name) const {
    const int column = columnIndex(name);
    if (noMatch_ || current_ >= table_->rows.size()) {
        throw DatabaseError("Nessun record corrente nella tabella " + table_->name +
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
        throw DatabaseError("Criterio di ricerca su " + table_->name +
                            ": il numero dei valori non corrisponde ai segnaposto: " +
                            criteria.text());
    }
    return *found->second;
}

const std::vector<std::size_t>* RecordSet::candidates(const Search& search,
                                                      const std::vector<Value>& params) {
    static const std::vector<std::size_t> kNone;
    const auto& equality = search.compiled.equality();
    if (!equality) {
        return nullptr;
    }
    auto [it, created] = indexes_.try_emplace(equality->column);
    Index& index = it->second;
    if (created) {
        const auto column = static_cast<std::size_t>(equality->column);
        bool sawText = false;
        bool sawNumber = false;
        for (const auto& row : table_->rows) {
            sawText = sawText || row[column].isText();
            sawNumber = sawNumber || row[column].isNumber();
        }
        index.usable = !(sawText && sawNumber);
        index.texts = sawText;
        if (index.usable) {
            for (std::size_t r = 0; r < table_->rows.size(); ++r) {
                const Value& v = table_->rows[r][column];
                if (!v.isNull()) {
                    index.rows[indexKey(v)].push_back(r);
                }
            }
        }
    }
    const Value& wanted = equality->resolve(params);
    if (!index.usable || wanted.isNull()) {
        return wanted.isNull() ? &kNone : nullptr;
    }
    if (index.rows.empty()) {
        return &kNone;  // a column of nulls matches nothing
    }
    if (wanted.isText() != index.texts) {
        return nullptr;  // a text against numbers: let the full comparison decide
    }
    const auto hit = index.rows.find(indexKey(wanted));
    return hit == index.rows.end() ? &kNone : &hit->second;
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
    if (const auto* list = candidates(search, params)) {
        for (auto it = std::lower_bound(list->begin(), list->end(), from); it != list->end();
             ++it) {
            if (matches(*it)) {
                current_ = *it;
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

void RecordSet::findFirst(const Criteria& criteria) { seek(criteria, 0); }

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
