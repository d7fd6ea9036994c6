#include "gui/msgbox_routine.h"

#include "gui/msgbox_form.h"

namespace tableau::gui {
namespace {

// Test hooks only; the message box itself keeps no state between messages.
struct RegistroMessaggi {
    std::optional<Risposta> prossimaRisposta;
    std::optional<Risposta> rispostaAutomatica;
    std::optional<MessaggioMostrato> ultimo;
    int conteggio = 0;
};

RegistroMessaggi& Registro() {
    static RegistroMessaggi registro;
    return registro;
}

// Presses the button that gives `risposta`.
void Premi(MsgBox_Form& form, Risposta risposta) {
    switch (risposta) {
        case Risposta::no:
            form.tastoNo_Click();
            break;
        case Risposta::annulla:
            form.tastoAnnulla_Click();
            break;
        default:  // Risposta::ok, Risposta::si
            form.tastoConferma_Click();
            break;
    }
}

}  // namespace

Risposta MostraMessaggio(const QString& testo, TipoMessaggio tipo, const QString& titolo) {
    MsgBox_Form form;
    form.prepara(testo, tipo, titolo);
    auto& registro = Registro();
    auto risposta = registro.prossimaRisposta;
    registro.prossimaRisposta.reset();
    if (!risposta) {
        risposta = registro.rispostaAutomatica;
    }
    if (risposta) {
        form.show();
        Premi(form, *risposta);
    } else {
        form.exec();
    }
    registro.ultimo = MessaggioMostrato{testo, titolo, tipo, form.risposta()};
    ++registro.conteggio;
    return form.risposta();
}

void ImpostaProssimaRisposta(Risposta risposta) {
    Registro().prossimaRisposta = risposta;
}
void ImpostaRispostaAutomatica(std::optional<Risposta> risposta) {
    Registro().rispostaAutomatica = risposta;
}
void AnnullaProssimaRisposta() {
    Registro().prossimaRisposta.reset();
}
std::optional<MessaggioMostrato> UltimoMessaggio() {
    return Registro().ultimo;
}
int MessaggiMostrati() {
    return Registro().conteggio;
}
void DimenticaMessaggi() {
    Registro().ultimo.reset();
    Registro().conteggio = 0;
}

}  // namespace tableau::gui
