#pragma once
// The request window: choose a hotel and a room block, adjust the room range and the start
// date, build the chart and open the print menu. It is the program's first and last window.
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "chart/crea_tableau.h"
#include "chart/request_check.h"
#include "db/database.h"
#include "db/record_set.h"
#include "gui/stato_programma.h"

class QComboBox;
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
    bool Avvia();

    // Opens the three hotel files kept open while the window lives. Throws db::ErroreArchivio.
    void Form_Load();
    // Starts the form over: hotel list, first hotel, its first block, proposed range, today.
    void Form_Activate();
    // Closes the hotel files.
    void Form_Unload();

    void Combo1_Click(int index);
    void Text1_GotFocus(int index);
    void Text1_KeyPress(int index, int key);
    void Tasto_Click(int index);

    bool Scaricata() const { return scaricata_; }
    QComboBox* Combo1(int index) const { return combo1_.at(static_cast<std::size_t>(index)); }
    QLineEdit* Text1(int index) const { return text1_.at(static_cast<std::size_t>(index)); }
    QAbstractButton* Tasto(int index) const { return tasti_.at(static_cast<std::size_t>(index)); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void CostruisciControlli();
    // Shows an input error; the window activates again when the message box has closed.
    void Avvisa(const chart::RichiestaRifiutata& rifiuto);
    // Shows a failure of the core; the window stays as the user left it.
    void Fallimento(const std::exception& errore);
    void ImpostaTesto(int index, const QString& testo);
    std::string TestoCasella(int index) const;
    QString Oggi() const;
    void Scarica();

    StatoProgramma& stato_;
    ServiziRichiesta servizi_;
    std::array<QComboBox*, 2> combo1_{};
    std::array<QLineEdit*, 3> text1_{};
    std::array<QAbstractButton*, 2> tasti_{};

    // Slots 0 "Tableau", 1 "AnagraficaHotels", 2 "NumeriCamere", open from load to unload.
    std::array<std::unique_ptr<db::Database>, 3> archiviAperti_;
    std::array<std::optional<db::RecordSet>, 3> tabelleAperte_;
    bool scaricata_ = false;
    bool inAttivazione_ = false;
};

}  // namespace tableau::gui
