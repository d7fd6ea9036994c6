#include "routines/system_log.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <string>

#include "routines/codepage.h"
#include "routines/file_descriptor.h"
#include "routines/settings.h"

namespace tableau::routines {
namespace {

constexpr int kUtente = 1;  // syslog facility "user"
constexpr int kInformazione = 6;
constexpr int kErrore = 3;
constexpr int kAvviso = 4;

// The workstation the lines name, set once at start-up.
std::string& PostazioneRegistro() {
    static std::string postazione;
    return postazione;
}

void Scrivi(int gravita, std::string_view testo) {
    const std::string percorso = LeggiRegolazione("TABLEAU_REGISTRO").value_or("/dev/log");
    sockaddr_un indirizzo{};
    indirizzo.sun_family = AF_UNIX;
    if (percorso.size() >= sizeof indirizzo.sun_path) {
        return;
    }
    std::memcpy(indirizzo.sun_path, percorso.c_str(), percorso.size() + 1);

    const std::time_t adesso = std::time(nullptr);
    std::tm locale{};
    ::localtime_r(&adesso, &locale);
    char momento[32];
    std::strftime(momento, sizeof momento, "%b %e %H:%M:%S", &locale);
    const std::string& postazione = PostazioneRegistro();
    std::string riga = "<" + std::to_string(kUtente * 8 + gravita) + ">" + momento + " tableau[" +
                       std::to_string(::getpid()) + "]: postazione " +
                       (postazione.empty() ? "-" : postazione) + ": ";
    for (const char c : testo) {
        // One line each: line breaks and other controls become blanks.
        riga += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
    const FileDescriptor presa(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (presa.valid()) {
        (void)::sendto(presa.get(), riga.data(), riga.size(), MSG_NOSIGNAL,
                       reinterpret_cast<const sockaddr*>(&indirizzo), sizeof indirizzo);
    }
}

}  // namespace

void ImpostaPostazioneRegistro(std::string_view postazione) {
    PostazioneRegistro() = InUtf8(postazione);
}

void RegistraEvento(std::string_view testo) {
    Scrivi(kInformazione, testo);
}

void RegistraAvviso(std::string_view testo) {
    Scrivi(kAvviso, testo);
}

void RegistraErrore(std::string_view testo) {
    Scrivi(kErrore, testo);
}

}  // namespace tableau::routines
