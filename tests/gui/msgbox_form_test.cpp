#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>

#include "gui/error_message.h"
#include "gui/msgbox_form.h"
#include "gui/msgbox_routine.h"
#include "gui/twips.h"
#include "routines/errors.h"
#include "routines/message_layout.h"

namespace tableau::gui {
namespace {

// Waits for the message box to come up modally, then lets `azione` act on it.
void QuandoAppare(std::function<void(MsgBox_Form&)> azione) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, azione] {
        if (auto* form = qobject_cast<MsgBox_Form*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            azione(*form);
        }
    });
    timer->start();
}

QPushButton* TastoVisibile(MsgBox_Form& form, const QString& didascalia) {
    for (QPushButton* tasto : form.Tasti()) {
        if (tasto->isVisible() && tasto->text() == didascalia) {
            return tasto;
        }
    }
    return nullptr;
}

QStringList Visibili(MsgBox_Form& form) {
    QStringList didascalie;
    for (QPushButton* tasto : form.Tasti()) {
        if (tasto->isVisible()) {
            didascalie << tasto->text();
        }
    }
    return didascalie;
}

int Codice(TipoMessaggio tipo) {
    return static_cast<int>(tipo);
}

TEST(MsgBoxForm, LaysItselfOutByTheMessage) {
    MsgBox_Form form;
    form.prepara(QStringLiteral("Controllare l'intervallo di camere richiesto!"),
                 TipoMessaggio::okAvviso, QStringLiteral("Camere errate!"));
    form.show();
    EXPECT_EQ(form.size(), DimensioneTwips(4590, 1890));
    EXPECT_EQ(form.casellaTesto()->geometry(), RettangoloTwips(120, 480, 4410, 600));
    EXPECT_EQ(form.etichettaTitolo()->geometry(), RettangoloTwips(0, 0, 4590, 375));
    EXPECT_EQ(form.tastoConferma()->geometry(), RettangoloTwips(1860, 1180, 975, 615));
    EXPECT_EQ(form.etichettaTitolo()->text(), QStringLiteral("Camere errate!"));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(form.isModal());

    // Line breaks show as lines; three lines make the box taller.
    MsgBox_Form date;
    date.prepara(QStringLiteral("La data deve essere inserita \r\nnel formato gg/mm/aaaa"),
                 TipoMessaggio::okAvviso, QStringLiteral("Data errata!"));
    date.show();
    EXPECT_EQ(date.casellaTesto()->toPlainText(),
              QStringLiteral("La data deve essere inserita \nnel formato gg/mm/aaaa"));
    EXPECT_EQ(date.casellaTesto()->height(), PixelY(900));
    EXPECT_EQ(date.size(), DimensioneTwips(4590, 900 + 375 + 615 + 300));
}

// A message taller than the room below the box's centred corner would push its buttons off
// the screen: the box keeps the text's size and moves up inside the screen's free area.
TEST(MsgBoxForm, ALongMessageStaysOnTheScreen) {
    QStringList righe;
    for (int i = 1; i <= 24; ++i) {
        righe << QStringLiteral("Camera %1 non trovata nel tableau").arg(i);
    }
    MsgBox_Form form;
    form.prepara(righe.join(QStringLiteral("\r\n")), TipoMessaggio::okAvviso,
                 QStringLiteral("Camere"));
    form.show();
    const QRect area = form.screen()->availableGeometry();
    ASSERT_GT(form.height(), area.height() / 2);
    EXPECT_EQ(form.casellaTesto()->height(), PixelY(25 * 300));
    EXPECT_TRUE(area.contains(form.frameGeometry()));
    EXPECT_TRUE(form.rect().contains(form.tastoConferma()->geometry()));
}

TEST(MsgBoxForm, OnlyAButtonClosesIt) {
    MsgBox_Form form;
    form.prepara(QStringLiteral("Domanda?"), TipoMessaggio::siNo, QStringLiteral("Titolo"));
    form.show();
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());
    form.close();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.focusWidget(), form.tastoConferma());
    // Enter presses the button that has the focus, not a default one.
    form.tastoNo()->setFocus();
    QTest::keyClick(form.tastoNo(), Qt::Key_Space);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.risposta(), Risposta::no);
}

TEST(MostraMessaggio, AnswersOfEveryButtonSet) {
    struct Caso {
        TipoMessaggio tipo;
        QStringList tasti;
        QString premuto;
        Risposta risposta;
    };
    const QStringList ok{"Ok"};
    const QStringList siNo{"Si", "No"};
    const QStringList siNoAnnulla{"Si", "No", "Annulla"};
    const Caso casi[] = {
        {TipoMessaggio::ok, ok, "Ok", Risposta::ok},
        {TipoMessaggio::okAvviso, ok, "Ok", Risposta::ok},
        {TipoMessaggio::siNo, siNo, "Si", Risposta::si},
        {TipoMessaggio::siNoDomanda, siNo, "No", Risposta::no},
        {TipoMessaggio::siNoAnnullaDomanda, siNoAnnulla, "Annulla", Risposta::annulla},
        {TipoMessaggio::siNoAnnullaAvviso, siNoAnnulla, "Si", Risposta::si},
        {TipoMessaggio::siNoAnnullaAvviso, siNoAnnulla, "No", Risposta::no},
        {TipoMessaggio::siNoSenzaFuoco, siNo, "Si", Risposta::si},
        {static_cast<TipoMessaggio>(300), siNo, "No", Risposta::no},  // inside the range
        {TipoMessaggio::siNoSenzaFuocoUltimo, siNo, "Si", Risposta::si},
    };
    for (const auto& caso : casi) {
        QStringList visti;
        QuandoAppare([&](MsgBox_Form& form) {
            visti = Visibili(form);
            QPushButton* tasto = TastoVisibile(form, caso.premuto);
            ASSERT_NE(tasto, nullptr);
            QTest::mouseClick(tasto, Qt::LeftButton);
        });
        const auto risposta =
            MostraMessaggio(QStringLiteral("Messaggio"), caso.tipo, QStringLiteral("Titolo"));
        EXPECT_EQ(risposta, caso.risposta) << Codice(caso.tipo);
        EXPECT_EQ(visti, caso.tasti) << Codice(caso.tipo);
    }
}

