#pragma once
// The values an "In" condition of a select admits: those of a sub-query on another file
// or those already at hand. Every database format narrows its rows with the same set.
#include <filesystem>
#include <string>
#include <unordered_set>

#include "db/database.h"
#include "db/value.h"

namespace tableau::db {

struct InFilter {
    std::string field;
    // Keys of the admitted values: numbers equal as numbers share a key, nulls are left out.
    std::unordered_set<std::string> keys;
    bool numbersOnly = true;  // every key a whole number ("N" and digits)
    // Compared as the criteria's "=": an integer by its key, a real or a text that reads as
    // a number by its value as a double (numbers holds the admitted numbers as doubles).
    bool textsAsNumbers = false;
    std::unordered_set<double> numbers;

    void add(const Value& v);
    bool admits(const Value& v) const;

    static std::string keyOf(const Value& v);
};

// The values a sub-query admits: the field selectField of the rows of `other` meeting its
// criteria. Throws ErroreArchivio for the failures of the sub-query.
InFilter InFilterOfSubquery(Database& other, const SelectStatement::SubqueryIn& sub);

// The filter of a statement's In condition, running its sub-query on the named file of
// the directory; empty when the statement has none. Throws ErroreArchivio for a statement
// with two In conditions and for the failures of the sub-query.
std::optional<InFilter> InFilterOf(const SelectStatement& statement,
                                   const std::filesystem::path& cartellaDati);

}  // namespace tableau::db
