#include "routines/atomic_file.h"

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

}  // namespace

AtomicFile::AtomicFile(std::filesystem::path target) : target_(std::move(target)) {
    RimuoviTemporaneiAbbandonati(target_);
    std::string pattern =
        (target_.parent_path() / ("." + target_.filename().string() + ".XXXXXX")).string();
    if (target_.parent_path().empty()) {
        pattern = "." + target_.filename().string() + ".XXXXXX";
    }
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        throw Errore("Impossibile scrivere il file " + target_.string() + ": " + reason());
    }
    temporary_ = pattern;
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
    // New files get the usual permissions (mkstemp creates them 0600).
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(::fileno(file_), 0666 & ~mask);
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    std::error_code error;
    if (!flushed || !closed) {
        std::filesystem::remove(temporary_, error);
        throw Errore("Errore di scrittura del file " + target_.string() + ": " +
                     (why.empty() ? reason() : why));
    }
    std::filesystem::rename(temporary_, target_, error);
    if (error) {
        // The cause is the rename's: the clean-up below must not overwrite it.
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
        throw Errore("Impossibile sostituire il file " + target_.string() + ": " + error.message());
    }
}

}  // namespace tableau::routines