TEST(MostraMessaggio, EachMessageStartsFromTheDefinedButtons) {
    ImpostaProssimaRisposta(Risposta::annulla);
    EXPECT_EQ(MostraMessaggio(QStringLiteral("Primo"), TipoMessaggio::siNoAnnullaAvviso,
                              QStringLiteral("T")),
              Risposta::annulla);
    // A type outside the table keeps the defined captions, not those of the last message.
    QStringList visti;
    QuandoAppare([&](MsgBox_Form& form) {
        visti = Visibili(form);
        QTest::mouseClick(form.tastoConferma(), Qt::LeftButton);
    });
    const auto fuoriTabella = static_cast<TipoMessaggio>(16);
    EXPECT_EQ(MostraMessaggio(QStringLiteral("Secondo"), fuoriTabella, QStringLiteral("T")),
              Risposta::ok);
    EXPECT_EQ(visti, (QStringList{"Ok", "Ok", "Annulla"}));
}

TEST(MostraMessaggio, TheHookAnswersAndRecordsTheMessage) {
    DimenticaMessaggi();
    ImpostaProssimaRisposta(Risposta::no);
    EXPECT_EQ(MostraMessaggio(QStringLiteral("Salvare?"), TipoMessaggio::siNoDomanda,
                              QStringLiteral("Domanda")),
              Risposta::no);
    ImpostaRispostaAutomatica(Risposta::ok);
    EXPECT_EQ(
        MostraMessaggio(QStringLiteral("Fatto"), TipoMessaggio::okAvviso, QStringLiteral("Fine")),
        Risposta::ok);
    EXPECT_EQ(MostraMessaggio(QStringLiteral("Fatto"), TipoMessaggio::siNo, QStringLiteral("Fine")),
              Risposta::si);
    ImpostaRispostaAutomatica(std::nullopt);
    ASSERT_TRUE(UltimoMessaggio().has_value());
    EXPECT_EQ(UltimoMessaggio()->titolo, QStringLiteral("Fine"));
    EXPECT_EQ(MessaggiMostrati(), 3);
}

TEST(MostraErrore, LongFailuresFitTheBox) {
    const std::string lungo(1000, 'x');
    const QString testo = TestoErrore(lungo + "\nfine");
    for (const QString& riga : testo.split(QStringLiteral("\r\n"))) {
        EXPECT_LE(riga.size(), 90);
    }
    EXPECT_TRUE(testo.endsWith(QStringLiteral("\r\nfine")));
    // A Windows-1252 byte in a message is made UTF-8 by the failure itself.
    EXPECT_EQ(TestoErrore(routines::Errore("Tabella \xE8 assente").what()),
              QString::fromUtf8("Tabella è assente"));
    EXPECT_EQ(TestoErrore("Sar\xC3\xA0 stampato"), QString::fromUtf8("Sarà stampato"));
    ImpostaProssimaRisposta(Risposta::ok);
    MostraErrore(std::runtime_error(std::string(5000, 'y')));
    EXPECT_EQ(UltimoMessaggio()->titolo, QStringLiteral("Errore"));
}

TEST(MsgBoxForm, EnterAnswersWithTheFocusedButton) {
    // An "Ok" message opens with the focus on its button, not in its text: Enter closes it.
    MsgBox_Form avviso;
    avviso.prepara(QStringLiteral("Controllare l'intervallo di camere richiesto!"),
                   TipoMessaggio::okAvviso, QStringLiteral("Camere errate!"));
    avviso.show();
    ASSERT_EQ(avviso.focusWidget(), avviso.tastoConferma());
    QTest::keyClick(avviso.focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(avviso.isVisible());
    EXPECT_EQ(avviso.risposta(), Risposta::ok);

    // Tab moves to "No" and Enter answers it; Escape leaves the question open.
    MsgBox_Form domanda;
    domanda.prepara(QStringLiteral("Domanda?"), TipoMessaggio::siNo, QStringLiteral("Titolo"));
    domanda.show();
    QTest::keyClick(domanda.focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(domanda.isVisible());
    QTest::keyClick(domanda.focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(domanda.focusWidget(), domanda.tastoNo());
    QTest::keyClick(domanda.focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(domanda.isVisible());
    EXPECT_EQ(domanda.risposta(), Risposta::no);

    // A type that puts no focus of its own still starts on the first button.
    MsgBox_Form senzaFuoco;
    senzaFuoco.prepara(QStringLiteral("Domanda?"), TipoMessaggio::siNoSenzaFuoco,
                       QStringLiteral("Titolo"));
    senzaFuoco.show();
    EXPECT_EQ(senzaFuoco.focusWidget(), senzaFuoco.tastoConferma());
}

}  // namespace
}  // namespace tableau::gui
