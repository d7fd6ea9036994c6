#pragma once
// The sessions of the web view and the brake on guessed passwords, both in memory only: a
// restart of the server ends every session. A session is a random token of libsodium given
// as a cookie; the server keeps only its hash. Thread-safe.
#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace tableau::web {

class Sessioni {
  public:
    using Orologio = std::chrono::steady_clock;

    explicit Sessioni(std::chrono::seconds durata) : durata_(durata) {}

    // A new session of the user; returns its token (64 hexadecimal characters).
    std::string apri(std::string_view utente);
    // The user of a token still valid; empty for an unknown or expired one.
    std::optional<std::string> utente(std::string_view token);
    void chiudi(std::string_view token);

  private:
    struct Sessione {
        std::string utente;
        Orologio::time_point scadenza;
    };
    static std::string Impronta(std::string_view token);

    std::chrono::seconds durata_;
    std::mutex mutex_;
    std::map<std::string, Sessione, std::less<>> sessioni_;  // by the token's hash
};

// Wrong passwords counted by client address: after `tentativi` in a row the address waits
// `attesa` before the next try is even checked.
class FrenoAccessi {
  public:
    using Orologio = std::chrono::steady_clock;

    FrenoAccessi(int tentativi, std::chrono::seconds attesa)
        : tentativi_(tentativi), attesa_(attesa) {}

    // Whether the address must wait now.
    bool inAttesa(const std::string& indirizzo);
    // A wrong password from the address; true when it now has to wait.
    bool errore(const std::string& indirizzo);
    // A right one: the count starts again.
    void riuscito(const std::string& indirizzo);

  private:
    struct Conto {
        int errori = 0;
        std::optional<Orologio::time_point> finoA;
    };
    int tentativi_;
    std::chrono::seconds attesa_;
    std::mutex mutex_;
    std::map<std::string, Conto> conti_;
};

}  // namespace tableau::web
