// tableau-screenshots [CARTELLA]: draws the program's four windows over the demo hotel, on
// the offscreen platform unless another is chosen, into PNG files in CARTELLA
// (docs/screenshots when missing): the request window, the print menu, the preview and the
// message box. No window waits for the user: each is built, shown, drawn and closed.
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "chart/crea_tableau.h"
#include "chart/request_check.h"
#include "demo_hotel.h"
#include "gui/anteprima.h"
#include "gui/menu_stampa.h"
#include "gui/msgbox_form.h"
#include "gui/qt_text.h"
#include "gui/qt_translation.h"
#include "gui/set_desk.h"
#include "print/printer.h"
#include "routines/clock.h"

namespace tableau::tools {
namespace {

// The demo week: the same pictures on every run.
constexpr routines::DataOra kMomento{2026, 12, 8, 10, 30};

// One installed printer that prints nothing: the print menu lists it, nobody prints here.
class StampanteDimostrativa final : public print::ServizioStampanti {
  public:
    std::vector<std::string> stampantiInstallate() const override { return {"Reception"}; }
    std::string nomeStampanteCorrente() const override { return "Reception"; }
    void scegliStampante(const std::string&) override {}
    void scegliFilePdf(const std::filesystem::path&) override {}
    void impostaFronteRetro(int) override {}
    void impostaOrientamento(int) override {}
    void impostaNomeFont(const std::string&) override {}
    void impostaDimensioneFont(double) override {}
    double dimensioneFont() const override { return 10; }
    void impostaGrassetto(bool) override {}
    void stampaTesto(std::string_view) override {}
    void stampaRiga(std::string_view) override {}
    void nuovaPagina() override {}
    void fineDocumento() override {}
    void annullaDocumento() noexcept override {}
};

// Draws a shown window into `file`; false when the file cannot be written.
bool Fotografa(QWidget* finestra, const std::filesystem::path& file) {
    QApplication::processEvents();
    const QPixmap immagine = finestra->grab();
    const bool salvata =
        !immagine.isNull() && immagine.save(QString::fromStdString(file.string()), "PNG");
    if (salvata) {
        std::cout << file.string() << " (" << immagine.width() << "x" << immagine.height() << ")\n";
    } else {
        std::cerr << "tableau-screenshots: impossibile scrivere " << file.string() << "\n";
    }
    finestra->hide();
    return salvata;
}

int Fotografie(const std::filesystem::path& cartella) {
    std::filesystem::create_directories(cartella);
    QTemporaryDir dati;
    if (!dati.isValid()) {
        std::cerr << "tableau-screenshots: impossibile creare una cartella temporanea\n";
        return 1;
    }
    gui::StatoProgramma stato;
    stato.cartellaDati = dati.path().toStdString();
    stato.numeroPostazione = "1";  // the chart file of workstation 1
    stato.orologio = std::make_shared<routines::OrologioFisso>(kMomento);
    scriviHotelDemo(stato.cartellaDati,
                    routines::Data{kMomento.giorno, kMomento.mese, kMomento.anno});
    bool riuscite = true;

    // The request window over the first hotel and its first block; nothing is built from
    // its button here.
    gui::SetDesk desk(stato, gui::ServiziRichiesta{});
    if (!desk.avvia()) {
        std::cerr << "tableau-screenshots: l'albergo dimostrativo non ha blocchi di camere\n";
        return 1;
    }
    riuscite &= Fotografa(&desk, cartella / "set_desk.png");

    // The chart of that request, as "&Stampa" writes it, for the menu and the preview.
    chart::CreaTableau(stato.postazione(),
                       chart::RichiestaTableau{stato.hotelCorrente, stato.tableauCorrente,
                                               gui::Testo1252(desk.casellaPrimaCamera()->text()),
                                               gui::Testo1252(desk.casellaUltimaCamera()->text()),
                                               gui::Testo1252(desk.casellaData()->text())},
                       *stato.orologio);

    StampanteDimostrativa stampante;
    gui::MenuStampa menu(stato, stampante);
    menu.Form_Load();
    menu.Form_Activate();
    menu.show();
    riuscite &= Fotografa(&menu, cartella / "menu_stampa.png");

    gui::Anteprima anteprima(stato.postazione());
    anteprima.Form_Load();
    anteprima.show();  // the first showing activates the window: its first page
    riuscite &= Fotografa(&anteprima, cartella / "anteprima.png");

    // The warning of a room range given backwards.
    const chart::RichiestaRifiutata rifiuto(chart::Difetto::camere);
    gui::MsgBox_Form messaggio;
    messaggio.prepara(gui::TestoQt(rifiuto.what()), routines::TipoMessaggio::okAvviso,
                      gui::TestoQt(rifiuto.titolo()));
    messaggio.show();
    riuscite &= Fotografa(&messaggio, cartella / "msgbox_form.png");
    return riuscite ? 0 : 1;
}

}  // namespace
}  // namespace tableau::tools

int main(int argc, char** argv) {
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::cerr << "Uso: tableau-screenshots [CARTELLA]\n"
                     "Disegna le quattro finestre del programma sull'albergo dimostrativo in "
                     "file PNG nella cartella (docs/screenshots se manca).\n";
        return 2;
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    tableau::gui::CaricaTraduzioneQt();
    try {
        return tableau::tools::Fotografie(argc == 2 ? argv[1] : "docs/screenshots");
    } catch (const std::exception& errore) {
        std::cerr << "tableau-screenshots: " << errore.what() << "\n";
        return 1;
    }
}
