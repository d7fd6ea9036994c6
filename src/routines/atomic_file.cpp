#include "routines/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

#include "routines/errors.h"

namespace tableau::routines {
namespace {

std::string reason() {
    return std::strerror(errno);
}

// A run killed while writing leaves its temporary behind. Those of the same target older
// than this are removed when the next writer starts; a younger one may belong to a run
// still writing and is kept.
constexpr std::chrono::minutes kTemporaneoAbbandonato{10};

bool SuffissoDiMkstemp(std::string_view suffisso) {
    if (suffisso.size() != 6) {
        return false;
    }
    for (const char c : suffisso) {
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) {
            return false;
        }
    }
    return true;
}

void RimuoviTemporaneiAbbandonati(const std::filesystem::path& target) {
    const std::string prefisso = "." + target.filename().string() + ".";
    const auto cartella =
        target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    const auto limite = std::filesystem::file_time_type::clock::now() - kTemporaneoAbbandonato;
    std::error_code error;
    std::filesystem::directory_iterator it(cartella, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string nome = it->path().filename().string();
        if (nome.size() != prefisso.size() + 6 || nome.compare(0, prefisso.size(), prefisso) != 0 ||
            !SuffissoDiMkstemp(std::string_view(nome).substr(prefisso.size()))) {
            continue;
        }
        struct stat stato {};
        if (::lstat(it->path().c_str(), &stato) != 0 || !S_ISREG(stato.st_mode) ||
            stato.st_uid != ::geteuid() || (stato.st_mode & 07777) != 0600) {
            continue;  // not one of ours
        }
        std::error_code ignored;
        const auto scritto = std::filesystem::last_write_time(it->path(), ignored);
        if (!ignored && scritto < limite) {
            std::filesystem::remove(it->path(), ignored);
        }
    }
}

// A fresh hidden file beside the target ("." + name + six random characters), open for
// writing; its path is returned in `temporary`.
int CreaTemporaneo(const std::filesystem::path& target, std::filesystem::path& temporary) {
    RimuoviTemporaneiAbbandonati(target);
    std::string pattern =
        (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    if (target.parent_path().empty()) {
        pattern = "." + target.filename().string() + ".XXXXXX";
    }
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        throw Errore("Impossibile scrivere il file " + target.string() + ": " + reason());
    }
    temporary = pattern;
    return fd;
}

// New files get the usual permissions (mkstemp creates them 0600).
void PermessiUsuali(int fd) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
}

// Renames the temporary file over the target; on failure removes it and reports the
// rename's own cause.
void Sostituisci(const std::filesystem::path& temporary, const std::filesystem::path& target) {
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw Errore("Impossibile sostituire il file " + target.string() + ": " + error.message());
    }
}

}  // namespace

AtomicFile::AtomicFile(std::filesystem::path target) : target_(std::move(target)) {
    const int fd = CreaTemporaneo(target_, temporary_);
    file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) {
        ::close(fd);
        std::filesystem::remove(temporary_);
        throw Errore("Impossibile scrivere il file " + target_.string() + ": " + reason());
    }
}

AtomicFile::~AtomicFile() {
    if (file_ != nullptr) {
        std::fclose(file_);
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
    }
}

void AtomicFile::write(std::string_view bytes) {
    if (file_ == nullptr) {
        throw std::logic_error("AtomicFile written after commit");
    }
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        throw Errore("Errore di scrittura del file " + target_.string() + ": " + reason());
    }
}

void AtomicFile::commit() {
    if (file_ == nullptr) {
        throw std::logic_error("AtomicFile committed twice");
    }
    const bool flushed = std::fflush(file_) == 0 && ::fsync(::fileno(file_)) == 0;
    const std::string why = flushed ? std::string() : reason();
    PermessiUsuali(::fileno(file_));
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    std::error_code error;
    if (!flushed || !closed) {
        std::filesystem::remove(temporary_, error);
        throw Errore("Errore di scrittura del file " + target_.string() + ": " +
                     (why.empty() ? reason() : why));
    }
    Sostituisci(temporary_, target_);
}

AtomicPath::AtomicPath(std::filesystem::path target) : target_(std::move(target)) {
    ::close(CreaTemporaneo(target_, temporary_));
}

AtomicPath::~AtomicPath() {
    if (!committed_) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
    }
}

void AtomicPath::commit() {
    if (committed_) {
        throw std::logic_error("AtomicPath committed twice");
    }
    const int fd = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        const std::string why = reason();
        if (fd >= 0) {
            ::close(fd);
        }
        throw Errore("Errore di scrittura del file " + target_.string() + ": " + why);
    }
    PermessiUsuali(fd);
    ::close(fd);
    committed_ = true;  // removed by Sostituisci when the rename fails
    Sostituisci(temporary_, target_);
}

}  // namespace tableau::routines
