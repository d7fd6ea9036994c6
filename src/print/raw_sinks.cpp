// The three kinds of raw output: a file written whole, a device or pipe written directly,
// and a printer queue receiving a raw job.
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <thread>
#include <vector>

#include "print/cups_queue.h"
#include "print/raw_output.h"
#include "routines/atomic_file.h"
#include "routines/child_process.h"
#include "routines/codepage.h"
#include "routines/settings.h"

namespace tableau::print {
namespace {

class UscitaFile final : public UscitaGrezza {
  public:
    explicit UscitaFile(const std::filesystem::path& percorso)
        : percorso_(percorso.lexically_normal()), file_(Apri(percorso)) {}
    std::string destinazione() const override {
        return "Scritto nel file " + percorso_.string() + ".";
    }
    void scrivi(std::string_view byte) override {
        Traduci([&] { file_.write(byte); });
    }
    void chiudi() override {
        Traduci([&] { file_.commit(); });
    }

  private:
    static routines::AtomicFile Apri(const std::filesystem::path& percorso) {
        try {
            return routines::AtomicFile(percorso);
        } catch (const std::runtime_error& e) {
            throw ErroreStampa(std::string("Impossibile aprire l'uscita di stampa: ") + e.what());
        }
    }
    template <typename F>
    static void Traduci(F&& f) {
        try {
            f();
        } catch (const std::runtime_error& e) {
            throw ErroreStampa(std::string("Errore di stampa: ") + e.what());
        }
    }
    std::filesystem::path percorso_;
    routines::AtomicFile file_;
};

// How long a device or pipe may take to have a reader: TABLEAU_ATTESA_USCITA seconds,
// 10 unless set.
std::chrono::milliseconds AttesaUscita() {
    constexpr std::chrono::milliseconds kPredefinita{10000};
    return routines::AttesaRegolata("TABLEAU_ATTESA_USCITA", kPredefinita);
}

// SIGPIPE blocked in this thread for the life of the object, so that a pipe whose reader
// went away gives EPIPE instead of ending the program, whatever the program does with the
// signal. A SIGPIPE raised meanwhile by our writes is taken off before the mask is put
// back; one that was already pending is left alone.
class SenzaSigpipe {
  public:
    SenzaSigpipe() {
        sigemptyset(&sigpipe_);
        sigaddset(&sigpipe_, SIGPIPE);
        sigset_t pendenti;
        sigemptyset(&pendenti);
        giaPendente_ = ::sigpending(&pendenti) == 0 && sigismember(&pendenti, SIGPIPE) == 1;
        bloccato_ = ::pthread_sigmask(SIG_BLOCK, &sigpipe_, &precedente_) == 0;
    }
    ~SenzaSigpipe() {
        if (!bloccato_) {
            return;
        }
        if (!giaPendente_) {
            sigset_t pendenti;
            sigemptyset(&pendenti);
            if (::sigpending(&pendenti) == 0 && sigismember(&pendenti, SIGPIPE) == 1) {
                const timespec subito{};
                while (::sigtimedwait(&sigpipe_, nullptr, &subito) < 0 && errno == EINTR) {
                }
            }
        }
        ::pthread_sigmask(SIG_SETMASK, &precedente_, nullptr);
    }
    SenzaSigpipe(const SenzaSigpipe&) = delete;
    SenzaSigpipe& operator=(const SenzaSigpipe&) = delete;

