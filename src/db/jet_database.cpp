#include "db/jet_database.h"

#include "db/errors.h"
#include "db/in_filter.h"
#include "db/jet_reader_process.h"
#include "routines/codepage.h"
#include "routines/text.h"

namespace tableau::db {
namespace {

// Compiles a statement's criteria over a table's columns and tells which rows it selects.
class RowChoice {
  public:
    RowChoice(const SelectStatement& statement, const std::vector<std::string>& columns,
              const std::optional<InFilter>& in)
        : where_(statement.where),
          compiled_(statement.where.text(), columns, statement.table),
          in_(in) {
        if (compiled_.paramCount() != where_.params().size()) {
            throw DatabaseError(
                "Criterio di ricerca su " + statement.table +
                ": il numero dei valori non corrisponde ai segnaposto: " + where_.text());
        }
        if (in_) {
            inColumn_ = static_cast<std::size_t>(
                CompiledCriteria(in_->field + " Is Not Null", columns, statement.table)
                    .columnsUsed()
                    .front());
        }
    }

    bool operator()(const std::vector<Value>& row) const {
        if (in_ && !in_->admits(row[inColumn_])) {
            return false;
        }
        const auto get = [&row](int column) -> const Value& {
            return row[static_cast<std::size_t>(column)];
        };
        return compiled_.matches(get, where_.params());
    }

  private:
    const Criteria& where_;
    CompiledCriteria compiled_;
    const std::optional<InFilter>& in_;
    std::size_t inColumn_ = 0;
};

}  // namespace

JetDatabase::JetDatabase(std::filesystem::path path, std::string name, DatabaseFormat format)
    : path_(std::move(path)), name_(std::move(name)), format_(format) {
    const auto content = runJetReader(JetReading{path_, name_, std::nullopt});
    for (const auto& table : content.tables) {
        tableNames_.push_back(utf8ToCp1252(table));
    }
}

const std::string& JetDatabase::storedName(const std::string& name) const {
    const std::string* ignoringCase = nullptr;
    for (const auto& candidate : tableNames_) {
        if (candidate == name) {
            return candidate;
        }
        if (ignoringCase == nullptr && StessoNome(candidate, name)) {
            ignoringCase = &candidate;
        }
    }
    if (ignoringCase == nullptr) {
        throw DatabaseError("Tabella " + name + " non trovata nell'archivio " + name_);
    }
    return *ignoringCase;
}

std::shared_ptr<RowTable> JetDatabase::read(const std::string& stored,
                                            jetstream::RowFilterMaker filter) const {
    const bool whole = !filter;
    auto content = runJetReader(
        JetReading{path_, name_, cp1252ToUtf8(stored), jetReaderPatience(), std::move(filter)});
    if (content.failure) {
        throw DatabaseError("Tabella " + stored + " non trovata nell'archivio " + name_);
    }
    auto rows = std::make_shared<RowTable>();
    rows->name = stored;
    for (const auto& column : content.columns) {
        rows->columns.push_back(utf8ToCp1252(column));
    }
    rows->rows = std::move(content.rows);
    if (whole && content.declaredRows) {
        rows->declaredRows = static_cast<std::size_t>(*content.declaredRows);
    }
    return rows;
}

RecordSet JetDatabase::openTable(const std::string& name) {
    const std::string& stored = storedName(name);
    if (const auto kept = tables_.find(stored); kept != tables_.end()) {
        return RecordSet(kept->second);
    }
    std::shared_ptr<RowTable> whole = read(stored, {});
    tables_.emplace(stored, whole);
    return RecordSet(whole);
}

RecordSet JetDatabase::select(const SelectStatement& statement) {
    const std::string& stored = storedName(statement.table);
    const auto in = inFilterOf(statement, path_.parent_path());
    const auto kept = tables_.find(stored);
    if (kept == tables_.end()) {
        // Only the chosen rows are kept as the table streams in: a table of years of
        // stays is never held whole for the few rows of one week.
        std::optional<RowChoice> choice;
        return RecordSet(read(stored, [&](const std::vector<std::string>& columns) {
            choice.emplace(statement, columns, in);
            return [&choice](const std::vector<Value>& row) { return (*choice)(row); };
        }));
    }
    const RowTable& whole = *kept->second;
    const RowChoice choice(statement, whole.columns, in);
    auto chosen = std::make_shared<RowTable>();
    chosen->name = whole.name;
    chosen->columns = whole.columns;
    for (const auto& row : whole.rows) {
        if (choice(row)) {
            chosen->rows.push_back(row);
        }
    }
    return RecordSet(chosen);
}

}  // namespace tableau::db
