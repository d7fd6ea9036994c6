#include "db/jet/jet_reader_process.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "db/errors.h"
#include "routines/child_process.h"
#include "routines/errors.h"
#include "routines/settings.h"

namespace tableau::db::jet {
namespace {

// What the reader wrote on its error output, kept for the message: the last bytes only.
constexpr std::size_t kDiagnosticBytes = 2048;

// A block from one of the reader's outputs; 0 at its end (a pipe that fails has ended too).
std::size_t ReadBlock(routines::FileDescriptor& pipe, char* block, std::size_t size) {
    try {
        return pipe.read(block, size);
    } catch (const routines::ErroreProcesso&) {
        return 0;
    }
}

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

std::chrono::milliseconds JetReaderPatience() {
    return ReadPatience();
}

std::filesystem::path JetReaderProgram() {
    if (const auto set = routines::LeggiRegolazione("TABLEAU_LETTORE_JET")) {
        if (!IsProgram(*set)) {
            throw ErroreArchivio(std::string("Il lettore degli archivi Jet indicato da "
                                             "TABLEAU_LETTORE_JET non esiste: ") +
                                 *set);
        }
        return *set;
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

jet_stream::Content RunJetReader(const JetReading& reading) {
    const std::string what = reading.table ? "la tabella " + *reading.table + " dell'archivio "
                                           : "l'elenco delle tabelle dell'archivio ";
    const std::filesystem::path program = JetReaderProgram();
    const std::string cannotStart = "Impossibile leggere " + what + reading.bareName + ": ";

    std::vector<std::string> args{program.string(), reading.file.string()};
    if (reading.table) {
        args.push_back(*reading.table);
        args.insert(args.end(), reading.narrowing.begin(), reading.narrowing.end());
    }
    // Stopped (SIGKILL) and reaped on every path that does not wait for it; in a process
    // group of its own, so that a reader that is a wrapper script is stopped with the
    // programs it started.
    routines::ChildProcess child = [&] {
        try {
            return routines::ChildProcess({.argv = std::move(args),
                                           .input = routines::ChildInput::Null,
                                           .output = routines::ChildOutput::Pipe,
                                           .errors = routines::ChildOutput::Pipe,
                                           .newProcessGroup = true});
        } catch (const routines::ErroreAvvio& e) {
            throw ErroreArchivio(cannotStart + "il lettore " + program.string() +
                                 " non si avvia (" + std::strerror(e.codice()) + ")");
        } catch (const routines::ErroreProcesso& e) {
            throw ErroreArchivio(cannotStart + std::strerror(e.codice()));
        }
    }();
    routines::FileDescriptor& out = child.outputPipe();
    routines::FileDescriptor& err = child.errorPipe();

    jet_stream::Decoder decoder(reading.filter);
    std::string diagnostic;
    bool brokenStream = false;
    bool hung = false;
    bool outOpen = true;
    bool errOpen = true;
    char block[65536];
    // Only whole records count as progress: a reader that loops writing warnings, or
    // streams bytes that never complete a row, is hung too.
    const auto records = [&] {
        const auto& content = decoder.content();
        return content.rowsReceived + content.tables.size() + content.columns.size() +
               (content.endCount ? 1 : 0) + (content.failure ? 1 : 0);
    };
    std::uint64_t recordsSoFar = 0;
    auto deadline = std::chrono::steady_clock::now() + reading.patience;
    while (outOpen || errOpen) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            hung = true;
            child.kill();
            break;
        }
        pollfd waits[2] = {{outOpen ? out.get() : -1, POLLIN, 0},
                           {errOpen ? err.get() : -1, POLLIN, 0}};
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
            const std::size_t n = ReadBlock(out, block, sizeof block);
            if (n > 0) {
                if (!brokenStream) {
                    try {
                        decoder.feed(std::string_view(block, n));
                    } catch (const jet_stream::ErroreFlusso&) {
                        brokenStream = true;
                        child.kill();
                    } catch (const ErroreArchivio&) {
                        throw;  // the filter's, about the caller's criteria
                    } catch (const std::runtime_error&) {
                        brokenStream = true;
                        child.kill();
                    }
                }
                if (const auto now = records(); now != recordsSoFar) {
                    recordsSoFar = now;
                    deadline = std::chrono::steady_clock::now() + reading.patience;
                }
            } else {
                outOpen = false;
            }
        }
        if (errOpen && (waits[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            const std::size_t n = ReadBlock(err, block, sizeof block);
            if (n > 0) {
                diagnostic.append(block, n);
                if (diagnostic.size() > kDiagnosticBytes) {
                    diagnostic.erase(0, diagnostic.size() - kDiagnosticBytes);
                }
            } else {
                errOpen = false;
            }
        }
    }
    const routines::ExitStatus status = child.wait();

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
    if (status.signal != 0) {
        throw ErroreArchivio(damaged + ": il lettore si è interrotto (segnale " +
                             std::to_string(status.signal) + ")" + detail);
    }
    if (!status.success() || !decoder.complete()) {
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

}  // namespace tableau::db::jet
