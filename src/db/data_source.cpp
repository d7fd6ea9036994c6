#include "db/data_source.h"

#include "db/server/server_connection.h"
#include "db/server/server_database.h"

namespace tableau::db {

struct DataSource::Session : server::ServerSession {
    using server::ServerSession::ServerSession;
};

DataSource::DataSource(std::filesystem::path cartellaDati, std::optional<ServerSetting> server)
    : cartellaDati_(std::move(cartellaDati)) {
    if (server) {
        session_ = std::make_unique<Session>(*server, cartellaDati_);
    }
}

DataSource::~DataSource() = default;

std::unique_ptr<Database> DataSource::open(std::string_view bareName) {
    return session_ ? session_->open(bareName) : OpenDatabase(cartellaDati_, bareName);
}

bool DataSource::fromServer() const {
    return session_ != nullptr;
}

std::string DataSource::describe() const {
    return session_
               ? session_->describe()
               : "cartella " + std::filesystem::absolute(cartellaDati_).lexically_normal().string();
}

std::optional<SyncRecord> DataSource::lastSync() {
    return session_ ? session_->lastSync() : std::nullopt;
}

void DataSource::restart() {
    if (session_) {
        session_->restart();
    }
}

std::size_t DataSource::statements() const {
    return session_ ? session_->connection().statements() : 0;
}

bool IsRecoveryConflict(const std::exception& e) {
    const auto* server = dynamic_cast<const ErroreServer*>(&e);
    return server != nullptr && (server->sqlstate() == "40001" || server->sqlstate() == "40P01");
}

}  // namespace tableau::db
