#include "gui/error_message.h"

#include "gui/msgbox_routine.h"
#include "gui/qt_text.h"
#include "routines/system_log.h"

namespace tableau::gui {
namespace {

// Well inside the 16-bit layout of the message box (363 columns, 107 lines).
constexpr qsizetype kColonneMassime = 90;
constexpr qsizetype kRigheMassime = 40;

// A failure's message is UTF-8 (routines::Errore makes sure of it).
QString Decodifica(std::string_view messaggio) {
    return QString::fromUtf8(messaggio.data(), static_cast<qsizetype>(messaggio.size()));
}

}  // namespace

QString TestoErrore(std::string_view messaggio) {
    const QString origine = Decodifica(messaggio);
    QString testo;
    qsizetype righe = 1;
    qsizetype colonna = 0;
    for (const QChar c : origine) {
        if (c == QLatin1Char('\r')) {
            continue;
        }
        if (c == QLatin1Char('\n') || colonna == kColonneMassime) {
            if (++righe > kRigheMassime) {
                break;
            }
            testo += QStringLiteral("\r\n");
            colonna = 0;
            if (c == QLatin1Char('\n')) {
                continue;
            }
        }
        testo += c;
        ++colonna;
    }
    return testo;
}

void MostraErrore(std::string_view messaggio) {
    // Every failure a user sees is also in the system log, for the administrator.
    routines::RegistraErrore(Decodifica(messaggio).toStdString());
    MostraMessaggio(TestoErrore(messaggio), TipoMessaggio::okAvviso, QStringLiteral("Errore"));
}

void MostraErrore(const std::exception& errore) {
    MostraErrore(std::string_view(errore.what()));
}

void EseguiMostrandoErrori(const std::function<void()>& azione) {
    try {
        azione();
    } catch (const std::exception& errore) {
        MostraErrore(errore);
    }
}

}  // namespace tableau::gui
