#include "db/jet_reader_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "db/errors.h"
#include "routines/spawn_actions.h"

extern char** environ;

namespace tableau::db {
namespace {

// What the reader wrote on its error output, kept for the message: the last bytes only.
constexpr std::size_t kDiagnosticBytes = 2048;

class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    void adopt(int fd) {
        reset();
        fd_ = fd;
    }
    void reset() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

  private:
    int fd_;
};

struct Pipe {
    Descriptor read;
    Descriptor write;
};

void OpenPipe(Pipe& pipe, const std::string& why) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        throw ErroreArchivio(why + std::strerror(errno));
    }
    pipe.read.adopt(ends[0]);
    pipe.write.adopt(ends[1]);
}

// The child, stopped and reaped on every path that does not wait for it.
class Child {
  public:
    Child() = default;
    ~Child() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            wait();
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    pid_t* pid() { return &pid_; }
    void kill() const { ::kill(pid_, SIGKILL); }
    // The wait status.
    int wait() {
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        return status;
    }

  private:
    pid_t pid_ = -1;
};

bool IsProgram(const std::filesystem::path& p) {
    return ::access(p.c_str(), X_OK) == 0 && std::filesystem::is_regular_file(p);
}

std::string LastLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    const auto cut = text.find_last_of('\n');
    return cut == std::string::npos ? text : text.substr(cut + 1);
}

}  // namespace

std::chrono::milliseconds jetReaderPatience() {
    const char* set = std::getenv("TABLEAU_ATTESA_JET");
    if (set != nullptr && *set != '\0') {
        char* end = nullptr;
        const double seconds = std::strtod(set, &end);
        if (*end == '\0' && seconds > 0 && seconds <= 3600) {
            return std::chrono::milliseconds(static_cast<std::int64_t>(seconds * 1000));
        }
    }
    return kDefaultPatience;
}

std::filesystem::path jetReaderProgram() {
    if (const char* set = std::getenv("TABLEAU_LETTORE_JET"); set != nullptr && *set != '\0') {
        if (!IsProgram(set)) {
            throw ErroreArchivio(std::string("Il lettore degli archivi Jet indicato da "
                                             "TABLEAU_LETTORE_JET non esiste: ") +
                                 set);
        }
        return set;
    }
    std::vector<std::filesystem::path> places;
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        places.push_back(self.parent_path() / "tableau-jet");
        places.push_back(self.parent_path().parent_path() / "libexec" / "tableau" / "tableau-jet");
    }
#ifdef TABLEAU_LIBEXEC_DIR
    places.push_back(std::filesystem::path(TABLEAU_LIBEXEC_DIR) / "tableau-jet");
#endif
    for (const auto& place : places) {
        if (IsProgram(place)) {
            return place;
        }
    }
    throw ErroreArchivio(
        "Lettore degli archivi Jet (tableau-jet) non trovato accanto al programma: "
        "reinstallare Tableau");
}

