#pragma once
// Where the hotel tables come from: the data directory's files (the default), or one schema
// of the chain's PostgreSQL server that the site syncs into. The workstation's own files
// (print settings, counters, the separator, the chart and its copies) always stay in the
// data directory.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "db/database.h"

namespace tableau::db {

// The chain's server and the site's schema on it.
struct ServerSetting {
    std::string conninfo;           // a libpq connection string or URI
    std::string schema = "public";  // as server::CheckSchemaName() returns it
};

// When the site's data on the server were last synced, and from where.
struct SyncRecord {
    std::string when;        // local time, "08/12/2026 02:30"
    std::string directory;   // the data directory synced from (UTF-8)
    std::string machine;     // the name of the machine that ran the sync
    std::int64_t epoch = 0;  // when, in seconds since 1970 (UTC)
};

// A source serves one action (a chart, a list, a check): its server transaction holds the ten
// tables, and a sync waits for it to end before it puts its new tables in place. The server
// ends a source's session left idle in its transaction for a minute; restart() makes it anew.
class DataSource {
  public:
    // The files of cartellaDati, or with a server the hotel tables of its schema. A server
    // is connected at once and read in one read-only transaction, so every table opened
    // through this source reads one consistent snapshot. Throws ErroreServer naming the
    // server when it does not answer, refuses the login or lacks the schema.
    DataSource(std::filesystem::path cartellaDati, std::optional<ServerSetting> server);
    ~DataSource();
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    // A database by its bare name: one of the hotel files from the server when one is set,
    // every other file from the data directory. Throws as OpenDatabase(), or ErroreServer
    // naming the server and the missing table or field.
    std::unique_ptr<Database> open(std::string_view bareName);

    const std::filesystem::path& cartellaDati() const { return cartellaDati_; }
    bool fromServer() const;
    // For messages: "server 10.0.0.5:5432/catena, schema roma", or the data directory.
    std::string describe() const;
    // The last sync the schema records; empty from files or when none is recorded.
    std::optional<SyncRecord> lastSync();
    // Ends the server transaction and starts a new one (a new snapshot): for a chart
    // cancelled by a standby's recovery conflict, read again once.
    void restart();
    // Statements sent to the server so far (0 from files): the benchmark counts them.
    std::size_t statements() const;

  private:
    struct Session;
    std::filesystem::path cartellaDati_;
    std::unique_ptr<Session> session_;
};

// Whether a failure is a read cancelled by a standby's recovery conflict, worth one retry.
bool IsRecoveryConflict(const std::exception& e);

}  // namespace tableau::db
