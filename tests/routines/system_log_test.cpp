// The system log's lines: one datagram each, as syslog(3) sends them, with the
// workstation, one line even for a message of several.
#include "routines/system_log.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "support/log_socket.h"
#include "support/temp_dir.h"

namespace tableau::routines {
namespace {

TEST(RegistroDiSistema, OneLineEachWithTheWorkstation) {
    test::TempDir dir;
    test::PresaRegistro registro(dir / "log");
    ImpostaPostazioneRegistro("3");
    RegistraEvento("tableau scritto: albergo 1");
    RegistraErrore("Archivio Tableau.mdb non trovato\r\nnella cartella /srv");
    const std::string evento = registro.ricevi();
    EXPECT_TRUE(evento.starts_with("<14>")) << evento;
    EXPECT_NE(evento.find(" tableau[" + std::to_string(::getpid()) +
                          "]: postazione 3: tableau "
                          "scritto: albergo 1"),
              std::string::npos)
        << evento;
    const std::string errore = registro.ricevi();
    EXPECT_TRUE(errore.starts_with("<11>")) << errore;
    EXPECT_TRUE(errore.ends_with("non trovato  nella cartella /srv")) << errore;

    // Without a log socket nothing fails.
    const test::ScopedEnv manca("TABLEAU_REGISTRO", (dir / "nessuno").c_str());
    RegistraEvento("perso");
}

}  // namespace
}  // namespace tableau::routines
