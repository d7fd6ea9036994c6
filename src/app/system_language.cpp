#include "app/system_language.h"

#include <clocale>
#include <cstdlib>
#include <string_view>

namespace tableau::app {
namespace {

bool LocaleC(const char* nome) {
    const std::string_view valore = nome != nullptr ? nome : "";
    return valore.empty() || valore == "C" || valore == "POSIX";
}

}  // namespace

void TestiDiSistemaInItaliano() {
    ::setenv("LANGUAGE", "it", 1);
    // What a later setlocale(LC_ALL, "") (Qt's) reads: LC_ALL above LC_MESSAGES above LANG.
    if (const char* tutte = std::getenv("LC_ALL"); tutte != nullptr && *tutte != '\0') {
        if (LocaleC(tutte)) {
            ::setenv("LC_ALL", "C.UTF-8", 1);
        }
    } else if (const char* messaggi = std::getenv("LC_MESSAGES");
               messaggi != nullptr && *messaggi != '\0') {
        if (LocaleC(messaggi)) {
            ::setenv("LC_MESSAGES", "C.UTF-8", 1);
        }
    } else if (LocaleC(std::getenv("LANG"))) {
        ::setenv("LC_MESSAGES", "C.UTF-8", 1);
    }
    if (std::setlocale(LC_MESSAGES, "") == nullptr) {
        // A locale named by the environment but not installed.
        std::setlocale(LC_MESSAGES, "C.UTF-8");
    }
}

}  // namespace tableau::app
