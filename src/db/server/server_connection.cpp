#include "db/server/server_connection.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <map>

namespace tableau::db::server {
namespace {

// The options of a connection string, with the environment's defaults for what it leaves
// out. Throws ErroreServer for a string libpq cannot parse.
std::map<std::string, std::string> connectionOptions(const std::string& conninfo) {
    std::map<std::string, std::string> options;
    if (PQconninfoOption* defaults = PQconndefaults()) {
        for (const PQconninfoOption* o = defaults; o->keyword != nullptr; ++o) {
            if (o->val != nullptr) {
                options[o->keyword] = o->val;
            }
        }
        PQconninfoFree(defaults);
    }
    char* error = nullptr;
    PQconninfoOption* parsed = PQconninfoParse(conninfo.c_str(), &error);
    if (parsed == nullptr) {
        std::string reason = error != nullptr ? error : "memoria esaurita";
        PQfreemem(error);
        while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' ')) {
            reason.pop_back();
        }
        throw ErroreServer("Indirizzo del server PostgreSQL non valido: " + reason);
    }
    for (const PQconninfoOption* o = parsed; o->keyword != nullptr; ++o) {
        if (o->val != nullptr && *o->val != '\0') {
            options[o->keyword] = o->val;
        }
    }
    PQconninfoFree(parsed);
    return options;
}

std::vector<std::string> splitCommas(const std::string& s) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = s.find(',', start);
        parts.push_back(s.substr(start, comma - start));
        if (comma == std::string::npos) {
            return parts;
        }
        start = comma + 1;
    }
}

std::string trimmed(const char* message) {
    std::string s = message != nullptr ? message : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) {
        s.pop_back();
    }
    return s;
}

}  // namespace

std::string DescribeServers(const std::string& conninfo) {
    const auto options = connectionOptions(conninfo);
    const auto value = [&](const char* key) {
        const auto it = options.find(key);
        return it != options.end() ? it->second : std::string();
    };
    std::string hosts = value("host");
    if (hosts.empty()) {
        hosts = value("hostaddr");
    }
    const std::vector<std::string> hostList = splitCommas(hosts.empty() ? "localhost" : hosts);
    const std::vector<std::string> portList =
        splitCommas(value("port").empty() ? "5432" : value("port"));
    std::string database = value("dbname");
    if (database.empty()) {
        database = value("user");
    }
    std::string description;
    for (std::size_t i = 0; i < hostList.size(); ++i) {
        const std::string host = hostList[i].empty() ? "localhost" : hostList[i];
        const std::string& port =
            portList.size() == hostList.size() ? portList[i] : portList.front();
        if (!description.empty()) {
            description += ", ";
        }
        description += host + ":" + (port.empty() ? "5432" : port) + "/" + database;
    }
    return description;
}

ServerResult::ServerResult(pg_result* result) : result_(result, PQclear) {}

int ServerResult::rows() const {
    return PQntuples(result_.get());
}

int ServerResult::columns() const {
    return PQnfields(result_.get());
}

std::string_view ServerResult::columnName(int column) const {
    return PQfname(result_.get(), column);
}

bool ServerResult::isNull(int row, int column) const {
    return PQgetisnull(result_.get(), row, column) != 0;
}

std::string_view ServerResult::text(int row, int column) const {
    return {PQgetvalue(result_.get(), row, column),
            static_cast<std::size_t>(PQgetlength(result_.get(), row, column))};
}

std::int64_t ServerResult::affectedRows() const {
    const char* n = PQcmdTuples(result_.get());
    return n != nullptr && *n != '\0' ? std::strtoll(n, nullptr, 10) : 0;
}

ServerConnection::ServerConnection(const std::string& conninfo)
    : server_(DescribeServers(conninfo)) {
    const auto options = connectionOptions(conninfo);
    const bool timeoutGiven = options.count("connect_timeout") != 0;
    // Keywords given later override earlier ones, and the expanded string comes last: a
    // connect_timeout of its own wins over the default.
    std::vector<const char*> keywords;
    std::vector<const char*> values;
    if (!timeoutGiven) {
        keywords.push_back("connect_timeout");
        values.push_back("10");
    }
    keywords.push_back("fallback_application_name");
    values.push_back("tableau");
    keywords.push_back("dbname");
    values.push_back(conninfo.c_str());
    keywords.push_back(nullptr);
    values.push_back(nullptr);
    conn_ = PQconnectdbParams(keywords.data(), values.data(), /*expand_dbname=*/1);
    if (conn_ == nullptr) {
        throw ErroreServer("Server PostgreSQL " + server_ + ": memoria esaurita");
    }
    if (PQstatus(conn_) != CONNECTION_OK) {
        const std::string reason = trimmed(PQerrorMessage(conn_));
        const bool password = PQconnectionUsedPassword(conn_) != 0 ||
                              PQconnectionNeedsPassword(conn_) != 0 ||
                              reason.find("password") != std::string::npos;
        PQfinish(conn_);
        conn_ = nullptr;
        throw ErroreServer("Server PostgreSQL " + server_ +
                           (password ? ": accesso rifiutato (" : ": connessione non riuscita (") +
                           reason + ")");
    }
    // The connected server, when the string listed several.
    const char* host = PQhost(conn_);
    const char* port = PQport(conn_);
    const char* database = PQdb(conn_);
    if (host != nullptr && port != nullptr && database != nullptr) {
        server_ = std::string(host[0] == '/' ? "localhost" : host) + ":" + port + "/" + database;
    }
    // Texts cross the connection in UTF-8 whatever the client's locale.
    PQsetClientEncoding(conn_, "UTF8");
    // The server's notices ("schema ... does not exist, skipping") are not for the user.
    PQsetNoticeProcessor(
        conn_, [](void*, const char*) {}, nullptr);
}

