#pragma once
// The writing side shared by the benchmark's hotels: one SQLite writer per hotel file, each
// in one transaction without journal, and the tables every benchmark hotel has alike.
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "db/writer/sqlite_writer.h"

namespace tableau::bench {

// The hotel files of a data directory created empty (any previous content removed), then
// opened for writing as their tables are first written; every file is committed by
// commit(). Rows left uncommitted are lost with the object.
class ScrittoriHotel {
  public:
    explicit ScrittoriHotel(std::filesystem::path cartellaDati);

    // The writer of the file that holds the table.
    db::writer::SqliteWriter& operator()(std::string_view table);

    void commit();

  private:
    std::filesystem::path cartellaDati_;
    std::map<std::string, std::unique_ptr<db::writer::SqliteWriter>> writers_;
};

// Hotel 1, its block 1 of kCamere rooms "0001" to "1000" (double rooms of three beds) and
// the four arrangement names BB, MP, PC and SO.
void scriviCamereEArrangiamenti(ScrittoriHotel& writer);

// The arrangement code of a client code: BB, MP, PC or SO in turn.
const char* codiceArrangiamento(std::int64_t codice);

}  // namespace tableau::bench
