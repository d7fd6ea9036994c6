#pragma once
// The preview: the chart file on screen a page at a time, in a fixed-pitch editable box,
// with paging, zoom, e-mail and saving the page back into the chart file.
#include <QDialog>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>

#include "preview/chart_pages.h"

class QPlainTextEdit;
class QAbstractButton;

namespace tableau::gui {

class Anteprima : public QDialog {
    Q_OBJECT

  public:
    explicit Anteprima(std::filesystem::path cartellaDati, QWidget* parent = nullptr);
    ~Anteprima() override;

    // Loads the window and shows it modally; returns at once, showing nothing, when the
    // data directory holds no chart file.
    void Mostra();

    // Opens the chart file when there is one.
    void Form_Load();
    // Lays the window out by its size and shows the first page; closes the window when
    // there is no chart file.
    void Form_Activate();
    void Tasto_Click(int index);

    bool AltrePagine() const { return altrePagine_; }
    long CaratteriLetti() const { return caratteriLetti_; }
    bool FileAperto() const { return lettore_ != nullptr; }
    QPlainTextEdit* Text1() const { return text1_; }
    QAbstractButton* Tasto(int index) const { return tasti_.at(static_cast<std::size_t>(index)); }

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Disponi();
    void CaricaPagina(long limite);
    void Salva();
    std::string TestoCasella() const;

    std::filesystem::path cartellaDati_;
    QPlainTextEdit* text1_;
    std::array<QAbstractButton*, 7> tasti_{};
    std::unique_ptr<preview::LettoreTableau> lettore_;  // the chart file, open while loaded
    std::size_t primaRigaPagina_ = 0;  // the page on show, as lines of the chart file
    std::size_t righePagina_ = 0;
    long caratteriLetti_ = 0;
    bool altrePagine_ = false;
    bool attivata_ = false;
};

}  // namespace tableau::gui
