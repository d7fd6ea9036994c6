#include "peak_memory.h"

#include <malloc.h>

#include <fstream>
#include <string>

namespace tableau::bench {
namespace {

long CampoMB(const char* nome) {
    std::ifstream status("/proc/self/status");
    const std::string prefisso = std::string(nome) + ":";
    for (std::string riga; std::getline(status, riga);) {
        if (riga.starts_with(prefisso)) {
            return std::stol(riga.substr(prefisso.size())) / 1024;
        }
    }
    return 0;
}

}  // namespace

void AzzeraPicco() {
    ::malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

long PiccoMB() {
    return CampoMB("VmHWM");
}

long ResidenteMB() {
    return CampoMB("VmRSS");
}

}  // namespace tableau::bench
