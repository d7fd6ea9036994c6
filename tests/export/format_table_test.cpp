// The table of output formats, as the commands, the mail and the print menu read it.
#include "export/qt/format_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "chart/chart_fixture.h"
#include "support/workstation.h"

namespace tableau::exports {
namespace {

TEST(TabellaFormati, EachFormatOnceAndTheMailTakesPdfWorkbookAndText) {
    std::set<std::string> nomi;
    std::set<std::string> estensioni;
    std::string allegabili;
    for (const FormatoUscita* formato : FormatiUscita()) {
        EXPECT_TRUE(nomi.insert(std::string(formato->nome)).second) << formato->nome;
        EXPECT_TRUE(estensioni.insert(std::string(formato->estensione)).second);
        EXPECT_EQ(FormatoDiNome(formato->nome), formato);
        EXPECT_NE(formato->scrivi, nullptr);
        EXPECT_FALSE(formato->tipoMime.empty());
        if (formato->allegabile) {
            allegabili += std::string(formato->nome) + " ";
        }
    }
    EXPECT_EQ(nomi, (std::set<std::string>{"csv", "pdf", "xlsx", "text"}));
    EXPECT_EQ(allegabili, "pdf xlsx text ");
    EXPECT_EQ(FormatoDiNome("PDF"), nullptr);
    EXPECT_EQ(FormatoDiNome("totals"), nullptr);
    EXPECT_EQ(FormatoDiNome("xlsx")->tipoMime,
              "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
}

TEST(TabellaFormati, EveryFormatWritesTheWorkstationsFileWholeOrNotAtAll) {
    test::ChartFixture fx;  // PCLocal = 7
    fx.camera("101");
    fx.crea();
    const routines::Postazione postazione = test::PostazioneDi(fx.dir());
    for (const FormatoUscita* formato : FormatiUscita()) {
        const std::string nome = "fd7." + std::string(formato->estensione);
        EXPECT_EQ(NomeFile(*formato, postazione), nome);
        const auto file = Esporta(*formato, postazione);
        EXPECT_EQ(file, fx.dir() / nome);
        EXPECT_GT(std::filesystem::file_size(file), 0u) << nome;
        // A directory in the way: refused, and nothing half-written is left beside it.
        std::filesystem::create_directory(fx.dir() / "bloccato");
        EXPECT_THROW(Esporta(*formato, postazione, "bloccato"), routines::Errore) << nome;
    }
    // Without a chart file every format says so before writing anything.
    std::filesystem::remove(fx.fileTableau());
    for (const FormatoUscita* formato : FormatiUscita()) {
        EXPECT_THROW(Esporta(*formato, postazione, "nuovo." + std::string(formato->estensione)),
                     chart::ErroreLetturaTableau);
        EXPECT_FALSE(
            std::filesystem::exists(fx.dir() / ("nuovo." + std::string(formato->estensione))));
    }
}

}  // namespace
}  // namespace tableau::exports
