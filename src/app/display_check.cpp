#include "app/display_check.h"

#include <netdb.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace tableau::app {
namespace {

std::string Variabile(const char* nome) {
    const char* valore = std::getenv(nome);
    return valore != nullptr ? valore : "";
}

// A stream socket that accepts a connection (closed at once).
bool Risponde(int famiglia, const sockaddr* indirizzo, socklen_t lunghezza) {
    const int presa = ::socket(famiglia, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (presa < 0) {
        return false;
    }
    const bool connessa = ::connect(presa, indirizzo, lunghezza) == 0;
    ::close(presa);
    return connessa;
}

bool PresaLocale(const std::string& percorso) {
    sockaddr_un indirizzo{};
    indirizzo.sun_family = AF_UNIX;
    if (percorso.empty() || percorso.size() >= sizeof indirizzo.sun_path) {
        return false;
    }
    std::memcpy(indirizzo.sun_path, percorso.c_str(), percorso.size() + 1);
    return Risponde(AF_UNIX, reinterpret_cast<const sockaddr*>(&indirizzo), sizeof indirizzo);
}

// DISPLAY is [host]:number[.screen]; no host (or "unix") is the local socket.
bool ServerX(const std::string& display) {
    const auto duePunti = display.rfind(':');
    if (duePunti == std::string::npos) {
        return false;
    }
    const std::string host = display.substr(0, duePunti);
    std::string numero = display.substr(duePunti + 1);
    numero = numero.substr(0, numero.find('.'));
    if (numero.empty() || numero.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    if (host.empty() || host == "unix") {
        return PresaLocale("/tmp/.X11-unix/X" + numero);
    }
    addrinfo richiesta{};
    richiesta.ai_socktype = SOCK_STREAM;
    addrinfo* risposte = nullptr;
    const std::string porta = std::to_string(6000 + std::atoi(numero.c_str()));
    if (::getaddrinfo(host.c_str(), porta.c_str(), &richiesta, &risposte) != 0) {
        return false;
    }
    bool risponde = false;
    for (const addrinfo* a = risposte; a != nullptr && !risponde; a = a->ai_next) {
        risponde = Risponde(a->ai_family, a->ai_addr, a->ai_addrlen);
    }
    ::freeaddrinfo(risposte);
    return risponde;
}

}  // namespace

std::optional<std::string> MotivoSenzaDisplay() {
    const std::string piattaforma = Variabile("QT_QPA_PLATFORM");
    const std::string_view nome = std::string_view(piattaforma).substr(0, piattaforma.find(':'));
    if (!nome.empty() && nome != "xcb" && nome != "wayland" && !nome.starts_with("wayland-")) {
        return std::nullopt;  // offscreen, vnc, eglfs...: Qt needs no display server
    }
    const std::string wayland = Variabile("WAYLAND_DISPLAY");
    if (nome != "xcb" && !wayland.empty()) {
        const std::string presa =
            wayland.front() == '/' ? wayland : Variabile("XDG_RUNTIME_DIR") + "/" + wayland;
        if (PresaLocale(presa)) {
            return std::nullopt;
        }
    }
    const std::string display = Variabile("DISPLAY");
    if (nome != "wayland" && !display.empty() && ServerX(display)) {
        return std::nullopt;
    }
    std::string motivo = "tableau: impossibile aprire le finestre: ";
    if (display.empty() && wayland.empty()) {
        motivo += "nessuna sessione grafica (DISPLAY e WAYLAND_DISPLAY non sono impostate).";
    } else {
        motivo += "la sessione grafica non risponde (";
        motivo += display.empty() ? "WAYLAND_DISPLAY=" + wayland : "DISPLAY=" + display;
        motivo += ").";
    }
    motivo +=
        "\nI comandi senza finestre (tableau chart, csv, print, check) funzionano anche "
        "senza: tableau --help li elenca.";
    return motivo;
}

}  // namespace tableau::app
