#pragma once
// Helpers of the database tests: the rows a criteria text walks to, and the message of
// the ErroreArchivio an action raises.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/database.h"
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

// A table read by Database::scanTable: its fields and every row, each as texts ("<null>" for
// a null), with a failure of its own thrown at the row `failAt` (counted from 1) when set.
struct ScannedTable final : db::TableScan {
    std::vector<std::string> names;
    std::vector<db::FieldType> types;
    std::vector<std::vector<std::string>> rows;
    std::size_t failAt = 0;

    void fields(const std::vector<std::string>& n, const std::vector<db::FieldType>& t) override {
        names = n;
        types = t;
    }
    void row(const std::vector<db::Value>& values) override {
        if (rows.size() + 1 == failAt) {
            throw db::ErroreServer("caduta la connessione");
        }
        std::vector<std::string> texts;
        for (const db::Value& v : values) {
            texts.push_back(v.isNull() ? "<null>" : v.asText());
        }
        rows.push_back(texts);
    }
};

// The rows of a record set as ScannedTable has them.
inline std::vector<std::vector<std::string>> rowTexts(const db::RecordSet& set) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& row : set.rows()) {
        std::vector<std::string> texts;
        for (const db::Value& v : row) {
            texts.push_back(v.isNull() ? "<null>" : v.asText());
        }
        rows.push_back(texts);
    }
    return rows;
}

}  // namespace tableau::test
