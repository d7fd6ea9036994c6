#pragma once
// A stand-in for the system log: a datagram socket named by TABLEAU_REGISTRO for its
// life, whose lines the test receives.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace tableau::test {

class PresaRegistro {
  public:
    explicit PresaRegistro(const std::filesystem::path& percorso)
        : ambiente_("TABLEAU_REGISTRO", percorso.c_str()) {
        presa_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un indirizzo{};
        indirizzo.sun_family = AF_UNIX;
        std::strncpy(indirizzo.sun_path, percorso.c_str(), sizeof indirizzo.sun_path - 1);
        ::bind(presa_, reinterpret_cast<sockaddr*>(&indirizzo), sizeof indirizzo);
        timeval attesa{2, 0};
        ::setsockopt(presa_, SOL_SOCKET, SO_RCVTIMEO, &attesa, sizeof attesa);
    }
    ~PresaRegistro() { ::close(presa_); }
    PresaRegistro(const PresaRegistro&) = delete;
    PresaRegistro& operator=(const PresaRegistro&) = delete;

    // The next line, or empty after two seconds without one.
    std::string ricevi() {
        char blocco[4096];
        const ssize_t letti = ::recv(presa_, blocco, sizeof blocco, 0);
        return letti > 0 ? std::string(blocco, static_cast<std::size_t>(letti)) : std::string();
    }

  private:
    ScopedEnv ambiente_;
    int presa_ = -1;
};

}  // namespace tableau::test
