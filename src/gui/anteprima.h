#pragma once
// The preview: the chart file on screen a page at a time, in a fixed-pitch editable box,
// with paging, zoom, e-mail and saving the page back into the chart file.
#include <QDialog>
#include <filesystem>
#include <memory>
#include <optional>

#include "preview/chart_pages.h"
#include "routines/workstation.h"

class QPlainTextEdit;
class QAbstractButton;

namespace tableau::gui {

class Anteprima : public QDialog {
    Q_OBJECT

  public:
    explicit Anteprima(routines::Postazione postazione, QWidget* parent = nullptr);
    ~Anteprima() override;

    // Loads the window and shows it modally; returns at once, showing nothing, when the
    // data directory holds no chart file.
    void mostra();

    // Opens the chart file when there is one.
    void Form_Load();
    // Brings the window inside the screen, lays it out by its size and shows the first page;
    // closes the window when there is no chart file.
    void Form_Activate();
    // The buttons: close the window; the page's font a point smaller or larger; the next
    // page; the first page; the page by e-mail; the page saved back into the chart file.
    void tastoEsci_Click();
    void tastoRiduci_Click();
    void tastoEspandi_Click();
    void tastoAvanti_Click();
    void tastoInizio_Click();
    void tastoEMail_Click();
    void tastoSalva_Click();

    bool AltrePagine() const { return altrePagine_; }
    long CaratteriLetti() const { return caratteriLetti_; }
    bool fileAperto() const { return lettore_ != nullptr; }
    QPlainTextEdit* casellaPagina() const { return casellaPagina_; }
    QAbstractButton* tastoEsci() const { return tastoEsci_; }
    QAbstractButton* tastoRiduci() const { return tastoRiduci_; }
    QAbstractButton* tastoEspandi() const { return tastoEspandi_; }
    QAbstractButton* tastoAvanti() const { return tastoAvanti_; }
    QAbstractButton* tastoInizio() const { return tastoInizio_; }
    QAbstractButton* tastoEMail() const { return tastoEMail_; }
    QAbstractButton* tastoSalva() const { return tastoSalva_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void disponi();
    void caricaPagina(long limite);
    void salva();
    std::string testoPagina() const;

    routines::Postazione postazione_;
    QPlainTextEdit* casellaPagina_;  // the page on show, editable
    QAbstractButton* tastoEsci_ = nullptr;
    QAbstractButton* tastoRiduci_ = nullptr;
    QAbstractButton* tastoEspandi_ = nullptr;
    QAbstractButton* tastoAvanti_ = nullptr;
    QAbstractButton* tastoInizio_ = nullptr;
    QAbstractButton* tastoEMail_ = nullptr;
    QAbstractButton* tastoSalva_ = nullptr;
    std::unique_ptr<preview::LettoreTableau> lettore_;  // the chart file, open while loaded
    std::size_t primaRigaPagina_ = 0;  // the page on show, as lines of the chart file
    std::size_t righePagina_ = 0;
    long caratteriLetti_ = 0;
    bool altrePagine_ = false;
    bool attivata_ = false;
};

}  // namespace tableau::gui
