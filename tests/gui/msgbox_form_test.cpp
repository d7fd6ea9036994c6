#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "gui/error_message.h"
#include "routines/message_layout.h"
#include "gui/msgbox_form.h"
#include "gui/msgbox_routine.h"
#include "gui/twips.h"

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
    for (int i = 0; i < 3; ++i) {
        if (form.Tasto(i)->isVisible() && form.Tasto(i)->text() == didascalia) {
            return form.Tasto(i);
        }
    }
    return nullptr;
}

QStringList Visibili(MsgBox_Form& form) {
    QStringList didascalie;
    for (int i = 0; i < 3; ++i) {
        if (form.Tasto(i)->isVisible()) {
            didascalie << form.Tasto(i)->text();
        }
    }
    return didascalie;
}

TEST(MsgBoxForm, LaysItselfOutByTheMessage) {
    MsgBox_Form form;
    form.Prepara(QStringLiteral("Controllare l'intervallo di camere richiesto!"), 48,
                 QStringLiteral("Camere errate!"));
    form.show();
    EXPECT_EQ(form.size(), DimensioneTwips(4590, 1890));
    EXPECT_EQ(form.Testo()->geometry(), RettangoloTwips(120, 480, 4410, 600));
    EXPECT_EQ(form.Titolo()->geometry(), RettangoloTwips(0, 0, 4590, 375));
    EXPECT_EQ(form.Tasto(0)->geometry(), RettangoloTwips(1860, 1180, 975, 615));
    EXPECT_EQ(form.Titolo()->text(), QStringLiteral("Camere errate!"));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(form.isModal());

    // Line breaks show as lines; three lines make the box taller.
    MsgBox_Form date;
    date.Prepara(QStringLiteral("La data deve essere inserita \r\nnel formato gg/mm/aaaa"), 48,
                 QStringLiteral("Data errata!"));
    date.show();
    EXPECT_EQ(date.Testo()->toPlainText(),
              QStringLiteral("La data deve essere inserita \nnel formato gg/mm/aaaa"));
    EXPECT_EQ(date.Testo()->height(), PixelY(900));
    EXPECT_EQ(date.size(), DimensioneTwips(4590, 900 + 375 + 615 + 300));
}

TEST(MsgBoxForm, OnlyAButtonClosesIt) {
    MsgBox_Form form;
    form.Prepara(QStringLiteral("Domanda?"), 4, QStringLiteral("Titolo"));
    form.show();
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());
    form.close();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.focusWidget(), form.Tasto(0));
    // Enter presses the button that has the focus, not a default one.
    form.Tasto(1)->setFocus();
    QTest::keyClick(form.Tasto(1), Qt::Key_Space);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.Risposta(), 7);
}

TEST(MostraMessaggio, AnswersOfEveryButtonSet) {
    struct Caso {
        std::int16_t tipo;
        QStringList tasti;
        QString premuto;
        std::int16_t risposta;
    };
    const QStringList ok{"Ok"};
    const QStringList siNo{"Si", "No"};
    const QStringList siNoAnnulla{"Si", "No", "Annulla"};
    const Caso casi[] = {
        {0, ok, "Ok", 0},
        {48, ok, "Ok", 0},
        {4, siNo, "Si", 6},
        {36, siNo, "No", 7},
        {35, siNoAnnulla, "Annulla", 2},
        {51, siNoAnnulla, "Si", 6},
        {51, siNoAnnulla, "No", 7},
        {200, siNo, "Si", 6},
        {300, siNo, "No", 7},
        {400, siNo, "Si", 6},
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
        EXPECT_EQ(risposta, caso.risposta) << caso.tipo;
        EXPECT_EQ(visti, caso.tasti) << caso.tipo;
    }
}

TEST(MostraMessaggio, EachMessageStartsFromTheDefinedButtons) {
    ImpostaProssimaRisposta(2);
    EXPECT_EQ(MostraMessaggio(QStringLiteral("Primo"), 51, QStringLiteral("T")), 2);
    // A type outside the table keeps the defined captions, not those of the last message.
    QStringList visti;
    QuandoAppare([&](MsgBox_Form& form) {
        visti = Visibili(form);
        QTest::mouseClick(form.Tasto(0), Qt::LeftButton);
    });
    EXPECT_EQ(MostraMessaggio(QStringLiteral("Secondo"), 16, QStringLiteral("T")), 0);
    EXPECT_EQ(visti, (QStringList{"Ok", "Ok", "Annulla"}));
}

TEST(MostraMessaggio, TheHookAnswersAndRecordsTheMessage) {
    DimenticaMessaggi();
    ImpostaProssimaRisposta(7);
    EXPECT_EQ(MostraMessaggio(QStringLiteral("Salvare?"), 36, QStringLiteral("Domanda")), 7);
    ImpostaRispostaAutomatica(0);
    EXPECT_EQ(MostraMessaggio(QStringLiteral("Fatto"), 48, QStringLiteral("Fine")), 0);
    EXPECT_EQ(MostraMessaggio(QStringLiteral("Fatto"), 4, QStringLiteral("Fine")), 6);
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
    EXPECT_EQ(TestoErrore("Tabella \xE8 assente"), QString::fromUtf8("Tabella è assente"));
    EXPECT_EQ(TestoErrore("Sar\xC3\xA0 stampato"), QString::fromUtf8("Sarà stampato"));
    ImpostaProssimaRisposta(0);
    MostraErrore(std::runtime_error(std::string(5000, 'y')));
    EXPECT_EQ(UltimoMessaggio()->titolo, QStringLiteral("Errore"));
}

}  // namespace
}  // namespace tableau::gui
