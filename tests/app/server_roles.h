#pragma once
// For the server tests of the command line: a login role of the test's own, dropped with
// its grants at the end, and a loopback port where nothing answers or nobody listens.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include "support/test_server.h"

namespace tableau::test {

// A role that logs in on the test servers; with a password it must use it (member of
// tableau_login_password), without one it logs in freely.
class RuoloDiProva {
  public:
    explicit RuoloDiProva(const std::string& password = {}) {
        static std::atomic<int> contatore{0};
        nome_ = "ruolo_" + std::to_string(::getpid()) + "_" + std::to_string(++contatore);
        EseguiSulPrimario("CREATE ROLE " + nome_ + " LOGIN" +
                          (password.empty()
                               ? std::string()
                               : " PASSWORD '" + password + "' IN ROLE tableau_login_password"));
    }
    ~RuoloDiProva() {
        try {
            EseguiSulPrimario("DROP OWNED BY " + nome_ + " CASCADE; DROP ROLE " + nome_);
        } catch (...) {
            // the server went away with its roles
        }
    }
    RuoloDiProva(const RuoloDiProva&) = delete;
    RuoloDiProva& operator=(const RuoloDiProva&) = delete;
    const std::string& nome() const { return nome_; }
    // The primary's address as this role.
    std::string connessione() const {
        return "host=127.0.0.1 port=55432 dbname=postgres connect_timeout=5 user=" + nome_;
    }

  private:
    std::string nome_;
};

// A loopback TCP port. Listening, it takes connections into its queue and never answers:
// a server that would keep a client waiting; connessioni() counts the connections made.
// Not listening, nobody is there: a connection is refused at once.
class PortaDiProva {
  public:
    explicit PortaDiProva(bool inAscolto) {
        presa_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in indirizzo{};
        indirizzo.sin_family = AF_INET;
        indirizzo.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(presa_, reinterpret_cast<sockaddr*>(&indirizzo), sizeof indirizzo);
        socklen_t lunghezza = sizeof indirizzo;
        ::getsockname(presa_, reinterpret_cast<sockaddr*>(&indirizzo), &lunghezza);
        porta_ = ntohs(indirizzo.sin_port);
        if (inAscolto) {
            ::listen(presa_, 16);
            ::fcntl(presa_, F_SETFL, O_NONBLOCK);
        } else {
            ::close(presa_);
            presa_ = -1;
        }
    }
    ~PortaDiProva() {
        if (presa_ >= 0) {
            ::close(presa_);
        }
    }
    PortaDiProva(const PortaDiProva&) = delete;
    PortaDiProva& operator=(const PortaDiProva&) = delete;
    int porta() const { return porta_; }
    std::string connessione(const std::string& altro = {}) const {
        return "host=127.0.0.1 port=" + std::to_string(porta_) + " dbname=catena user=ufficio" +
               (altro.empty() ? std::string() : " " + altro);
    }
    int connessioni() {
        int n = 0;
        for (int c = ::accept(presa_, nullptr, nullptr); c >= 0;
             c = ::accept(presa_, nullptr, nullptr)) {
            ::close(c);
            ++n;
        }
        return n;
    }

  private:
    int presa_ = -1;
    int porta_ = 0;
};

}  // namespace tableau::test
