#include "preview/mail_handoff.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "support/temp_dir.h"
#include "support/workstation.h"

namespace tableau::preview {
namespace {

using test::readFile;
using test::writeFile;

// A stand-in mailer on a search path of its own: it records where it ran and what it found.
class MailHandoffTest : public ::testing::Test {
  protected:
    test::TempDir dati;
    test::TempDir programmi;
    test::ScopedEnv postazione{"PCLocal", "3"};
    test::ScopedEnv percorso{"PATH", (programmi.path().string() + ":/usr/bin:/bin").c_str()};

    void installaPosta() {
        const auto script = programmi / "Plicore.exe";
        writeFile(script,
                  "#!/bin/sh\npwd > avviato.txt\ncat e-mail3.txt >> avviato.txt\n"
                  "mv avviato.txt avviato.fatto\n");
        ::chmod(script.c_str(), 0755);
    }

    std::string attendiPosta() {
        const auto fatto = dati / "avviato.fatto";
        for (int i = 0; i < 200 && !std::filesystem::exists(fatto); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return std::filesystem::exists(fatto) ? readFile(fatto) : std::string("(non avviato)");
    }
};

TEST_F(MailHandoffTest, WritesTheFileAndStartsTheMailerInTheDataDirectory) {
    installaPosta();
    const auto file =
        InviaEMail(test::PostazioneDi(dati.path()), "riga 1\r\nriga \xE8 2\nultima\r\n");
    EXPECT_EQ(file.filename(), "e-mail3.txt");
    const std::string atteso = "OGGETTO\r\nriga 1\r\nriga \xE8 2\r\nultima\r\n\r\n";
    EXPECT_EQ(readFile(file), atteso);
    const std::string visto = attendiPosta();
    EXPECT_EQ(visto, std::filesystem::canonical(dati.path()).string() + "\n" + atteso);
}

TEST_F(MailHandoffTest, EmptyPage) {
    installaPosta();
    EXPECT_EQ(readFile(InviaEMail(test::PostazioneDi(dati.path()), "")), "OGGETTO\r\n\r\n");
    attendiPosta();
}

TEST_F(MailHandoffTest, MissingMailerIsReportedAndTheFileStays) {
    try {
        InviaEMail(test::PostazioneDi(dati.path()), "testo");
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("\"Plicore.exe\""), std::string::npos) << e.what();
    }
    EXPECT_EQ(readFile(dati / "e-mail3.txt"), "OGGETTO\r\ntesto\r\n");
}

}  // namespace
}  // namespace tableau::preview
