#include "db/in_filter.h"

#include <cmath>
#include <cstdio>

#include "db/errors.h"
#include "routines/numeric_value.h"

namespace tableau::db {

std::string InFilter::keyOf(const Value& v) {
    if (v.isText()) {
        return "T" + v.textRef();
    }
    if (v.isInteger()) {
        return "N" + std::to_string(v.asInteger());
    }
    const double d = v.asNumber();
    if (d == std::trunc(d) && std::fabs(d) < 9e15) {
        return "N" + std::to_string(static_cast<long long>(d));
    }
    char out[40];
    std::snprintf(out, sizeof out, "N%.17g", v.asNumber());
    return out;
}

void InFilter::add(const Value& v) {
    if (v.isNull()) {
        return;
    }
    const std::string key = keyOf(v);
    if (!v.isText() || routines::TestoNumerico(v.textRef())) {
        numbers.insert(v.asNumber());
    }
    numbersOnly = numbersOnly && key.find_first_not_of("-0123456789", 1) == std::string::npos;
    keys.insert(key);
}

bool InFilter::admits(const Value& v) const {
    if (v.isNull()) {
        return false;
    }
    if (!textsAsNumbers || v.isInteger()) {
        return keys.count(keyOf(v)) != 0;
    }
    if (v.isText() && !routines::TestoNumerico(v.textRef())) {
        return false;
    }
    return numbers.count(v.asNumber()) != 0;
}

std::optional<InFilter> InFilterOf(const SelectStatement& statement,
                                   const std::filesystem::path& cartellaDati) {
    if (statement.in && statement.inValues) {
        throw ErroreArchivio("Ricerca su " + statement.table +
                             ": una sola condizione In alla volta");
    }
    if (statement.inValues) {
        InFilter filter;
        filter.field = statement.inValues->field;
        filter.textsAsNumbers = statement.inValues->equalAsCriteria;
        for (const Value& v : statement.inValues->values) {
            filter.add(v);
        }
        return filter;
    }
    if (!statement.in) {
        return std::nullopt;
    }
    const auto other = OpenDatabase(cartellaDati, statement.in->file);
    return InFilterOfSubquery(*other, *statement.in);
}

InFilter InFilterOfSubquery(Database& other, const SelectStatement::SubqueryIn& sub) {
    InFilter filter;
    filter.field = sub.field;
    RecordSet rows = other.select(SelectStatement{sub.table, sub.where});
    const Criteria every("");
    for (rows.findFirst(every); !rows.noMatch(); rows.findNext(every)) {
        filter.add(rows.field(sub.selectField));
    }
    return filter;
}

}  // namespace tableau::db
