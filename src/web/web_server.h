#pragma once
// The web view's HTTP server on libmicrohttpd: read-only pages of the week's chart behind a
// login, fit for the hotel's network. The hotel tables are read for each page where the
// settings say (ApriSorgente), and nothing is ever written. Every response carries the
// security headers; only GET, HEAD and the login's POST are answered (405 otherwise), a body
// over 16 KB gets 413, any other path 404, no file is served from disk. Connections are
// bounded in number (overall and by client address) and in idle time. Without a certificate
// it listens only on a loopback address, unless told it is insecure.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "db/data_source.h"
#include "routines/clock.h"
#include "web/users_file.h"

namespace tableau::web {

inline constexpr std::size_t kMassimoCorpo = 16 * 1024;
inline constexpr std::string_view kCookieSessione = "tableau_sessione";

struct OpzioniServer {
    std::string indirizzo = "127.0.0.1";  // numeric IPv4 or IPv6 address
    std::uint16_t porta = 8080;           // 0: any free port (the tests)
    // Both set: HTTPS (PEM files); both empty: plain HTTP.
    std::filesystem::path certificato;
    std::filesystem::path chiave;
    bool insicuro = false;  // plain HTTP on an address that is not loopback
    std::filesystem::path fileUtenti{kFileUtentiPredefinito};
    unsigned connessioniMassime = 64;
    unsigned connessioniPerIndirizzo = 32;
    std::chrono::seconds attesaConnessione{30};  // an idle connection is closed after it
    int tentativiAccesso = 5;                    // wrong passwords before an address waits
    std::chrono::seconds attesaTentativi{60};
    std::chrono::seconds durataSessione{12 * 3600};
};

// "ADDRESS:PORT", "[IPv6]:PORT". Throws routines::RichiestaRifiutata for anything else.
struct IndirizzoAscolto {
    std::string indirizzo;
    std::uint16_t porta = 0;
};
IndirizzoAscolto LeggiIndirizzoAscolto(std::string_view testo);

// Whether a numeric address is a loopback one (127.0.0.0/8, ::1).
bool IndirizzoLocale(const std::string& indirizzo);

// Opens the hotel tables for one page (the data directory's files or the chain's server).
using ApriSorgente = std::function<std::unique_ptr<db::DataSource>()>;

class ServerWeb {
  public:
    // Listens at once. Throws routines::RichiestaRifiutata for an address that is not numeric,
    // plain HTTP on an address that is not loopback without `insicuro`, a certificate
    // without its key; ErroreWeb when a file cannot be read or the address cannot be bound.
    ServerWeb(OpzioniServer opzioni, ApriSorgente apriSorgente, const routines::Orologio& orologio);
    ~ServerWeb();  // stops listening; the sessions end with it
    ServerWeb(const ServerWeb&) = delete;
    ServerWeb& operator=(const ServerWeb&) = delete;

    std::uint16_t porta() const;
    bool https() const;
    // "http://127.0.0.1:8080/"
    std::string indirizzo() const;

    struct Stato;

  private:
    std::unique_ptr<Stato> stato_;
};

}  // namespace tableau::web
