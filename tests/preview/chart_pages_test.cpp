#include "preview/chart_pages.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tableau::preview {
namespace {

using test::readFile;
using test::Righe;
using test::TempDir;
using test::writeFile;

TEST(LettoreTableau, PagesEndWithTheLineThatReachesTheLimit) {
    TempDir dir;
    writeFile(dir / "FD", "\xDA\xC4\xC4\xBF\r\n" + std::string(30, 'x') + "\r\nLuned\xEC\r\nfine");
    LettoreTableau lettore(dir / "FD");
    const auto prima = lettore.caricaPagina(30);
    EXPECT_EQ(prima.testo, "----\r\n" + std::string(30, 'x') + "\r\n");
    EXPECT_EQ(prima.righe, 2u);
    EXPECT_EQ(prima.caratteriLetti, 34);
    EXPECT_TRUE(prima.altrePagine);
    const auto seconda = lettore.caricaPagina(30);
    EXPECT_EQ(seconda.primaRiga, 2u);
    EXPECT_EQ(seconda.testo, "Luned\xEC\r\nfine\r\n");
    EXPECT_FALSE(seconda.altrePagine);
    lettore.riavvolgi();
    EXPECT_EQ(lettore.caricaPagina(1).righe, 1u);
    EXPECT_THROW(LettoreTableau(dir / "assente"), std::runtime_error);
}

TEST(SalvaPagina, ReplacesOnlyThePageOnShow) {
    TempDir dir;
    writeFile(dir / "FD", Righe(1, 6));
    // Lines 3 and 4 become three lines; the others stay as they were.
    EXPECT_EQ(SalvaPagina(dir / "FD", 2, 2, "nuova a\nnuova b\nnuova c\n"), 3u);
    EXPECT_EQ(readFile(dir / "FD"),
              Righe(1, 2) + "nuova a\r\nnuova b\r\nnuova c\r\n" + Righe(5, 6));

    // The last page, and a page emptied by the user.
    EXPECT_EQ(SalvaPagina(dir / "FD", 5, 2, "ultima"), 1u);
    EXPECT_EQ(readFile(dir / "FD"), Righe(1, 2) + "nuova a\r\nnuova b\r\nnuova c\r\nultima\r\n");
    EXPECT_EQ(SalvaPagina(dir / "FD", 0, 2, ""), 0u);
    EXPECT_EQ(readFile(dir / "FD"), "nuova a\r\nnuova b\r\nnuova c\r\nultima\r\n");

    // Nothing but the chart file is left in the directory.
    std::size_t file = 0;
    for ([[maybe_unused]] const auto& voce : std::filesystem::directory_iterator(dir.path())) {
        ++file;
    }
    EXPECT_EQ(file, 1u);
}

TEST(SalvaPagina, AFileThatCannotBeReadIsLeftAlone) {
    TempDir dir;
    EXPECT_THROW(SalvaPagina(dir / "FD", 0, 1, "x"), std::runtime_error);
    EXPECT_FALSE(std::filesystem::exists(dir / "FD"));
}

}  // namespace
}  // namespace tableau::preview
