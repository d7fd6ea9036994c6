#pragma once
// The request window: choose a hotel and a room block, adjust the room range and the start
// date, build the chart and open the print menu. It is the program's first and last window.
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "chart/crea_tableau.h"
#include "chart/request_check.h"
#include "db/data_source.h"
#include "db/record_set.h"
#include "gui/program_state.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QAbstractButton;

namespace tableau::gui {

// What the request window asks of the rest of the program.
struct ServiziRichiesta {
    // Writes the chart file for a request; throws on failure.
    std::function<void(const chart::RichiestaTableau&)> creaTableau;
    // Shows the print menu modally and returns when it has closed.
    std::function<void()> mostraMenuStampa;
};

class SetDesk : public QWidget {
    Q_OBJECT

  public:
    SetDesk(StatoProgramma& stato, ServiziRichiesta servizi, QWidget* parent = nullptr);
    ~SetDesk() override;

    // Loads, shows and activates the window. Throws when a hotel file cannot be opened.
    // False when the window closed itself on its first activation (no hotel, no block).
    bool avvia();

    // Reads the hotels, the room blocks and the rooms where the program reads the hotel
    // tables, kept while the window lives; from a server, shows which server and when it
    // was last synced. Throws db::ErroreArchivio (db::ErroreServer).
    void Form_Load();
    // Starts the form over: hotel list, first hotel, its first block, proposed range, today.
    void Form_Activate();
    // Lets the hotel tables go.
    void Form_Unload();

    // A hotel was picked: lists its room blocks and picks the first.
    void elencoHotel_Click();
    // A room block was picked: proposes its room range and moves to "&Stampa".
    void elencoTableau_Click();
    // A box took the focus: its text is selected.
    void casellaPrimaCamera_GotFocus();
    void casellaUltimaCamera_GotFocus();
    void casellaData_GotFocus();
    // Enter in a box cleans its text and checks it, then moves to the next control.
    void casellaPrimaCamera_KeyPress(int key);
    void casellaUltimaCamera_KeyPress(int key);
    void casellaData_KeyPress(int key);
    // Checks the request, builds the chart and opens the print menu.
    void tastoStampa_Click();
    // Closes the window, and with it the program.
    void tastoEsci_Click();

    bool scaricata() const { return scaricata_; }
    QComboBox* elencoHotel() const { return elencoHotel_; }
    QComboBox* elencoTableau() const { return elencoTableau_; }
    QLineEdit* casellaPrimaCamera() const { return casellaPrimaCamera_; }
    QLineEdit* casellaUltimaCamera() const { return casellaUltimaCamera_; }
    QLineEdit* casellaData() const { return casellaData_; }
    QAbstractButton* tastoStampa() const { return tastoStampa_; }
    QAbstractButton* tastoEsci() const { return tastoEsci_; }
    // The line under the buttons saying the data come from the server and when they were
    // last synced; hidden when the hotel tables are the data directory's files.
    QLabel* rigaServer() const { return rigaServer_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void costruisciControlli();
    void mostraProvenienza(db::DataSource& sorgente);
    // Shows an input error; the window activates again when the message box has closed.
    void avvisa(const chart::RichiestaRifiutata& rifiuto);
    // Shows a failure of the core; the window stays as the user left it.
    void fallimento(const std::exception& errore);
    // Enter in a box: cleans the text typed, then `seguito` goes on; a failure is shown.
    void allInvio(QLineEdit* casella, int key, const std::function<void()>& seguito);
    void impostaTesto(QLineEdit* casella, const QString& testo);
    static std::string testoCasella(const QLineEdit* casella);
    QString oggi() const;
    void scarica();

    StatoProgramma& stato_;
    ServiziRichiesta servizi_;
    QComboBox* elencoHotel_ = nullptr;
    QComboBox* elencoTableau_ = nullptr;
    QLineEdit* casellaPrimaCamera_ = nullptr;
    QLineEdit* casellaUltimaCamera_ = nullptr;
    QLineEdit* casellaData_ = nullptr;
    QAbstractButton* tastoStampa_ = nullptr;
    QAbstractButton* tastoEsci_ = nullptr;
    QLabel* rigaServer_ = nullptr;

    // The hotel tables, read at load and kept until unload: the room blocks, the hotels and
    // the rooms.
    std::optional<db::RecordSet> tabellaTableau_;
    std::optional<db::RecordSet> tabellaHotel_;
    std::optional<db::RecordSet> tabellaNumeriCamere_;
    bool scaricata_ = false;
    bool inAttivazione_ = false;
};

}  // namespace tableau::gui
