#include "routines/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <system_error>

#include "routines/errors.h"

namespace tableau::routines {
namespace {

std::string reason() {
    return std::strerror(errno);
}

}  // namespace

AtomicFile::AtomicFile(std::filesystem::path target) : target_(std::move(target)) {
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
