#pragma once
// Runs the Jet reader program (tableau-jet) on one file and collects what it hands back.
// The reader runs as a child process: a file that makes libmdb crash or hang ends the
// child, and the caller gets a ErroreArchivio naming the file.
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/jet/jet_stream.h"

namespace tableau::db::jet {

// The patience for a Jet reading: db::ReadPatience().
std::chrono::milliseconds JetReaderPatience();

struct JetReading {
    std::filesystem::path file;
    std::string bareName;              // for the messages
    std::optional<std::string> table;  // UTF-8; the list of tables when empty
    // A reader that sends nothing for this long is stopped.
    std::chrono::milliseconds patience = JetReaderPatience();
    // Keeps only some rows of the table as they arrive; all of them when empty.
    jet_stream::RowFilterMaker filter = {};
    // Further arguments for the reader after the table: "--colonne" for the columns only,
    // or the conditions that let the reader skip rows (see jet_reader_main.cpp).
    std::vector<std::string> narrowing = {};
};

// The tables of the file, or the named table's columns and rows. A table the file lacks
// comes back as a NoTable failure in the content; every other failure (the reader cannot
// be found or started, the file is damaged, the reader crashed or hung) throws
// ErroreArchivio, as do the failures of the row filter's maker.
jet_stream::Content RunJetReader(const JetReading& reading);

// Where the reader program is: $TABLEAU_LETTORE_JET when set, else beside the running
// program, else in the installed helper directory. Throws ErroreArchivio when it is nowhere.
std::filesystem::path JetReaderProgram();

}  // namespace tableau::db::jet
