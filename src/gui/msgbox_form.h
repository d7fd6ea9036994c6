#pragma once
// The program's own message box: a borderless, always-on-top modal window with a title
// line, the message in a text box sized to the text, and one, two or three buttons.
#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>
#include <string>

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
    void Prepara(const QString& testo, std::int16_t tipoMsg, const QString& titolo);

    // Activation: keeps the window on top and lays it out by the message's rows and columns.
    void Form_Activate();

    // A button was pressed: records its answer and closes the window.
    void T_Click(int index);

    std::int16_t Risposta() const { return rispostaMessaggio_; }
    std::int16_t Tipo() const { return tipoMessaggio_; }
    QPushButton* Tasto(int index) const { return tasti_.at(static_cast<std::size_t>(index)); }
    QLabel* Titolo() const { return label1_; }
    QPlainTextEdit* Testo() const { return text1_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    void Form_Load();

    QLabel* label1_;
    QPlainTextEdit* text1_;
    std::array<QPushButton*, 3> tasti_{};
    std::string testo1252_;  // the message as given: its carriage returns shape the layout
    std::int16_t tipoMessaggio_ = 0;
    std::int16_t rispostaMessaggio_ = 0;
    bool chiusaDaTasto_ = false;
};

}  // namespace tableau::gui