ServerConnection::~ServerConnection() {
    if (conn_ != nullptr) {
        PQfinish(conn_);
    }
}

void ServerConnection::fail(const std::string& what, pg_result* result) const {
    std::string sqlstate;
    std::string reason;
    if (result != nullptr) {
        const char* code = PQresultErrorField(result, PG_DIAG_SQLSTATE);
        sqlstate = code != nullptr ? code : "";
        reason = trimmed(PQresultErrorMessage(result));
        PQclear(result);
    }
    if (reason.empty()) {
        reason = trimmed(PQerrorMessage(conn_));
    }
    throw ErroreServer("Server PostgreSQL " + server_ + ": " + what + " (" + reason + ")",
                       sqlstate);
}

ServerResult ServerConnection::exec(const std::string& sql,
                                    const std::vector<ServerParam>& params) {
    std::vector<const char*> values;
    values.reserve(params.size());
    for (const ServerParam& p : params) {
        values.push_back(p ? p->c_str() : nullptr);
    }
    ++statements_;
    pg_result* result = PQexecParams(conn_, sql.c_str(), static_cast<int>(values.size()), nullptr,
                                     values.data(), nullptr, nullptr, /*resultFormat=*/0);
    const ExecStatusType status = result != nullptr ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        fail("istruzione non eseguita", result);
    }
    return ServerResult(result);
}

void ServerConnection::execScript(const std::string& sql) {
    ++statements_;
    pg_result* result = PQexec(conn_, sql.c_str());
    const ExecStatusType status = result != nullptr ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        fail("istruzione non eseguita", result);
    }
    PQclear(result);
}

ServerCopy::ServerCopy(ServerConnection& connection, const std::string& sql) : c_(connection) {
    ++c_.statements_;
    pg_result* start = PQexec(c_.conn_, sql.c_str());
    if (start == nullptr || PQresultStatus(start) != PGRES_COPY_IN) {
        open_ = false;
        c_.fail("copia non avviata", start);
    }
    PQclear(start);
}

ServerCopy::~ServerCopy() {
    cancel();
}

void ServerCopy::cancel() noexcept {
    if (open_) {
        open_ = false;
        PQputCopyEnd(c_.conn_, "interrotta");
        while (pg_result* r = PQgetResult(c_.conn_)) {
            PQclear(r);
        }
    }
}

void ServerCopy::send(std::string_view data) {
    if (!data.empty() && PQputCopyData(c_.conn_, data.data(), static_cast<int>(data.size())) != 1) {
        c_.fail("copia interrotta", nullptr);
    }
}

std::int64_t ServerCopy::finish() {
    open_ = false;
    if (PQputCopyEnd(c_.conn_, nullptr) != 1) {
        c_.fail("copia non conclusa", nullptr);
    }
    pg_result* end = PQgetResult(c_.conn_);
    if (end == nullptr || PQresultStatus(end) != PGRES_COMMAND_OK) {
        while (pg_result* r = PQgetResult(c_.conn_)) {
            PQclear(r);
        }
        c_.fail("copia non riuscita", end);
    }
    const ServerResult result(end);
    while (pg_result* r = PQgetResult(c_.conn_)) {
        PQclear(r);
    }
    return result.affectedRows();
}

int ServerConnection::serverVersion() const {
    return PQserverVersion(conn_);
}

bool ServerConnection::inRecovery() {
    return exec("SELECT pg_is_in_recovery()").text(0, 0) == "t";
}

std::string TextArray(const std::vector<std::string>& texts) {
    std::string out = "{";
    for (const auto& text : texts) {
        out += out.size() > 1 ? ",\"" : "\"";
        for (const char c : text) {
            if (c == '"' || c == '\\') {
                out += '\\';
            }
            out += c;
        }
        out += '"';
    }
    return out + "}";
}

}  // namespace tableau::db::server
