#pragma once
// A plain HTTP/1.1 client for the tests of the web server: one request per connection,
// written byte by byte as given, the answer read until the server closes.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace tableau::test {

struct RispostaHttp {
    int stato = 0;  // 0: no answer (the connection closed or failed)
    std::multimap<std::string, std::string> intestazioni;  // names in lower case
    std::string corpo;

    std::optional<std::string> intestazione(const std::string& nome) const {
        const auto trovata = intestazioni.find(nome);
        return trovata == intestazioni.end() ? std::nullopt : std::optional(trovata->second);
    }
};

// A connected socket to 127.0.0.1:porta, closed with the object.
class Connessione {
  public:
    explicit Connessione(std::uint16_t porta, int attesaSecondi = 10) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in indirizzo{};
        indirizzo.sin_family = AF_INET;
        indirizzo.sin_port = htons(porta);
        indirizzo.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        timeval attesa{attesaSecondi, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &attesa, sizeof attesa);
        if (::connect(fd_, reinterpret_cast<sockaddr*>(&indirizzo), sizeof indirizzo) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~Connessione() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Connessione(const Connessione&) = delete;
    Connessione& operator=(const Connessione&) = delete;

    bool aperta() const { return fd_ >= 0; }

    bool scrivi(const std::string& byte) {
        std::size_t scritti = 0;
        while (fd_ >= 0 && scritti < byte.size()) {
            const ssize_t n =
                ::send(fd_, byte.data() + scritti, byte.size() - scritti, MSG_NOSIGNAL);
            if (n <= 0) {
                return false;
            }
            scritti += static_cast<std::size_t>(n);
        }
        return fd_ >= 0;
    }

    // Everything until the server closes (or the wait runs out).
    std::string leggiTutto() {
        std::string testo;
        char blocco[16384];
        while (fd_ >= 0) {
            const ssize_t n = ::recv(fd_, blocco, sizeof blocco, 0);
            if (n <= 0) {
                break;
            }
            testo.append(blocco, static_cast<std::size_t>(n));
        }
        return testo;
    }

    // Whether the server closed the connection (a read gives end of file) within the wait.
    bool chiusaDalServer() {
        char c = 0;
        return ::recv(fd_, &c, 1, 0) == 0;
    }

  private:
    int fd_ = -1;
};

inline std::string Minuscolo(std::string testo) {
    std::transform(testo.begin(), testo.end(), testo.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return testo;
}

// The answer's parts; a chunked body is joined.
inline RispostaHttp LeggiRisposta(const std::string& testo) {
    RispostaHttp risposta;
    const auto fineIntestazioni = testo.find("\r\n\r\n");
    if (testo.compare(0, 9, "HTTP/1.1 ") != 0 || fineIntestazioni == std::string::npos) {
        return risposta;
    }
    risposta.stato = std::stoi(testo.substr(9, 3));
    std::size_t riga = testo.find("\r\n") + 2;
    while (riga < fineIntestazioni) {
        const auto fine = testo.find("\r\n", riga);
        const std::string linea = testo.substr(riga, fine - riga);
        const auto duepunti = linea.find(':');
        std::string valore = linea.substr(duepunti + 1);
        valore.erase(0, valore.find_first_not_of(' '));
        risposta.intestazioni.emplace(Minuscolo(linea.substr(0, duepunti)), valore);
        riga = fine + 2;
    }
    std::string corpo = testo.substr(fineIntestazioni + 4);
    if (Minuscolo(risposta.intestazione("transfer-encoding").value_or("")) == "chunked") {
        std::string unito;
        std::size_t p = 0;
        while (p < corpo.size()) {
            const auto fine = corpo.find("\r\n", p);
            const std::size_t lunghezza = std::stoul(corpo.substr(p, fine - p), nullptr, 16);
            if (lunghezza == 0) {
                break;
            }
            unito += corpo.substr(fine + 2, lunghezza);
            p = fine + 2 + lunghezza + 2;
        }
        corpo = unito;
    }
    risposta.corpo = corpo;
    return risposta;
}

// One request written as given (it should say "Connection: close").
inline RispostaHttp Invia(std::uint16_t porta, const std::string& richiesta) {
    Connessione connessione(porta);
    if (!connessione.aperta() || !connessione.scrivi(richiesta)) {
        return {};
    }
    return LeggiRisposta(connessione.leggiTutto());
}

inline RispostaHttp Chiedi(std::uint16_t porta, const std::string& metodo,
                           const std::string& percorso, const std::string& cookie = "",
                           const std::string& corpo = "") {
    std::string richiesta =
        metodo + " " + percorso + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + "Connection: close\r\n";
    if (!cookie.empty()) {
        richiesta += "Cookie: " + cookie + "\r\n";
    }
    if (metodo == "POST" || !corpo.empty()) {
        richiesta += "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                     std::to_string(corpo.size()) + "\r\n";
    }
    return Invia(porta, richiesta + "\r\n" + corpo);
}

}  // namespace tableau::test
