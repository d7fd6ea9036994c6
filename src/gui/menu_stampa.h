#pragma once
// The print menu: over a freshly written chart it offers the configured destinations, the
// installed printers, three options and six picture buttons: print, preview, open the dated
// document copy, open the spreadsheet copy, print on a PDF destination, close.
#include <QDialog>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "gui/program_state.h"
#include "print/print_job.h"

class QComboBox;
class QCheckBox;
class QAbstractButton;
class QLabel;

namespace tableau::gui {

// What the print menu asks of the platform and of the other windows; each has a default.
struct ServiziMenu {
    // Opens a file with its associated program; false when no program is associated with
    // files of its kind (the file stays where it is).
    std::function<bool(const std::filesystem::path&)> apri;
    // The platform's warning box (text, title).
    std::function<void(const QString&, const QString&)> avviso;
    // Shows the preview modally; returns when it has closed.
    std::function<void()> mostraAnteprima;
    // Runs the print job and says where the chart went (UTF-8); throws on failure.
    std::function<std::string(const print::OpzioniStampa&)> stampa;
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
    void mostra();

    // Centres the window, makes the document copy and lists the printers; a failing step is
    // skipped.
    void Form_Load();
    // Reads the assistance code and lists the destinations; closes the menu when there is
    // none.
    void Form_Activate();
    // The picture buttons. "Stampa" prints on the destination chosen; "Stampa su PDF" picks
    // the last destination whose name holds "PDF" and prints on it; "Anteprima di stampa"
    // shows the preview; the other two open the dated document copy and the spreadsheet
    // copy; "Chiudi" closes the menu.
    void tastoStampa_Click();
    void tastoPdf_Click();
    void tastoAnteprima_Click();
    void tastoDocumento_Click();
    void tastoFoglio_Click();
    void tastoChiudi_Click();
    // After the six: "Tableau grafico" writes the laid-out chart as a PDF, "Foglio Excel" the
    // workbook, each opened with its associated program.
    void tastoGrafico_Click();
    void tastoExcel_Click();

    // The options as the print job reads them.
    print::OpzioniStampa opzioni() const;

    const std::filesystem::path& PercorsoDoc() const { return percorsoDoc_; }
    const std::string& CodiceAssistenza() const { return codiceAssistenza_; }
    bool scaricata() const { return scaricata_; }
    QComboBox* elencoDestinazioni() const { return elencoDestinazioni_; }
    QComboBox* elencoStampanti() const { return elencoStampanti_; }
    QCheckBox* opzioneCompressa() const { return opzioneCompressa_; }
    QCheckBox* opzioneOrizzontale() const { return opzioneOrizzontale_; }
    QCheckBox* opzioneFronteRetro() const { return opzioneFronteRetro_; }
    QAbstractButton* tastoStampa() const { return tastoStampa_; }
    QAbstractButton* tastoPdf() const { return tastoPdf_; }
    QAbstractButton* tastoAnteprima() const { return tastoAnteprima_; }
    QAbstractButton* tastoDocumento() const { return tastoDocumento_; }
    QAbstractButton* tastoFoglio() const { return tastoFoglio_; }
    QAbstractButton* tastoChiudi() const { return tastoChiudi_; }
    QAbstractButton* tastoGrafico() const { return tastoGrafico_; }
    QAbstractButton* tastoExcel() const { return tastoExcel_; }
    // The line under the buttons that says what the last action did and where it went.
    QLabel* rigaStato() const { return rigaStato_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void scarica();
    // Opens a file written for the user and says so, or says where it is when no program
    // takes files of its kind.
    // Writes the format's file of the workstation from the table of formats, then opens it.
    void esportaEApri(std::string_view nomeFormato);
    void apriEDiQuale(const std::filesystem::path& file, const QString& cosa);
    // Says in the status line what was done and where, and logs it.
    void stato(const QString& testo);

    StatoProgramma& stato_;
    print::ServizioStampanti& stampanti_;
    ServiziMenu servizi_;
    QComboBox* elencoDestinazioni_ = nullptr;  // "Virtuale": the configured destinations
    QComboBox* elencoStampanti_ = nullptr;     // "Stampante": the installed printers
    QCheckBox* opzioneCompressa_ = nullptr;    // "Stampa Compressa"
    QCheckBox* opzioneOrizzontale_ = nullptr;  // "Stampa orizzontale"
    QCheckBox* opzioneFronteRetro_ = nullptr;  // "Stampa fronte / retro"
    QAbstractButton* tastoDocumento_ = nullptr;
    QAbstractButton* tastoFoglio_ = nullptr;
    QAbstractButton* tastoPdf_ = nullptr;
    QAbstractButton* tastoStampa_ = nullptr;
    QAbstractButton* tastoAnteprima_ = nullptr;
    QAbstractButton* tastoChiudi_ = nullptr;
    QAbstractButton* tastoGrafico_ = nullptr;
    QAbstractButton* tastoExcel_ = nullptr;
    QLabel* rigaStato_ = nullptr;
    std::filesystem::path percorsoDoc_;
    std::string codiceAssistenza_;
    bool scaricata_ = false;
};

}  // namespace tableau::gui
