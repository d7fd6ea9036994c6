#pragma once
// A connection to the chain's PostgreSQL server through libpq. The connection string is a
// libpq one (keywords or URI), so host lists, target_session_attrs, sslmode, ~/.pgpass,
// service files and the PG* environment work as for every PostgreSQL client. Values are
// always bound as parameters, never spliced into a statement's text.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/errors.h"

struct pg_conn;
struct pg_result;

namespace tableau::db::server {

// The rows of one statement, in text form; owns the libpq result and frees it.
class ServerResult {
  public:
    explicit ServerResult(pg_result* result);
    int rows() const;
    int columns() const;
    std::string_view columnName(int column) const;
    bool isNull(int row, int column) const;
    // The value as the server sent it in text form (UTF-8); empty for a null.
    std::string_view text(int row, int column) const;
    // Rows touched by an INSERT, UPDATE, DELETE or COPY.
    std::int64_t affectedRows() const;

  private:
    std::unique_ptr<pg_result, void (*)(pg_result*)> result_;
};

// A parameter of a statement: its text form, or nullopt for null.
using ServerParam = std::optional<std::string>;

class ServerConnection {
  public:
    // Connects; without a connect_timeout in the string or in PGCONNECT_TIMEOUT, gives up
    // after 10 s. Throws ErroreServer naming the server when it does not answer or refuses
    // the login.
    explicit ServerConnection(const std::string& conninfo);
    ~ServerConnection();
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;

    // Runs one statement. Throws ErroreServer with the server's message and SQLSTATE.
    ServerResult exec(const std::string& sql, const std::vector<ServerParam>& params = {});

    // Runs statements without parameters, separated by semicolons (schema changes, locks,
    // transaction control). Throws ErroreServer as exec().
    void execScript(const std::string& sql);

    // "host:port/database" of the server connected to, for messages.
    const std::string& server() const { return server_; }
    // The server's version as libpq reports it (150018 for 15.18).
    int serverVersion() const;
    // Whether the server is a standby in recovery (read-only).
    bool inRecovery();

    // Statements run since the connection was made (for the benchmark and its tests).
    std::size_t statements() const { return statements_; }

  private:
    friend class ServerCopy;
    [[noreturn]] void fail(const std::string& what, pg_result* result) const;

    pg_conn* conn_ = nullptr;
    std::string server_;
    std::size_t statements_ = 0;
};

// A "COPY ... FROM STDIN" under way on a connection: the data are sent as they come, so
// that a table of any length needs no more memory than a piece of it. Until finish() the
// connection serves nothing else; dropped unfinished (a failure while the rows were
// gathered), the copy is cancelled and its statement fails, as does the transaction.
class ServerCopy {
  public:
    // Starts the copy. Throws ErroreServer as ServerConnection::exec().
    ServerCopy(ServerConnection& connection, const std::string& sql);
    ~ServerCopy();
    ServerCopy(const ServerCopy&) = delete;
    ServerCopy& operator=(const ServerCopy&) = delete;

    // Sends bytes of the copy's data. Throws ErroreServer when the server cannot take them.
    void send(std::string_view data);
    // Ends the data; returns the rows copied. Throws ErroreServer with the server's refusal.
    std::int64_t finish();

  private:
    void cancel() noexcept;
    ServerConnection& c_;
    bool open_ = true;
};

// The servers a connection string names, "host:port/database" each, joined by ", ";
// the environment's PG* defaults fill what the string leaves out. Never the password.
std::string DescribeServers(const std::string& conninfo);

// A PostgreSQL array literal of the texts ("{"a","b"}"), each quoted, for a statement's
// parameter: no text can end an element early.
std::string TextArray(const std::vector<std::string>& texts);

}  // namespace tableau::db::server
