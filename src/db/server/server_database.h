#pragma once
// The hotel tables of a site's schema on the chain's server, read as the files are read:
// one read-only transaction whose snapshot is taken once the ten tables are locked, so every
// record set of a chart comes from one moment, before or after a sync, never between.
// A select lets the server drop the rows that cannot match (byte-order comparisons only,
// values always bound) and applies the criteria itself to what comes, so its rows are the
// file's, in the file's order (kOrderColumn).
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/data_source.h"
#include "db/database.h"
#include "db/in_filter.h"
#include "db/server/copy_text.h"
#include "db/server/server_connection.h"

namespace tableau::db::server {

// A hotel table's fields as the schema has them, the order column left out.
struct ServerTableShape {
    std::string table;                 // as the schema names it
    std::vector<std::string> fields;   // Windows-1252, in the table's order
    std::vector<std::string> columns;  // the same, UTF-8, as the server names them
    std::vector<ServerType> types;     // bigint, double precision or text
};

class ServerSession {
  public:
    // Connects and begins the read. Throws ErroreServer naming the server when it does not
    // answer, refuses the login or lacks the schema or one of the ten tables.
    ServerSession(const ServerSetting& setting, std::filesystem::path cartellaDati);

    // A hotel file's table from the server; any other file from the data directory.
    std::unique_ptr<Database> open(std::string_view bareName);
    // A new transaction and snapshot; a connection lost meanwhile is made again.
    void restart();
    std::optional<SyncRecord> lastSync();
    std::string describe() const;

    ServerConnection& connection() { return *connection_; }
    const std::string& schema() const { return schema_; }
    const std::filesystem::path& cartellaDati() const { return cartellaDati_; }
    // "server 127.0.0.1:5432/catena, schema roma", for messages.
    std::string where() const;

  private:
    void begin();
    [[noreturn]] void missing(const ErroreServer& e);

    ServerSetting setting_;
    std::filesystem::path cartellaDati_;
    std::string schema_;
    std::unique_ptr<ServerConnection> connection_;
    std::map<std::string, ServerTableShape> shapes_;  // by table name
    bool syncTable_ = false;
};

class ServerDatabase final : public Database {
  public:
    ServerDatabase(ServerSession& session, std::string name, ServerTableShape shape);

    TableSummary summarize(const std::string& table) override;
    RecordSet openTable(const std::string& table) override;
    RecordSet select(const SelectStatement& statement) override;
    const std::string& name() const override { return name_; }
    DatabaseFormat format() const override { return DatabaseFormat::Server; }

  private:
    // Throws ErroreServer unless the table is this file's.
    void checkTable(const std::string& table) const;
    // The same, and unless it has every field the program reads of it.
    void check(const std::string& table) const;
    std::optional<InFilter> inFilter(const SelectStatement& statement);

    ServerSession& session_;
    std::string name_;
    ServerTableShape shape_;
};

}  // namespace tableau::db::server
