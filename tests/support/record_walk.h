#pragma once
// Helpers of the database tests: the rows a criteria text walks to, and the message of
// the ErroreArchivio an action raises.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/errors.h"
#include "db/record_set.h"

namespace tableau::test {

// The field's values, as texts, of the rows find first / find next stop on.
inline std::vector<std::string> walk(db::RecordSet& set, const db::Criteria& criteria,
                                     const std::string& field) {
    std::vector<std::string> found;
    for (set.findFirst(criteria); !set.noMatch(); set.findNext(criteria)) {
        found.push_back(set.field(field).asText());
    }
    return found;
}

// The message of the ErroreArchivio an action raises; fails the test when there is none.
template <typename Action>
std::string errorOf(Action action) {
    try {
        action();
    } catch (const db::ErroreArchivio& e) {
        return e.what();
    }
    ADD_FAILURE() << "no ErroreArchivio";
    return {};
}

}  // namespace tableau::test
