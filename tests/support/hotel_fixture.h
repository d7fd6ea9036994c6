#pragma once
// A data directory of real SQLite hotel files, built empty in a temporary directory, with
// helpers to add rows. Texts are given in UTF-8 as the files store them.
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>

#include "db/writer/sqlite_writer.h"
#include "support/temp_dir.h"

namespace tableau::test {

class HotelFixture {
  public:
    HotelFixture();  // every table of the suite, empty

    const std::filesystem::path& dir() const { return temp_.path(); }

    // Adds a row to a table (the file is the table's own); unnamed columns stay null.
    void add(const std::string& table,
             std::initializer_list<std::pair<std::string, db::writer::Cell>> values);

    // Shorthands for the tables the chart reads; dates are yyyymmdd texts.
    void hotel(int numero, const std::string& nome, const std::string& assistenza = "");
    void tableau(int hotel, int codice, const std::string& descrizione);
    void camera(int hotel, int tableau, const std::string& numero, const std::string& tipo,
                int posti);
    void tipoCamera(const std::string& sigla, const std::string& tipologia);

  private:
    TempDir temp_;
};

}  // namespace tableau::test
