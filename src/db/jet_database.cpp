#include "db/jet_database.h"

#include "db/errors.h"
#include "db/in_filter.h"
#include "db/jet_reader_process.h"
#include "routines/codepage.h"
#include "routines/text.h"

namespace tableau::db {

JetDatabase::JetDatabase(std::filesystem::path path, std::string name, DatabaseFormat format)
    : path_(std::move(path)), name_(std::move(name)), format_(format) {
    const auto content = runJetReader(JetReading{path_, name_, std::nullopt});
    for (const auto& table : content.tables) {
        tableNames_.push_back(utf8ToCp1252(table));
    }
}

std::shared_ptr<const RowTable> JetDatabase::table(const std::string& name) {
    const std::string* stored = nullptr;
    for (const auto& candidate : tableNames_) {
        if (candidate == name) {
            stored = &candidate;
            break;
        }
        if (stored == nullptr && StessoNome(candidate, name)) {
            stored = &candidate;
        }
    }
    if (stored == nullptr) {
        throw DatabaseError("Tabella " + name + " non trovata nell'archivio " + name_);
    }
    if (const auto kept = tables_.find(*stored); kept != tables_.end()) {
        return kept->second;
    }
    auto content = runJetReader(JetReading{path_, name_, cp1252ToUtf8(*stored)});
    if (content.failure) {
        throw DatabaseError("Tabella " + name + " non trovata nell'archivio " + name_);
    }
    auto rows = std::make_shared<RowTable>();
    rows->name = *stored;
    for (const auto& column : content.columns) {
        rows->columns.push_back(utf8ToCp1252(column));
    }
    rows->rows = std::move(content.rows);
    tables_.emplace(*stored, rows);
    return rows;
}

RecordSet JetDatabase::openTable(const std::string& name) {
    return RecordSet(table(name));
}

RecordSet JetDatabase::select(const SelectStatement& statement) {
    const auto whole = table(statement.table);
    const Criteria& where = statement.where;
    const CompiledCriteria compiled(where.text(), whole->columns, statement.table);
    if (compiled.paramCount() != where.params().size()) {
        throw DatabaseError(
            "Criterio di ricerca su " + statement.table +
            ": il numero dei valori non corrisponde ai segnaposto: " + where.text());
    }
    const auto in = inFilterOf(statement, path_.parent_path());
    int inColumn = -1;
    if (in) {
        inColumn = CompiledCriteria(in->field + " Is Not Null", whole->columns, statement.table)
                       .columnsUsed()
                       .front();
    }
    if (where.text().empty() && !in) {
        return RecordSet(whole);
    }
    auto chosen = std::make_shared<RowTable>();
    chosen->name = whole->name;
    chosen->columns = whole->columns;
    for (const auto& row : whole->rows) {
        if (in && !in->admits(row[static_cast<std::size_t>(inColumn)])) {
            continue;
        }
        const auto get = [&row](int column) -> const Value& {
            return row[static_cast<std::size_t>(column)];
        };
        if (compiled.matches(get, where.params())) {
            chosen->rows.push_back(row);
        }
    }
    return RecordSet(chosen);
}

}  // namespace tableau::db
