#pragma once
// The program's own message box: a borderless, always-on-top modal window with a title
// line, the message in a text box sized to the text, and one, two or three buttons.
#include <QDialog>
#include <QString>
#include <array>
#include <string>

#include "routines/message_layout.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tableau::gui {

class MsgBox_Form : public QDialog {
    Q_OBJECT

  public:
    // Loading the window places it, at its defined size, in the middle of the screen.
    explicit MsgBox_Form(QWidget* parent = nullptr);

    // Puts the message, the title and the type's button set in the window.
    void prepara(const QString& testo, routines::TipoMessaggio tipo, const QString& titolo);

    // Activation: keeps the window on top, lays it out by the message's rows and columns and
    // brings it inside the screen.
    void Form_Activate();

    // A button was pressed: each records its answer and closes the window.
    void tastoConferma_Click();
    void tastoNo_Click();
    void tastoAnnulla_Click();

    routines::Risposta risposta() const { return rispostaMessaggio_; }
    routines::TipoMessaggio tipo() const { return tipoMessaggio_; }
    QLabel* etichettaTitolo() const { return etichettaTitolo_; }
    QPlainTextEdit* casellaTesto() const { return casellaTesto_; }
    QPushButton* tastoConferma() const { return tastoConferma_; }
    QPushButton* tastoNo() const { return tastoNo_; }
    QPushButton* tastoAnnulla() const { return tastoAnnulla_; }
    // The three buttons left to right, in the order of routines::TastoMessaggio.
    std::array<QPushButton*, 3> Tasti() const { return {tastoConferma_, tastoNo_, tastoAnnulla_}; }

  protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    void Form_Load();
    void rispondi(routines::TastoMessaggio tasto);

    QLabel* etichettaTitolo_;
    QPlainTextEdit* casellaTesto_;
    QPushButton* tastoConferma_ = nullptr;
    QPushButton* tastoNo_ = nullptr;
    QPushButton* tastoAnnulla_ = nullptr;
    std::string testo1252_;  // the message as given: its carriage returns shape the layout
    routines::TipoMessaggio tipoMessaggio_ = routines::TipoMessaggio::ok;
    routines::Risposta rispostaMessaggio_ = routines::Risposta::ok;
    bool chiusaDaTasto_ = false;
};

}  // namespace tableau::gui
