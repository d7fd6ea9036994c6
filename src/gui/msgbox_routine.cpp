#include "gui/msgbox_routine.h"

#include "gui/msgbox_form.h"

namespace tableau::gui {
namespace {

// Test hooks only; the message box itself keeps no state between messages.
struct RegistroMessaggi {
    std::optional<std::int16_t> prossimaRisposta;
    std::optional<std::int16_t> rispostaAutomatica;
    std::optional<MessaggioMostrato> ultimo;
    int conteggio = 0;
};

RegistroMessaggi& Registro() {
    static RegistroMessaggi registro;
    return registro;
}

int TastoPerRisposta(std::int16_t risposta) {
    switch (risposta) {
        case 7:
            return 1;
        case 2:
            return 2;
        default:
            return 0;
    }
}

}  // namespace

std::int16_t MostraMessaggio(const QString& testo, std::int16_t tipoMsg, const QString& titolo) {
    MsgBox_Form form;
    form.Prepara(testo, tipoMsg, titolo);
    auto& registro = Registro();
    auto risposta = registro.prossimaRisposta;
    registro.prossimaRisposta.reset();
    if (!risposta) {
        risposta = registro.rispostaAutomatica;
    }
    if (risposta) {
        form.show();
        form.T_Click(TastoPerRisposta(*risposta));
    } else {
        form.exec();
    }
    registro.ultimo = MessaggioMostrato{testo, titolo, tipoMsg, form.Risposta()};
    ++registro.conteggio;
    return form.Risposta();
}

void ImpostaProssimaRisposta(std::int16_t risposta) {
    Registro().prossimaRisposta = risposta;
}
void ImpostaRispostaAutomatica(std::optional<std::int16_t> risposta) {
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
