#pragma once
// The PostgreSQL servers of the server tests (scripts/pg-test-server.sh starts them): each
// test works in a schema of its own, made fresh and dropped at the end, so tests run side
// by side. Without the servers the tests are skipped, unless TABLEAU_TEST_PG_OBBLIGATORIO
// is set (scripts/test.sh sets it): then a missing server fails them.
#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tableau::test {

// The primary's connection string: $TABLEAU_TEST_PG, else 127.0.0.1:55432 as postgres.
std::string ServerPrimario();
// The hot standby streaming from it: $TABLEAU_TEST_PG_STANDBY, else 127.0.0.1:55433.
std::string ServerStandby();

// Why the server tests cannot run here; empty when the primary answers.
std::optional<std::string> ServerAssente();

// Skips the test (or fails it, when the servers are required) without a primary.
#define TABLEAU_RICHIEDE_SERVER()                                    \
    do {                                                             \
        if (const auto motivo_ = ::tableau::test::ServerAssente()) { \
            if (::tableau::test::ServerObbligatorio()) {             \
                FAIL() << *motivo_;                                  \
            }                                                        \
            GTEST_SKIP() << *motivo_;                                \
        }                                                            \
    } while (0)

bool ServerObbligatorio();

// A schema of its own on the primary (made empty, or only named when crealo is false),
// dropped with everything in it at the end.
class SchemaDiProva {
  public:
    explicit SchemaDiProva(bool crealo = true);
    ~SchemaDiProva();
    SchemaDiProva(const SchemaDiProva&) = delete;
    SchemaDiProva& operator=(const SchemaDiProva&) = delete;
    const std::string& nome() const { return nome_; }

  private:
    std::string nome_;
};

// Runs SQL on the primary as the superuser; throws on failure.
void EseguiSulPrimario(const std::string& sql);

// Waits until the standby has replayed everything the primary has written so far.
void AttendiStandby();

}  // namespace tableau::test