  private:
    sigset_t sigpipe_{};
    sigset_t precedente_{};
    bool giaPendente_ = false;
    bool bloccato_ = false;
};

class UscitaDispositivo final : public UscitaGrezza {
  public:
    std::string destinazione() const override {
        return "Inviato al dispositivo " + percorso_.lexically_normal().string() + ".";
    }
    explicit UscitaDispositivo(const std::filesystem::path& percorso) : percorso_(percorso) {
        // Without O_NONBLOCK a pipe that nobody reads would hold the open for ever: it is
        // tried again until a reader comes or the wait is over.
        const auto attesa = AttesaUscita();
        const auto scadenza = std::chrono::steady_clock::now() + attesa;
        for (;;) {
            fd_ = ::open(percorso.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
            if (fd_ >= 0) {
                break;
            }
            const int errore = errno;
            if (errore == EINTR) {
                continue;
            }
            if (errore != ENXIO) {
                throw ErroreStampa("Impossibile aprire l'uscita di stampa " + percorso_.string() +
                                   ": " + std::strerror(errore));
            }
            if (std::chrono::steady_clock::now() >= scadenza) {
                const auto secondi = std::chrono::ceil<std::chrono::seconds>(attesa).count();
                throw ErroreStampa("Impossibile aprire l'uscita di stampa " + percorso_.string() +
                                   ": nessun programma la legge dopo " + std::to_string(secondi) +
                                   (secondi == 1 ? " secondo" : " secondi") + " di attesa");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        const int flag = ::fcntl(fd_, F_GETFL);
        if (flag < 0 || ::fcntl(fd_, F_SETFL, flag & ~O_NONBLOCK) < 0) {
            const int errore = errno;
            ::close(fd_);
            fd_ = -1;
            throw ErroreStampa("Impossibile aprire l'uscita di stampa " + percorso_.string() +
                               ": " + std::strerror(errore));
        }
    }
    ~UscitaDispositivo() override {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    UscitaDispositivo(const UscitaDispositivo&) = delete;
    UscitaDispositivo& operator=(const UscitaDispositivo&) = delete;

    void scrivi(std::string_view byte) override {
        const SenzaSigpipe senzaSigpipe;
        while (!byte.empty()) {
            const ssize_t scritti = ::write(fd_, byte.data(), byte.size());
            if (scritti < 0) {
                if (errno == EINTR) {
                    continue;
                }
                const int errore = errno;
                throw ErroreStampa("Errore di scrittura sull'uscita di stampa " +
                                   percorso_.string() + ": " +
                                   (errore == EPIPE ? std::string("il programma che la leggeva "
                                                                  "non la legge pi\xC3\xB9")
                                                    : std::string(std::strerror(errore))));
            }
            byte.remove_prefix(static_cast<std::size_t>(scritti));
        }
    }
    void chiudi() override {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) {
            throw ErroreStampa("Errore di scrittura sull'uscita di stampa " + percorso_.string() +
                               ": " + std::strerror(errno));
        }
    }

  private:
    std::filesystem::path percorso_;
    int fd_ = -1;
};

class UscitaCoda final : public UscitaGrezza {
  public:
    std::string destinazione() const override {
        return "Inviato alla coda di stampa " + coda_ + ".";
    }
    explicit UscitaCoda(const std::string& coda)
        : coda_(routines::InUtf8(coda)),
          lp_(Avvia({"lp", "-d", coda_, "-o", "raw", "-t", "Tableau", "-s", "--", "-"})) {}
    void scrivi(std::string_view byte) override {
        try {
            lp_.write(byte);
        } catch (const routines::ErroreProcesso& e) {
            throw ErroreStampa(e.what());
        }
    }
    void chiudi() override {
        if (!lp_.finish().success()) {
            throw ErroreStampa("La stampante \"" + coda_ +
                               "\" ha rifiutato la stampa: " + lp_.output());
        }
    }

  private:
    // The job goes to lp's standard input; what it says, on either output, makes the
    // message when it refuses the job. An abandoned job's lp is stopped with SIGTERM.
    static routines::ChildProcess Avvia(std::vector<std::string> argv) {
        try {
            return routines::ChildProcess({.argv = std::move(argv),
                                           .searchPath = true,
                                           .input = routines::ChildInput::Pipe,
                                           .output = routines::ChildOutput::Pipe,
                                           .errors = routines::ChildOutput::Merged,
                                           .stopSignal = SIGTERM});
        } catch (const routines::ErroreProcesso& e) {
            throw ErroreStampa(e.what());
        }
    }

    std::string coda_;
    routines::ChildProcess lp_;
};

}  // namespace

std::unique_ptr<UscitaGrezza> ApriUscitaGrezza(const std::filesystem::path& cartellaDati,
                                               const std::string& uscita) {
    if (uscita.empty()) {
        throw ErroreStampa("Nessuna uscita di stampa configurata per la destinazione");
    }
    const std::filesystem::path percorso =
        cartellaDati / std::filesystem::path(routines::InUtf8(uscita));
    std::error_code errore;
    const auto stato = std::filesystem::status(percorso, errore);
    const bool esiste = !errore && std::filesystem::exists(stato);
    if (esiste && !std::filesystem::is_regular_file(stato) &&
        !std::filesystem::is_directory(stato)) {
        return std::make_unique<UscitaDispositivo>(percorso);
    }
    if (uscita.find('/') == std::string::npos) {
        const auto code = CodeDiStampa();
        if (std::find(code.begin(), code.end(), uscita) != code.end()) {
            return std::make_unique<UscitaCoda>(uscita);
        }
    }
    return std::make_unique<UscitaFile>(percorso);
}

}  // namespace tableau::print
