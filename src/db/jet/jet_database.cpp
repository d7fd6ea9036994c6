#include "db/jet/jet_database.h"

#include <algorithm>
#include <exception>

#include "db/errors.h"
#include "db/in_filter.h"
#include "db/jet/jet_reader_process.h"
#include "routines/codepage.h"
#include "routines/text.h"

namespace tableau::db::jet {
namespace {

// Compiles a statement's criteria over a table's columns and tells which rows it selects.
class RowChoice {
  public:
    const CompiledCriteria& compiled() const { return compiled_; }
    std::optional<std::size_t> inColumn() const {
        return in_ ? std::optional<std::size_t>(inColumn_) : std::nullopt;
    }

    RowChoice(const SelectStatement& statement, const std::vector<std::string>& columns,
              const std::optional<InFilter>& in)
        : where_(statement.where),
          compiled_(statement.where.text(), columns, statement.table),
          in_(in) {
        if (compiled_.paramCount() != where_.params().size()) {
            throw ErroreArchivio(
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

bool PlainAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c != '\0' && (c & 0x80) == 0; });
}

// The conditions the reader can test on its own to skip rows that cannot be chosen: the
// top-level conjuncts comparing a text field with a plain ASCII text or a whole-number
// field with a whole number, and an In condition over whole numbers. Every row the
// criteria choose meets them; the criteria are still applied to the rows that come.
std::vector<std::string> Narrowing(const RowChoice& choice, const std::vector<Value>& params,
                                   const std::vector<std::string>& columns,
                                   const std::string& kinds, const std::optional<InFilter>& in) {
    std::vector<std::string> args;
    const CriteriaNode& root = choice.compiled().root();
    std::vector<const CriteriaNode*> conjuncts;
    if (root.kind == CriteriaNode::Kind::And) {
        for (const auto& child : root.children) {
            conjuncts.push_back(child.get());
        }
    } else {
        conjuncts.push_back(&root);
    }
    for (const CriteriaNode* node : conjuncts) {
        if (node->kind != CriteriaNode::Kind::Compare || node->column < 0) {
            continue;
        }
        const auto c = static_cast<std::size_t>(node->column);
        const Value& operand = node->values.front().resolve(params);
        const char kind = c < kinds.size() ? kinds[c] : '-';
        if (kind == 'T' && operand.isText() && PlainAscii(operand.textRef())) {
            args.insert(args.end(), {"--testo", routines::InUtf8(columns[c]),
                                     operatorText(node->op), operand.textRef()});
        } else if (kind == 'I' && operand.isInteger()) {
            args.insert(args.end(), {"--intero", routines::InUtf8(columns[c]),
                                     operatorText(node->op), std::to_string(operand.asInteger())});
        }
    }
    // A list beyond what one argument may hold is left to the criteria.
    constexpr std::size_t kLongestList = 100000;
    const auto c = choice.inColumn();
    if (in && c && in->numbersOnly && *c < kinds.size() && kinds[*c] == 'I') {
        std::string list;
        for (const auto& key : in->keys) {
            list += (list.empty() ? "" : ",") + key.substr(1);  // "N123" -> 123
        }
        if (list.size() <= kLongestList) {
            args.insert(args.end(), {"--tra", routines::InUtf8(columns[*c]), list});
        }
    }
    return args;
}

// The field types the reader's column kinds tell.
std::vector<FieldType> TypesOfKinds(const std::string& kinds) {
    std::vector<FieldType> types;
    for (const char kind : kinds) {
        types.push_back(kind == 'I' || kind == 'B'   ? FieldType::Integer
                        : kind == 'R'                ? FieldType::Real
                        : kind == 'T' || kind == 'D' ? FieldType::Text
                                                     : FieldType::Other);
    }
    return types;
}

}  // namespace

JetDatabase::JetDatabase(std::filesystem::path path, std::string name, DatabaseFormat format)
    : path_(std::move(path)), name_(std::move(name)), format_(format) {
    const auto content = RunJetReader(JetReading{path_, name_, std::nullopt});
    for (const auto& table : content.tables) {
        tableNames_.push_back(routines::InCp1252(table));
    }
}

const std::string& JetDatabase::storedName(const std::string& name) const {
    const std::string* ignoringCase = nullptr;
    for (const auto& candidate : tableNames_) {
        if (candidate == name) {
            return candidate;
        }
        if (ignoringCase == nullptr && routines::StessoNome(candidate, name)) {
            ignoringCase = &candidate;
        }
    }
    if (ignoringCase == nullptr) {
        throw ErroreArchivio("Tabella " + name + " non trovata nell'archivio " + name_);
    }
    return *ignoringCase;
}

const JetDatabase::Shape& JetDatabase::shape(const std::string& stored) {
    if (const auto known = shapes_.find(stored); known != shapes_.end()) {
        return known->second;
    }
    const auto content = RunJetReader(
        JetReading{path_, name_, routines::InUtf8(stored), JetReaderPatience(), {}, {"--colonne"}});
    if (content.failure) {
        throw ErroreArchivio("Tabella " + stored + " non trovata nell'archivio " + name_);
    }
    Shape found;
    for (const auto& column : content.columns) {
        found.columns.push_back(routines::InCp1252(column));
    }
    found.kinds = content.columnKinds;
    return shapes_.emplace(stored, std::move(found)).first->second;
}

std::shared_ptr<RowTable> JetDatabase::read(const std::string& stored,
                                            jet_stream::RowFilterMaker filter,
                                            std::vector<std::string> narrowing) const {
    auto content =
        RunJetReader(JetReading{path_, name_, routines::InUtf8(stored), JetReaderPatience(),
                                std::move(filter), std::move(narrowing)});
    if (content.failure) {
        throw ErroreArchivio("Tabella " + stored + " non trovata nell'archivio " + name_);
    }
    auto rows = std::make_shared<RowTable>();
    rows->name = stored;
    for (const auto& column : content.columns) {
        rows->columns.push_back(routines::InCp1252(column));
    }
    rows->rows = std::move(content.rows);
    rows->types = TypesOfKinds(content.columnKinds);
    return rows;
}

TableSummary JetDatabase::summarize(const std::string& name) {
    const std::string& stored = storedName(name);
    // Every row streams through and none is kept.
    const auto content =
        RunJetReader(JetReading{path_, name_, routines::InUtf8(stored), JetReaderPatience(),
                                [](const std::vector<std::string>&) {
                                    return [](const std::vector<Value>&) { return false; };
                                }});
    if (content.failure) {
        throw ErroreArchivio("Tabella " + name + " non trovata nell'archivio " + name_);
    }
    TableSummary summary;
    for (const auto& column : content.columns) {
        summary.fields.push_back(routines::InCp1252(column));
    }
    summary.types = TypesOfKinds(content.columnKinds);
    summary.rows = static_cast<std::size_t>(content.rowsReceived);
    if (content.declaredRows) {
        summary.declaredRows = static_cast<std::size_t>(*content.declaredRows);
    }
    return summary;
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

void JetDatabase::scanTable(const std::string& name, TableScan& scan) {
    const std::string& stored = storedName(name);
    if (tables_.count(stored) != 0) {
        Database::scanTable(name, scan);
        return;
    }
    const Shape& columns = shape(stored);
    // The rows are handed on as they stream in and none is kept. A failure of the scan's
    // own is held until the reader is done, so that it is not taken for the reader's.
    std::exception_ptr failure;
    bool started = false;
    const auto content = RunJetReader(
        JetReading{path_, name_, routines::InUtf8(stored), JetReaderPatience(),
                   [&](const std::vector<std::string>& streamed) {
                       if (streamed != columns.columns) {
                           throw ErroreArchivio("La tabella " + stored + " dell'archivio " + name_ +
                                                " \xC3\xA8 cambiata durante la lettura");
                       }
                       return [&](const std::vector<Value>& row) {
                           if (failure) {
                               return false;
                           }
                           try {
                               if (!started) {
                                   started = true;
                                   scan.fields(columns.columns, TypesOfKinds(columns.kinds));
                               }
                               scan.row(row);
                           } catch (...) {
                               failure = std::current_exception();
                           }
                           return false;
                       };
                   }});
    if (failure) {
        std::rethrow_exception(failure);
    }
    if (content.failure) {
        throw ErroreArchivio("Tabella " + stored + " non trovata nell'archivio " + name_);
    }
    if (!started) {
        scan.fields(columns.columns, TypesOfKinds(columns.kinds));
    }
}

RecordSet JetDatabase::select(const SelectStatement& statement) {
    const std::string& stored = storedName(statement.table);
    const auto in = InFilterOf(statement, path_.parent_path());
    const auto kept = tables_.find(stored);
    if (kept == tables_.end()) {
        // Only the chosen rows are kept as the table streams in: a table of years of
        // stays is never held whole for the few rows of one week. The reader itself skips
        // the rows that fail the simple conditions, unconverted.
        const Shape& columns = shape(stored);
        const RowChoice planned(statement, columns.columns, in);
        std::optional<RowChoice> choice;
        return RecordSet(read(
            stored,
            [&](const std::vector<std::string>& streamed) {
                choice.emplace(statement, streamed, in);
                return [&choice](const std::vector<Value>& row) { return (*choice)(row); };
            },
            Narrowing(planned, statement.where.params(), columns.columns, columns.kinds, in)));
    }
    const RowTable& whole = *kept->second;
    const RowChoice choice(statement, whole.columns, in);
    auto chosen = std::make_shared<RowTable>();
    chosen->name = whole.name;
    chosen->columns = whole.columns;
    chosen->types = whole.types;
    for (const auto& row : whole.rows) {
        if (choice(row)) {
            chosen->rows.push_back(row);
        }
    }
    return RecordSet(chosen);
}

}  // namespace tableau::db::jet
