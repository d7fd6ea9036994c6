#pragma once
// The stream by which the Jet reader program hands a table (or the list of tables) of a
// Jet file back to the program: length-prefixed records on its standard output.
// Record: 4-byte little-endian length of what follows, one kind byte, the payload.
//   'T' a table name (the list of tables)       'C' the column names of a table
//   'R' one row: per column a tag and a value   'E' end: the count of what was sent
//   'D' the row count the table's definition declares
//   'Y' what each column holds: 'T' text, 'I' whole number, 'B' yes/no, 'R' real,
//       'D' date or id read as text, '-' a field not read
//   'X' failure: one kind byte and a message
// Names and texts travel as UTF-8; values are tagged null, integer, real or text.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/errors.h"
#include "db/value.h"

namespace tableau::db::jet::jet_stream {

// Bytes that are no stream of records: the reader broke down. The reader's process turns it
// into the file's failure.
class ErroreFlusso : public ErroreArchivio {
  public:
    using ErroreArchivio::ErroreArchivio;
};

enum class FailureKind : char {
    CannotOpen = 'O',  // not a Jet file the library can open
    NoTable = 'N',     // no table of that name
    Unreadable = 'U',  // the catalog or the table cannot be read
};

// Builds the stream in memory; the reader program writes out buffer() as it fills.
class Encoder {
  public:
    void table(std::string_view name);
    void columns(const std::vector<std::string>& names);
    void declared(std::uint64_t rows);
    void types(std::string_view kinds);
    void beginRow();
    void null();
    void integer(std::int64_t v);
    void real(double v);
    void text(std::string_view utf8);
    void endRow();
    void end(std::uint64_t count);
    void failure(FailureKind kind, std::string_view message);

    std::string& buffer() { return out_; }

  private:
    void open(char kind);
    void close();
    void putString(std::string_view s);
    std::string out_;
    std::size_t recordStart_ = 0;
};

// What a reading produced, texts already converted to Windows-1252.
struct Content {
    std::vector<std::string> tables;  // UTF-8, as the catalog names them
    std::vector<std::string> columns;
    std::vector<std::vector<Value>> rows;  // those the row filter kept
    std::uint64_t rowsReceived = 0;        // kept or not
    std::optional<std::uint64_t> declaredRows;
    std::string columnKinds;                // one letter a column, as 'Y' has them
    std::optional<std::uint64_t> endCount;  // set only when the stream ended properly
    std::optional<FailureKind> failure;
    std::string failureMessage;  // UTF-8
};

// Which rows to keep, made once the column names (Windows-1252) are known.
using RowFilter = std::function<bool(const std::vector<Value>& row)>;
using RowFilterMaker = std::function<RowFilter(const std::vector<std::string>& columns)>;

// Takes the stream in pieces as it arrives. feed() throws ErroreFlusso for bytes
// that do not form a valid stream (a reader that went wrong), and lets the exceptions of
// the row filter's maker through.
class Decoder {
  public:
    explicit Decoder(RowFilterMaker makeFilter = {}) : makeFilter_(std::move(makeFilter)) {}
    void feed(std::string_view bytes);
    // True when no partial record is left over.
    bool complete() const { return pending_.empty(); }
    Content& content() { return content_; }

  private:
    void decode(char kind, std::string_view payload);
    RowFilterMaker makeFilter_;
    RowFilter keep_;
    std::string pending_;
    Content content_;
};

}  // namespace tableau::db::jet::jet_stream
