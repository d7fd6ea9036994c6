// The users file: hashes never passwords, rewritten whole with mode 0640, names and
// passwords checked, a wrong or unknown login refused.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "routines/errors.h"
#include "support/temp_dir.h"
#include "web/errors.h"
#include "web/users_file.h"

namespace tableau::test {
namespace {

TEST(FileUtenti, KeepsHashesWithMode0640AndChecksLogins) {
    TempDir cartella;
    const auto file = cartella / "utenti";
    EXPECT_TRUE(web::LeggiUtenti(file).empty());  // none yet
    EXPECT_TRUE(web::AggiungiUtente(file, "mario", "password-di-mario"));
    EXPECT_TRUE(web::AggiungiUtente(file, "anna.b@hotel", "password-di-anna"));
    struct stat stato {};
    ASSERT_EQ(::stat(file.c_str(), &stato), 0);
    EXPECT_EQ(stato.st_mode & 07777, 0640u);
    const std::string testo = readFile(file);
    EXPECT_EQ(testo.find("password-di"), std::string::npos);
    const auto utenti = web::LeggiUtenti(file);
    ASSERT_EQ(utenti.size(), 2u);
    EXPECT_EQ(utenti[0].nome, "mario");
    EXPECT_EQ(utenti[0].hash.rfind("$argon2id$", 0), 0u);
    EXPECT_TRUE(web::Autentica(file, "mario", "password-di-mario"));
    EXPECT_FALSE(web::Autentica(file, "mario", "password-di-anna"));
    EXPECT_FALSE(web::Autentica(file, "nessuno", "password-di-mario"));
    EXPECT_FALSE(web::Autentica(file, "mario", ""));

    // A new password replaces the old one; the other user stays as it was.
    EXPECT_FALSE(web::AggiungiUtente(file, "mario", "nuova-password"));
    EXPECT_FALSE(web::Autentica(file, "mario", "password-di-mario"));
    EXPECT_TRUE(web::Autentica(file, "mario", "nuova-password"));
    EXPECT_EQ(web::LeggiUtenti(file)[1].hash, utenti[1].hash);

    EXPECT_TRUE(web::RimuoviUtente(file, "mario"));
    EXPECT_FALSE(web::RimuoviUtente(file, "mario"));
    EXPECT_FALSE(web::UtenteEsiste(file, "mario"));
    EXPECT_TRUE(web::UtenteEsiste(file, "anna.b@hotel"));
    ASSERT_EQ(::stat(file.c_str(), &stato), 0);
    EXPECT_EQ(stato.st_mode & 07777, 0640u);
    // No temporary file is left beside it.
    std::size_t file_nella_cartella = 0;
    for ([[maybe_unused]] const auto& voce : std::filesystem::directory_iterator(cartella.path())) {
        ++file_nella_cartella;
    }
    EXPECT_EQ(file_nella_cartella, 1u);
}

TEST(FileUtenti, RefusesBadNamesShortPasswordsAndBrokenFiles) {
    TempDir cartella;
    const auto file = cartella / "utenti";
    for (const char* nome : {"", "due parole", "a:b", "riga\nnuova", "../x"}) {
        EXPECT_THROW(web::AggiungiUtente(file, nome, "password-lunga"),
                     routines::RichiestaRifiutata)
            << nome;
    }
    EXPECT_THROW(web::AggiungiUtente(file, std::string(65, 'a'), "password-lunga"),
                 routines::RichiestaRifiutata);
    EXPECT_THROW(web::AggiungiUtente(file, "mario", "corta"), routines::RichiestaRifiutata);
    EXPECT_FALSE(std::filesystem::exists(file));

    writeFile(file, "mario:$argon2id$x\nsenza-hash\n");
    EXPECT_THROW(web::LeggiUtenti(file), web::ErroreWeb);
    EXPECT_THROW(web::Autentica(file, "mario", "x"), web::ErroreWeb);
    // A directory that cannot take the file leaves nothing behind.
    EXPECT_THROW(web::AggiungiUtente(cartella / "manca" / "utenti", "mario", "password-lunga"),
                 web::ErroreWeb);
}

}  // namespace
}  // namespace tableau::test
