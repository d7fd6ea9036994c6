#pragma once
// Checks that a data directory holds every database file, table and field the program
// reads, before a chart is asked of it: the administrator's report before first use.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "db/data_source.h"
#include "db/database.h"

namespace tableau::chart {

// The report of one data directory, in the order of the hotel schema. Names are the
// program's own (as the schema spells them); messages are the database layer's, UTF-8.
struct RapportoArchivi {
    struct Campo {
        std::string nome;
        bool presente = false;
    };
    struct Tabella {
        std::string nome;
        std::optional<std::size_t> righe;  // absent when the table could not be read
        // The count the file itself declares (Jet files), when it differs from the rows read.
        std::optional<std::size_t> righeDichiarate;
        std::string errore;        // why it could not be read (missing, damaged)
        std::vector<Campo> campi;  // empty when the table could not be read
    };
    struct Archivio {
        std::string nome;                           // bare file name ("Tableau.mdb")
        std::optional<db::DatabaseFormat> formato;  // absent when the file could not be opened
        std::string errore;  // why it could not be opened (missing, unknown format, damaged)
        std::vector<Tabella> tabelle;  // the tables read in it; empty when not opened
    };

    std::vector<Archivio> archivi;

    // One Italian line per problem (a file or table that cannot be read, a table with fewer
    // or more rows than its file declares, a missing field), in report order; empty when
    // all is there.
    std::vector<std::string> problemi() const;
};

// Opens every database file of the schema in the directory and reads each of its tables;
// a file or table that fails is reported and the check goes on with the others.
RapportoArchivi RapportoVerificaArchivi(const std::filesystem::path& cartellaDati);
// The same through a source: with a server, the hotel files' tables are those of its schema
// (format PostgreSQL) and the workstation's own files those of the data directory.
RapportoArchivi RapportoVerificaArchivi(db::DataSource& origine);

// The problem lines of the directory's report.
std::vector<std::string> VerificaArchivi(const std::filesystem::path& cartellaDati);

}  // namespace tableau::chart
