#include "support/cups_support.h"

#include <array>
#include <cstdio>
#include <memory>
#include <sstream>
#include <thread>

namespace tableau::test {

std::string Comando(const std::string& comando) {
    std::unique_ptr<FILE, int (*)(FILE*)> tubo(::popen(comando.c_str(), "r"), ::pclose);
    if (!tubo) {
        return {};
    }
    std::string uscita;
    std::array<char, 4096> blocco{};
    std::size_t letti = 0;
    while ((letti = std::fread(blocco.data(), 1, blocco.size(), tubo.get())) > 0) {
        uscita.append(blocco.data(), letti);
    }
    return uscita;
}

std::optional<std::string> CodaAssente(const std::string& coda) {
    if (Comando("lpstat -r 2>/dev/null").find("is running") == std::string::npos) {
        return "scheduler CUPS non in esecuzione (scripts/cups-test-server.sh start)";
    }
    std::istringstream code(Comando("lpstat -e 2>/dev/null"));
    for (std::string riga; std::getline(code, riga);) {
        if (riga == coda) {
            return std::nullopt;
        }
    }
    return "coda CUPS " + coda + " assente (scripts/cups-test-server.sh start)";
}

std::set<std::filesystem::path> FileDi(const std::filesystem::path& cartella) {
    std::set<std::filesystem::path> file;
    std::error_code errore;
    for (const auto& voce : std::filesystem::directory_iterator(cartella, errore)) {
        file.insert(voce.path());
    }
    return file;
}

std::optional<std::filesystem::path> AttendiNuovoFile(
    const std::filesystem::path& cartella, const std::set<std::filesystem::path>& prima,
    const std::function<bool(const std::filesystem::path&)>& adatto, std::chrono::seconds limite) {
    const auto scadenza = std::chrono::steady_clock::now() + limite;
    while (std::chrono::steady_clock::now() < scadenza) {
        for (const auto& file : FileDi(cartella)) {
            if (prima.count(file) == 0 && adatto(file)) {
                return file;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    return std::nullopt;
}

}  // namespace tableau::test
