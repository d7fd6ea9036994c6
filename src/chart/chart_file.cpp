#include "chart/chart_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "routines/file_descriptor.h"

#include "db/data_directory.h"
#include "routines/codepage.h"

namespace tableau::chart {

std::string NomeFileTableau(const routines::Postazione& postazione) {
    return "FD" + postazione.numero();
}

std::string NomeFilePostazione(const routines::Postazione& postazione, std::string_view prima,
                               std::string_view dopo) {
    return std::string(prima) + postazione.numero() + std::string(dopo);
}

std::filesystem::path PercorsoFileTableau(const routines::Postazione& postazione) {
    return postazione.percorso(NomeFileTableau(postazione));
}

std::optional<std::filesystem::path> TrovaFileTableau(const routines::Postazione& postazione) {
    auto found = db::FindFileIgnoringCase(postazione.cartellaDati(),
                                          routines::InUtf8(NomeFileTableau(postazione)));
    if (found && !std::filesystem::is_regular_file(*found)) {
        return std::nullopt;
    }
    return found;
}

std::string LeggiTestoTableau(const std::filesystem::path& file) {
    const auto impossibile = [&](int errore) {
        return ErroreLetturaTableau("Impossibile leggere il file del tableau " + file.string() +
                                    ": " + std::strerror(errore));
    };
    const auto troppoGrande = [&] {
        return ErroreLetturaTableau("Il file del tableau " + file.string() + " supera " +
                                    std::to_string(kMassimoFileTableau >> 20) +
                                    " MB: non \xC3\xA8 un tableau, non viene letto");
    };
    const routines::FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid()) {
        throw impossibile(errno);
    }
    struct stat stato {};
    if (::fstat(fd.get(), &stato) != 0) {
        throw impossibile(errno);
    }
    if (S_ISREG(stato.st_mode) &&
        static_cast<std::uintmax_t>(stato.st_size) > kMassimoFileTableau) {
        throw troppoGrande();
    }
    std::string testo;
    if (S_ISREG(stato.st_mode)) {
        testo.reserve(static_cast<std::size_t>(stato.st_size));
    }
    char blocco[1 << 16];
    for (;;) {
        const ssize_t letti = ::read(fd.get(), blocco, sizeof blocco);
        if (letti < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw impossibile(errno);
        }
        if (letti == 0) {
            return testo;
        }
        if (testo.size() + static_cast<std::size_t>(letti) > kMassimoFileTableau) {
            throw troppoGrande();  // grown since, or not a regular file
        }
        testo.append(blocco, static_cast<std::size_t>(letti));
    }
}

}  // namespace tableau::chart
