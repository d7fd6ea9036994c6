#pragma once
// What the tests that print need of the CUPS test server (scripts/cups-test-server.sh):
// whether it runs with its queues, and waiting for what a job produced.
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>

namespace tableau::test {

inline constexpr const char* kCodaPdf = "tableau-pdf";
inline constexpr const char* kCodaGrezza = "tableau-raw";
inline const std::filesystem::path kCartellaCattura = "/var/tmp/tableau-cups-capture";
inline const std::filesystem::path kCartellaPdf = "/root/PDF";

// The standard output of a shell command (empty when it fails to run).
std::string Comando(const std::string& comando);

// Empty when the scheduler runs and offers the queue; otherwise why the test is skipped.
std::optional<std::string> CodaAssente(const std::string& coda);

// The files of a directory right now.
std::set<std::filesystem::path> FileDi(const std::filesystem::path& cartella);

// Polls the directory until a file not in prima appears that satisfies the condition, for
// at most the given time; empty when none did.
std::optional<std::filesystem::path> AttendiNuovoFile(
    const std::filesystem::path& cartella, const std::set<std::filesystem::path>& prima,
    const std::function<bool(const std::filesystem::path&)>& adatto,
    std::chrono::seconds limite = std::chrono::seconds(60));

}  // namespace tableau::test
