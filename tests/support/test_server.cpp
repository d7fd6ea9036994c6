#include "support/test_server.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "db/server/server_connection.h"

namespace tableau::test {
namespace {

std::string variabile(const char* nome, const char* predefinito) {
    const char* v = std::getenv(nome);
    return v != nullptr && *v != '\0' ? v : predefinito;
}

}  // namespace

std::string ServerPrimario() {
    return variabile("TABLEAU_TEST_PG",
                     "host=127.0.0.1 port=55432 user=postgres dbname=postgres connect_timeout=5");
}

std::string ServerStandby() {
    return variabile("TABLEAU_TEST_PG_STANDBY",
                     "host=127.0.0.1 port=55433 user=postgres dbname=postgres connect_timeout=5");
}

bool ServerObbligatorio() {
    return std::getenv("TABLEAU_TEST_PG_OBBLIGATORIO") != nullptr;
}

std::optional<std::string> ServerAssente() {
    try {
        db::server::ServerConnection prova(ServerPrimario());
        return std::nullopt;
    } catch (const db::ErroreServer& e) {
        return std::string("no PostgreSQL test server (scripts/pg-test-server.sh start): ") +
               e.what();
    }
}

void EseguiSulPrimario(const std::string& sql) {
    db::server::ServerConnection c(ServerPrimario());
    c.execScript(sql);
}

SchemaDiProva::SchemaDiProva(bool crealo) {
    static std::atomic<int> contatore{0};
    nome_ = "prova_" + std::to_string(::getpid()) + "_" + std::to_string(++contatore);
    EseguiSulPrimario("DROP SCHEMA IF EXISTS " + nome_ + " CASCADE");
    if (crealo) {
        EseguiSulPrimario("CREATE SCHEMA " + nome_);
    }
}

SchemaDiProva::~SchemaDiProva() {
    try {
        EseguiSulPrimario("DROP SCHEMA IF EXISTS " + nome_ + " CASCADE");
    } catch (...) {
        // the server went away: its directory is removed with it
    }
}

void AttendiStandby() {
    db::server::ServerConnection primario(ServerPrimario());
    const std::string lsn(primario.exec("SELECT pg_current_wal_lsn()::text").text(0, 0));
    db::server::ServerConnection standby(ServerStandby());
    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < limite) {
        if (standby.exec("SELECT pg_last_wal_replay_lsn() >= $1::pg_lsn", {lsn}).text(0, 0) ==
            "t") {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    throw std::runtime_error("the standby did not replay " + lsn + " within 30 s");
}

}  // namespace tableau::test
