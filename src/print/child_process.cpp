#include "print/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "print/print_error.h"
#include "routines/spawn_actions.h"

extern char** environ;

namespace tableau::print {
namespace {

void Chiudi(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

}  // namespace

ProcessoFiglio::ProcessoFiglio(const std::vector<std::string>& argv) : programma_(argv.at(0)) {
    int socket[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, socket) != 0) {
        throw ErroreStampa("Impossibile avviare " + programma_ + ": " + std::strerror(errno));
    }
    int tubo[2];
    if (::pipe2(tubo, O_CLOEXEC) != 0) {
        const int errore = errno;
        ::close(socket[0]);
        ::close(socket[1]);
        throw ErroreStampa("Impossibile avviare " + programma_ + ": " + std::strerror(errore));
    }
    ingresso_ = socket[0];
    lettura_ = tubo[0];
    routines::SpawnActions azioni;
    ::posix_spawn_file_actions_adddup2(azioni.get(), socket[1], STDIN_FILENO);
    ::posix_spawn_file_actions_adddup2(azioni.get(), tubo[1], STDOUT_FILENO);
    ::posix_spawn_file_actions_adddup2(azioni.get(), tubo[1], STDERR_FILENO);
    std::vector<char*> args;
    for (const auto& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    const int esito =
        ::posix_spawnp(&pid_, programma_.c_str(), azioni.get(), nullptr, args.data(), environ);
    ::close(socket[1]);
    ::close(tubo[1]);
    if (esito != 0) {
        pid_ = -1;
        Chiudi(ingresso_);
        Chiudi(lettura_);
        throw ErroreStampa("Impossibile avviare " + programma_ + ": " + std::strerror(esito));
    }
}

ProcessoFiglio::~ProcessoFiglio() {
    Chiudi(ingresso_);
    Chiudi(lettura_);
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int stato = 0;
        while (::waitpid(pid_, &stato, 0) < 0 && errno == EINTR) {
        }
    }
}

void ProcessoFiglio::scrivi(std::string_view byte) {
    while (!byte.empty()) {
        // Drain the child's output meanwhile, so that a talkative child never blocks.
        pollfd attese[2] = {{ingresso_, POLLOUT, 0}, {lettura_, POLLIN, 0}};
        if (::poll(attese, lettura_ >= 0 ? 2 : 1, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw ErroreStampa("Errore di comunicazione con " + programma_ + ": " +
                               std::strerror(errno));
        }
        if (lettura_ >= 0 && (attese[1].revents & (POLLIN | POLLHUP)) != 0) {
            char blocco[4096];
            const ssize_t letti = ::read(lettura_, blocco, sizeof blocco);
            if (letti > 0) {
                uscita_.append(blocco, static_cast<std::size_t>(letti));
            } else if (letti == 0) {
                Chiudi(lettura_);
            }
        }
        if ((attese[0].revents & (POLLOUT | POLLERR | POLLHUP)) == 0) {
            continue;
        }
        const ssize_t scritti = ::send(ingresso_, byte.data(), byte.size(), MSG_NOSIGNAL);
        if (scritti < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                continue;
            }
            throw ErroreStampa("Errore di comunicazione con " + programma_ + ": " +
                               std::strerror(errno));
        }
        byte.remove_prefix(static_cast<std::size_t>(scritti));
    }
}

void ProcessoFiglio::leggiUscita() {
    char blocco[4096];
    while (lettura_ >= 0) {
        const ssize_t letti = ::read(lettura_, blocco, sizeof blocco);
        if (letti > 0) {
            uscita_.append(blocco, static_cast<std::size_t>(letti));
        } else if (letti == 0 || errno != EINTR) {
            Chiudi(lettura_);
        }
    }
}

int ProcessoFiglio::attendi() {
    Chiudi(ingresso_);
    leggiUscita();
    int stato = 0;
    while (::waitpid(pid_, &stato, 0) < 0) {
        if (errno != EINTR) {
            pid_ = -1;
            return -1;
        }
    }
    pid_ = -1;
    return WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
}

int EseguiProgramma(const std::vector<std::string>& argv, std::string& uscita) {
    try {
        ProcessoFiglio processo(argv);
        const int stato = processo.attendi();
        uscita = processo.uscita();
        return stato;
    } catch (const ErroreStampa&) {
        return -1;
    }
}

}  // namespace tableau::print
