// A settings file: the bytes are written to a temporary file and read; a line that is not
// "key = value" must end in Errore.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "routines/errors.h"
#include "routines/settings.h"

namespace {

std::filesystem::path FileTemporaneo() {
    static const std::filesystem::path file = [] {
        const char* tmp = std::getenv("TMPDIR");
        return std::filesystem::path(tmp && *tmp ? tmp : "/tmp") /
               ("tableau-fuzz-impostazioni-" + std::to_string(::getpid()) + ".conf");
    }();
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t dimensione) {
    using namespace tableau::routines;
    const std::filesystem::path file = FileTemporaneo();
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (f == nullptr) {
        std::abort();
    }
    if (dimensione > 0 && std::fwrite(dati, 1, dimensione, f) != dimensione) {
        std::abort();
    }
    std::fclose(f);
    try {
        (void)LeggiFileImpostazioni(file);
    } catch (const Errore&) {
    }
    std::filesystem::remove(file);
    return 0;
}
