#include "gui/gui_main.h"

#include <QApplication>
#include <filesystem>

#include "chart/crea_tableau.h"
#include "gui/error_message.h"
#include "gui/menu_stampa.h"
#include "gui/qt_translation.h"
#include "gui/set_desk.h"
#include "gui/window_style.h"
#include "print/qt/qt_printer_service.h"

namespace tableau::gui {

int Avvia(int argc, char** argv, const routines::Postazione& postazione,
          std::function<std::unique_ptr<db::DataSource>()> apriSorgente) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tableau"));
    QApplication::setDesktopFileName(QStringLiteral("tableau"));
    QApplication::setWindowIcon(Icona("tableau"));
    // Without the translation Qt's own texts stay in English; the program works the same.
    CaricaTraduzioneQt();

    StatoProgramma stato;
    stato.cartellaDati = postazione.cartellaDati();
    stato.numeroPostazione = postazione.numeroIndicato();
    stato.apriSorgente = std::move(apriSorgente);
    // One printer service for the whole run: the current printer persists between jobs.
    print::ServizioStampantiQt stampanti;

    ServiziRichiesta servizi;
    servizi.creaTableau = [&stato](const chart::RichiestaTableau& richiesta) {
        // A source of its own per chart: the server's latest snapshot, no connection kept.
        chart::CreaTableau(*ApriSorgente(stato), stato.postazione(), richiesta, *stato.orologio);
    };
    servizi.mostraMenuStampa = [&stato, &stampanti] {
        MenuStampa menu(stato, stampanti);
        menu.mostra();
    };

    SetDesk desk(stato, std::move(servizi));
    try {
        if (!desk.avvia()) {
            return 0;  // no hotel, or a hotel without room blocks
        }
    } catch (const std::exception& errore) {
        MostraErrore(errore);
        return 1;
    }
    return QApplication::exec();
}

int MostraErroreDiAvvio(int argc, char** argv, const std::string& messaggio) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tableau"));
    QApplication::setWindowIcon(Icona("tableau"));
    CaricaTraduzioneQt();
    MostraErrore(messaggio);
    return 1;
}

}  // namespace tableau::gui
