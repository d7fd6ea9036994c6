#pragma once
// The print menu: over a freshly written chart it offers the configured destinations, the
// installed printers, three options and six picture buttons: print, preview, open the dated
// document copy, open the spreadsheet copy, print on a PDF destination, close.
#include <QDialog>
#include <array>
#include <filesystem>
#include <functional>
#include <string>

#include "gui/stato_programma.h"
#include "print/print_job.h"

class QComboBox;
class QCheckBox;
class QAbstractButton;

namespace tableau::gui {

// What the print menu asks of the platform and of the other windows; each has a default.
struct ServiziMenu {
    // Opens a file with its associated program.
    std::function<void(const std::filesystem::path&)> apri;
    // The platform's warning box (text, title).
    std::function<void(const QString&, const QString&)> avviso;
    // Shows the preview modally; returns when it has closed.
    std::function<void()> mostraAnteprima;
    // Runs the print job; throws on failure.
    std::function<void(const print::OpzioniStampa&)> stampa;
};

class MenuStampa : public QDialog {
    Q_OBJECT

  public:
    // The printers' service outlives the menu: the current printer persists between jobs.
    MenuStampa(StatoProgramma& stato, print::ServizioStampanti& stampanti, ServiziMenu servizi = {},
               QWidget* parent = nullptr);
    ~MenuStampa() override;

    // Loads, activates and shows the menu modally; returns when it has closed (at once when
    // there is no destination).
    void Mostra();

    // Centres the window, makes the document copy and lists the printers; a failing step is
    // skipped.
    void Form_Load();
    // Reads the assistance code and lists the destinations; closes the menu when there is
    // none.
    void Form_Activate();
    void Tst_Click(int index);

    // The options as the print job reads them.
    print::OpzioniStampa Opzioni() const;

    const std::filesystem::path& PercorsoDoc() const { return percorsoDoc_; }
    const std::string& CodiceAssistenza() const { return codiceAssistenza_; }
    bool Scaricata() const { return scaricata_; }
    QComboBox* Combo1() const { return combo1_; }
    QComboBox* Combo2() const { return combo2_; }
    QCheckBox* Chk() const { return chk_; }
    QCheckBox* Chk2() const { return chk2_; }
    QCheckBox* Chk3() const { return chk3_; }
    QAbstractButton* Tst(int index) const { return tst_.at(static_cast<std::size_t>(index)); }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Scarica();

    StatoProgramma& stato_;
    print::ServizioStampanti& stampanti_;
    ServiziMenu servizi_;
    QComboBox* combo1_ = nullptr;
    QComboBox* combo2_ = nullptr;
    QCheckBox* chk_ = nullptr;
    QCheckBox* chk2_ = nullptr;
    QCheckBox* chk3_ = nullptr;
    std::array<QAbstractButton*, 6> tst_{};
    std::filesystem::path percorsoDoc_;
    std::string codiceAssistenza_;
    bool scaricata_ = false;
};

}  // namespace tableau::gui
