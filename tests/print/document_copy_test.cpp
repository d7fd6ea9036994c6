#include "print/document_copy.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "support/workstation.h"

namespace tableau::print {
namespace {

using test::readFile;
using test::ScopedEnv;
using test::TempDir;
using test::writeFile;

const routines::DataOra kMomento{2026, 12, 7, 10, 38};

TEST(CopiaDocumento, NamesTheCopyByWorkstationAndMinute) {
    {
        ScopedEnv postazione("PCLocal", "3");
        EXPECT_EQ(NomeCopiaDocumento(test::PostazioneDi("."), kMomento),
                  std::filesystem::path("doc/fd3202612071038.doc"));
        EXPECT_EQ(NomeCopiaDocumento(test::PostazioneDi("."), kMomento, 2),
                  std::filesystem::path("doc/fd3202612071038_2.doc"));
        EXPECT_EQ(NomeCopiaDocumento(test::PostazioneDi("."), {2027, 1, 2, 0, 5}),
                  std::filesystem::path("doc/fd3202701020005.doc"));
    }
    ScopedEnv senza("PCLocal", nullptr);
    EXPECT_EQ(NomeCopiaDocumento(test::PostazioneDi("."), kMomento),
              std::filesystem::path("doc/fd202612071038.doc"));
}

TEST(CopiaDocumento, NeverReplacesACopyOfTheSameMinute) {
    ScopedEnv postazione("PCLocal", "03");
    TempDir dir;
    const routines::OrologioFisso orologio(kMomento);
    writeFile(dir / "fd03", "primo\r\n");  // found without regard to letter case

    const auto prima = CopiaDocumento(test::PostazioneDi(dir.path()), orologio);
    EXPECT_EQ(prima, std::filesystem::path("doc/fd03202612071038.doc"));
    writeFile(dir / "fd03", "secondo\r\n");
    const auto seconda = CopiaDocumento(test::PostazioneDi(dir.path()), orologio);
    EXPECT_EQ(seconda, std::filesystem::path("doc/fd03202612071038_2.doc"));
    writeFile(dir / "fd03", "terzo\r\n");
    EXPECT_EQ(CopiaDocumento(test::PostazioneDi(dir.path()), orologio),
              std::filesystem::path("doc/fd03202612071038_3.doc"));

    EXPECT_EQ(readFile(dir.path() / prima), "primo\r\n");
    EXPECT_EQ(readFile(dir.path() / seconda), "secondo\r\n");
}

TEST(CopiaDocumento, WithoutAChartNothingIsCopied) {
    ScopedEnv postazione("PCLocal", "3");
    TempDir dir;
    const auto nome =
        CopiaDocumento(test::PostazioneDi(dir.path()), routines::OrologioFisso(kMomento));
    EXPECT_EQ(nome, std::filesystem::path("doc/fd3202612071038.doc"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "doc"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / nome));

    // "doc" taken by a file: the copy fails and says so.
    TempDir bloccata;
    writeFile(bloccata / "FD3", "x");
    writeFile(bloccata / "doc", "non una cartella");
    EXPECT_THROW(
        CopiaDocumento(test::PostazioneDi(bloccata.path()), routines::OrologioFisso(kMomento)),
        std::runtime_error);
}

}  // namespace
}  // namespace tableau::print
