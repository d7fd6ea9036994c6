// Without a reachable display server the windows refuse to open with an Italian message,
// and the headless commands never need one.
#include "app/display_check.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "support/temp_dir.h"

namespace tableau::app {
namespace {

using test::ScopedEnv;

// A listening local socket, as a display server's.
class PresaInAscolto {
  public:
    explicit PresaInAscolto(const std::string& percorso) {
        presa_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un indirizzo{};
        indirizzo.sun_family = AF_UNIX;
        std::strncpy(indirizzo.sun_path, percorso.c_str(), sizeof indirizzo.sun_path - 1);
        EXPECT_EQ(::bind(presa_, reinterpret_cast<sockaddr*>(&indirizzo), sizeof indirizzo), 0);
        EXPECT_EQ(::listen(presa_, 4), 0);
    }
    ~PresaInAscolto() { ::close(presa_); }
    PresaInAscolto(const PresaInAscolto&) = delete;
    PresaInAscolto& operator=(const PresaInAscolto&) = delete;

  private:
    int presa_ = -1;
};

// Runs the program with a shell command line; its exit status and what it wrote.
std::pair<int, std::string> Esegui(const std::string& comando) {
    std::string uscita;
    FILE* flusso = ::popen((comando + " 2>&1").c_str(), "r");
    std::array<char, 512> blocco{};
    while (std::fgets(blocco.data(), blocco.size(), flusso) != nullptr) {
        uscita += blocco.data();
    }
    const int stato = ::pclose(flusso);
    return {WIFEXITED(stato) ? WEXITSTATUS(stato) : 128 + WTERMSIG(stato), uscita};
}

TEST(DisplayCheck, WindowsNeedAServerThatAnswers) {
    test::TempDir dir;
    const ScopedEnv runtime("XDG_RUNTIME_DIR", dir.path().c_str());
    {
        const ScopedEnv piattaforma("QT_QPA_PLATFORM", nullptr);
        const ScopedEnv display("DISPLAY", nullptr);
        const ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
        const auto motivo = MotivoSenzaDisplay();
        ASSERT_TRUE(motivo);
        EXPECT_NE(motivo->find("nessuna sessione grafica"), std::string::npos) << *motivo;
    }
    {
        // A stale DISPLAY (cron, a dropped ssh -X) and a Wayland name with no socket.
        const ScopedEnv piattaforma("QT_QPA_PLATFORM", "xcb");
        const ScopedEnv display("DISPLAY", ":77");
        const ScopedEnv wayland("WAYLAND_DISPLAY", "wayland-9");
        const auto motivo = MotivoSenzaDisplay();
        ASSERT_TRUE(motivo);
        EXPECT_NE(motivo->find("DISPLAY=:77"), std::string::npos) << *motivo;
    }
    {
        // A Wayland compositor that answers.
        const PresaInAscolto compositore((dir / "wayland-1").string());
        const ScopedEnv piattaforma("QT_QPA_PLATFORM", nullptr);
        const ScopedEnv display("DISPLAY", ":77");
        const ScopedEnv wayland("WAYLAND_DISPLAY", "wayland-1");
        EXPECT_FALSE(MotivoSenzaDisplay());
    }
    const ScopedEnv piattaforma("QT_QPA_PLATFORM", "offscreen");
    const ScopedEnv display("DISPLAY", nullptr);
    EXPECT_FALSE(MotivoSenzaDisplay());
}

TEST(DisplayCheck, TheProgramSaysSoInsteadOfAborting) {
    const std::string tableau = TABLEAU_EXECUTABLE;
    const auto [stato, uscita] =
        Esegui("env -u WAYLAND_DISPLAY DISPLAY=:77 QT_QPA_PLATFORM=xcb " + tableau);
    EXPECT_EQ(stato, 1) << uscita;
    EXPECT_NE(uscita.find("impossibile aprire le finestre"), std::string::npos) << uscita;
    // The page printer of a headless command needs no display: the printers are listed.
    const auto [statoElenco, elenco] = Esegui(
        "env -u WAYLAND_DISPLAY DISPLAY=:77 QT_QPA_PLATFORM=xcb " + tableau + " print --list");
    EXPECT_NE(statoElenco, 134) << elenco;
    EXPECT_EQ(elenco.find("could not connect"), std::string::npos) << elenco;
}

}  // namespace
}  // namespace tableau::app