jet_stream::Content runJetReader(const JetReading& reading) {
    const std::string what = reading.table ? "la tabella " + *reading.table + " dell'archivio "
                                           : "l'elenco delle tabelle dell'archivio ";
    const std::filesystem::path program = jetReaderProgram();
    const std::string cannotStart = "Impossibile leggere " + what + reading.bareName + ": ";

    Pipe out;
    Pipe err;
    OpenPipe(out, cannotStart);
    OpenPipe(err, cannotStart);
    routines::SpawnActions actions;
    ::posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_adddup2(actions.get(), out.write.get(), STDOUT_FILENO);
    ::posix_spawn_file_actions_adddup2(actions.get(), err.write.get(), STDERR_FILENO);
    std::vector<std::string> args{program.string(), reading.file.string()};
    if (reading.table) {
        args.push_back(*reading.table);
        args.insert(args.end(), reading.narrowing.begin(), reading.narrowing.end());
    }
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    Child child;
    const int spawned =
        ::posix_spawn(child.pid(), program.c_str(), actions.get(), nullptr, argv.data(), environ);
    out.write.reset();
    err.write.reset();
    if (spawned != 0) {
        *child.pid() = -1;
        throw ErroreArchivio(cannotStart + "il lettore " + program.string() + " non si avvia (" +
                             std::strerror(spawned) + ")");
    }

    jet_stream::Decoder decoder(reading.filter);
    std::string diagnostic;
    bool brokenStream = false;
    bool hung = false;
    bool outOpen = true;
    bool errOpen = true;
    char block[65536];
    // Only the rows count as progress: a reader that loops writing warnings is hung too.
    auto deadline = std::chrono::steady_clock::now() + reading.patience;
    while (outOpen || errOpen) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            hung = true;
            child.kill();
            break;
        }
        pollfd waits[2] = {{outOpen ? out.read.get() : -1, POLLIN, 0},
                           {errOpen ? err.read.get() : -1, POLLIN, 0}};
        const int ready = ::poll(waits, 2, static_cast<int>(left.count()));
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            brokenStream = true;  // cannot listen any more: stop it rather than wait on it
            child.kill();
            break;
        }
        if (outOpen && (waits[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            const ssize_t n = ::read(out.read.get(), block, sizeof block);
            if (n > 0) {
                deadline = std::chrono::steady_clock::now() + reading.patience;
                if (!brokenStream) {
                    try {
                        decoder.feed(std::string_view(block, static_cast<std::size_t>(n)));
                    } catch (const ErroreArchivio&) {
                        throw;  // the filter's, about the caller's criteria
                    } catch (const std::runtime_error&) {
                        brokenStream = true;
                        child.kill();
                    }
                }
            } else if (n == 0 || (n < 0 && errno != EINTR)) {
                outOpen = false;
            }
        }
        if (errOpen && (waits[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            const ssize_t n = ::read(err.read.get(), block, sizeof block);
            if (n > 0) {
                diagnostic.append(block, static_cast<std::size_t>(n));
                if (diagnostic.size() > kDiagnosticBytes) {
                    diagnostic.erase(0, diagnostic.size() - kDiagnosticBytes);
                }
            } else if (n == 0 || (n < 0 && errno != EINTR)) {
                errOpen = false;
            }
        }
    }
    const int status = child.wait();

    const std::string damaged =
        "L'archivio " + reading.bareName + " è danneggiato o illeggibile" +
        (reading.table ? " (tabella " + *reading.table + ")" : std::string());
    const std::string detail =
        LastLine(diagnostic).empty() ? std::string() : " (" + LastLine(diagnostic) + ")";
    if (hung) {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(reading.patience);
        throw ErroreArchivio(damaged + ": la lettura non è andata avanti per " +
                             std::to_string(seconds.count()) + " secondi ed è stata interrotta" +
                             detail);
    }
    if (brokenStream) {  // stopped here, whatever its status says
        throw ErroreArchivio(damaged + ": il lettore non ha concluso la lettura" + detail);
    }
    if (WIFSIGNALED(status)) {
        throw ErroreArchivio(damaged + ": il lettore si è interrotto (segnale " +
                             std::to_string(WTERMSIG(status)) + ")" + detail);
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !decoder.complete()) {
        throw ErroreArchivio(damaged + ": il lettore non ha concluso la lettura" + detail);
    }
    auto& content = decoder.content();
    if (content.failure) {
        switch (*content.failure) {
            case jet_stream::FailureKind::NoTable:
                return std::move(content);
            case jet_stream::FailureKind::CannotOpen:
            case jet_stream::FailureKind::Unreadable:
                throw ErroreArchivio(damaged + ": " + content.failureMessage);
        }
    }
    if (!content.endCount) {
        throw ErroreArchivio(damaged + ": il lettore non ha concluso la lettura" + detail);
    }
    const std::uint64_t sent = reading.table ? content.rowsReceived : content.tables.size();
    if (*content.endCount != sent) {
        throw ErroreArchivio(damaged + ": il lettore ha perso parte dei dati");
    }
    return std::move(content);
}

}  // namespace tableau::db
