#include "preview/mail_handoff.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "chart/chart_file.h"
#include "routines/atomic_file.h"
#include "routines/codepage.h"

extern char** environ;

namespace tableau::preview {
namespace {

// Every line end of the text (CR LF, LF or CR alone) as CR LF.
std::string FineRigaCrLf(std::string_view testo) {
    std::string risultato;
    risultato.reserve(testo.size() + testo.size() / 32);
    for (std::size_t i = 0; i < testo.size(); ++i) {
        const char c = testo[i];
        if (c == '\r' || c == '\n') {
            risultato += "\r\n";
            if (c == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n') {
                ++i;
            }
        } else {
            risultato += c;
        }
    }
    return risultato;
}

class AttributiAvvio {
  public:
    AttributiAvvio() {
        ::posix_spawnattr_init(&attributi_);
        ::posix_spawn_file_actions_init(&azioni_);
    }
    ~AttributiAvvio() {
        ::posix_spawn_file_actions_destroy(&azioni_);
        ::posix_spawnattr_destroy(&attributi_);
    }
    AttributiAvvio(const AttributiAvvio&) = delete;
    AttributiAvvio& operator=(const AttributiAvvio&) = delete;
    posix_spawnattr_t* attributi() { return &attributi_; }
    posix_spawn_file_actions_t* azioni() { return &azioni_; }

  private:
    posix_spawnattr_t attributi_;
    posix_spawn_file_actions_t azioni_;
};

// Starts the program in its own session, working in the directory, and leaves it running;
// a detached thread collects its exit so that it leaves no zombie behind.
void AvviaSenzaAttendere(const char* programma, const std::filesystem::path& cartellaDati) {
    AttributiAvvio avvio;
    ::posix_spawnattr_setflags(avvio.attributi(), POSIX_SPAWN_SETSID);
    ::posix_spawn_file_actions_addchdir_np(avvio.azioni(), cartellaDati.c_str());
    char* const argv[] = {const_cast<char*>(programma), nullptr};
    pid_t pid = -1;
    const int esito =
        ::posix_spawnp(&pid, programma, avvio.azioni(), avvio.attributi(), argv, environ);
    if (esito != 0) {
        const std::string motivo = esito == ENOENT ? "programma non trovato nel percorso di ricerca"
                                                   : std::strerror(esito);
        throw std::runtime_error("Impossibile avviare il programma di posta \"" +
                                 std::string(programma) + "\": " + motivo);
    }
    std::thread([pid] {
        int stato = 0;
        while (::waitpid(pid, &stato, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

}  // namespace

std::string NomeFileEMail() {
    return "e-mail" + chart::NumeroPostazione() + ".txt";
}

std::filesystem::path InviaEMail(const std::filesystem::path& cartellaDati,
                                 std::string_view testo) {
    routines::AtomicFile file(cartellaDati /
                              std::filesystem::path(routines::cp1252ToUtf8(NomeFileEMail())));
    file.write("OGGETTO\r\n");
    file.write(FineRigaCrLf(testo));
    file.write("\r\n");
    file.commit();
    AvviaSenzaAttendere(kProgrammaPosta, cartellaDati);
    return file.target();
}

}  // namespace tableau::preview
