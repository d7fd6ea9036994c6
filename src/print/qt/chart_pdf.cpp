#include "print/qt/chart_pdf.h"

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <algorithm>
#include <vector>

#include "chart/chart_file.h"
#include "print/state_fills.h"
#include "routines/atomic_file.h"
#include "routines/codepage.h"
#include "routines/errors.h"

namespace tableau::print {
namespace {

using chart::kGiorniTableau;

constexpr int kRisoluzione = 720;  // device units per inch: ten to a point

// The page in points, as on A4; an A3 page is the same drawn larger.
constexpr double kLarghezzaPagina = 841.89;
constexpr double kMargine = 28.0;
constexpr double kAltezzaTitolo = 38.0;
constexpr double kAltezzaIntestazione = 26.0;
constexpr double kAltezzaPiede = 20.0;
constexpr double kColonnaCamere = 54.0;
constexpr double kRigaCella = 9.6;  // one of a room's four lines
constexpr double kAltezzaCamera = 4 * kRigaCella + 4.0;
constexpr double kRigaTotale = 13.0;
constexpr double kAltezzaTotali = 3 * kRigaTotale;
constexpr double kRientro = 3.0;
constexpr double kCorpoCella = 8.0;
constexpr double kCorpoMinimo = 5.0;

const QColor kGrigioIntestazione(0xEE, 0xEE, 0xEE);

QString Testo(std::string_view cp1252) {
    return QString::fromStdString(routines::cp1252ToUtf8(cp1252));
}

// Liberation Sans, by name when the platform's font list has it, else from Debian's files.
QString FamigliaLiberation() {
    const QString famiglia = QStringLiteral("Liberation Sans");
    if (QFontDatabase::families().contains(famiglia)) {
        return famiglia;
    }
    const QString cartella = QStringLiteral("/usr/share/fonts/truetype/liberation/");
    QString caricata;
    for (const char* nome : {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf",
                             "LiberationSans-Italic.ttf", "LiberationSans-BoldItalic.ttf"}) {
        const int id = QFontDatabase::addApplicationFont(cartella + QLatin1String(nome));
        const QStringList famiglie = QFontDatabase::applicationFontFamilies(id);
        if (caricata.isEmpty() && !famiglie.isEmpty()) {
            caricata = famiglie.front();
        }
    }
    return caricata.isEmpty() ? famiglia : caricata;
}

QString Posti(const std::string& posti) {
    if (posti.empty()) {
        return {};
    }
    return Testo(posti) + (posti == "1" ? QStringLiteral(" posto") : QStringLiteral(" posti"));
}

// Which rooms each page holds, and whether the totals close it.
struct Pagina {
    std::size_t prima = 0;
    std::size_t fine = 0;
    bool totali = false;
};

std::vector<Pagina> Impagina(std::size_t camere, std::size_t perPagina, std::size_t totaliDopo) {
    std::vector<Pagina> pagine;
    std::size_t prima = 0;
    do {
        const std::size_t fine = std::min(camere, prima + perPagina);
        pagine.push_back({prima, fine, false});
        prima = fine;
    } while (prima < camere);
    // The totals stay together below the last rooms, or open a page of their own.
    if (pagine.back().fine - pagine.back().prima <= totaliDopo) {
        pagine.back().totali = true;
    } else {
        pagine.push_back({camere, camere, true});
    }
    return pagine;
}

class DisegnoPdf {
  public:
    DisegnoPdf(QPdfWriter& writer, const chart::TableauLetto& tableau)
        : writer_(writer),
          tableau_(tableau),
          famiglia_(FamigliaLiberation()),
          unita_(writer.width() / kLarghezzaPagina),
          altezza_(writer.height() / unita_),
          larghezzaGiorno_((kLarghezzaPagina - 2 * kMargine - kColonnaCamere) / kGiorniTableau),
          cella_(Carattere(kCorpoCella, false)),
          cellaGrassetto_(Carattere(kCorpoCella, true)),
          metricaCella_(cella_, &writer),
          metricaGrassetto_(cellaGrassetto_, &writer) {
        const double spazio =
            altezza_ - 2 * kMargine - kAltezzaTitolo - kAltezzaIntestazione - kAltezzaPiede;
        const auto perPagina =
            std::max<std::size_t>(1, static_cast<std::size_t>(spazio / kAltezzaCamera));
        const auto totaliDopo =
            static_cast<std::size_t>(std::max(0.0, (spazio - kAltezzaTotali) / kAltezzaCamera));
        pagine_ = Impagina(tableau.camere.size(), perPagina, totaliDopo);
    }

    int pagine() const { return static_cast<int>(pagine_.size()); }

    void disegna(QPainter& painter) {
        for (std::size_t n = 0; n < pagine_.size(); ++n) {
            if (n > 0) {
                writer_.newPage();
            }
            disegnaPagina(painter, n);
        }
    }

  private:
    // Points of the A4 layout to device units.
    double P(double punti) const { return punti * unita_; }
    QPointF P(double x, double y) const { return {P(x), P(y)}; }
    QRectF P(double x, double y, double larghezza, double altezza) const {
        return {P(x), P(y), P(larghezza), P(altezza)};
    }

    QFont Carattere(double corpo, bool grassetto) const {
        QFont carattere(famiglia_);
        // Point sizes follow the page, so that an A3 page is the A4 page enlarged.
        carattere.setPointSizeF(corpo * unita_ * 72.0 / kRisoluzione);
        carattere.setBold(grassetto);
        return carattere;
    }

    double XGiorno(std::size_t g) const {
        return kMargine + kColonnaCamere + larghezzaGiorno_ * static_cast<double>(g);
    }

    // A text on one line of the given box, vertically centred; made smaller when wider than
    // the box, and cut only when even the smallest size does not fit.
    void Scrivi(QPainter& painter, const QString& testo, const QRectF& riquadro, const QFont& font,
                const QFontMetricsF& metrica, Qt::Alignment allineamento = Qt::AlignLeft) {
        if (testo.isEmpty()) {
            return;
        }
        const QRectF dentro = riquadro.adjusted(P(kRientro), 0, -P(kRientro), 0);
        double larghezza = metrica.horizontalAdvance(testo);
        QString mostrato = testo;
        if (larghezza > dentro.width()) {
            QFont ridotto = font;
            ridotto.setPointSizeF(std::max(font.pointSizeF() * dentro.width() / larghezza * 0.98,
                                           font.pointSizeF() * kCorpoMinimo / kCorpoCella));
            const QFontMetricsF metricaRidotta(ridotto, &writer_);
            mostrato = metricaRidotta.elidedText(testo, Qt::ElideRight, dentro.width());
            larghezza = metricaRidotta.horizontalAdvance(mostrato);
            ScriviA(painter, mostrato, dentro, ridotto, metricaRidotta, larghezza, allineamento);
            return;
        }
        ScriviA(painter, mostrato, dentro, font, metrica, larghezza, allineamento);
    }

    void ScriviA(QPainter& painter, const QString& testo, const QRectF& dentro, const QFont& font,
                 const QFontMetricsF& metrica, double larghezza, Qt::Alignment allineamento) {
        double x = dentro.left();
        if (allineamento & Qt::AlignHCenter) {
            x = dentro.center().x() - larghezza / 2;
        } else if (allineamento & Qt::AlignRight) {
            x = dentro.right() - larghezza;
        }
        const double linea =
            dentro.top() + (dentro.height() + metrica.ascent() - metrica.descent()) / 2;
        painter.setFont(font);
        painter.drawText(QPointF(x, linea), testo);
    }

    void Scrivi(QPainter& painter, const QString& testo, const QRectF& riquadro, const QFont& font,
                Qt::Alignment allineamento = Qt::AlignLeft) {
        Scrivi(painter, testo, riquadro, font, QFontMetricsF(font, &writer_), allineamento);
    }

    void disegnaPagina(QPainter& painter, std::size_t n) {
        const Pagina& pagina = pagine_[n];
        disegnaTitolo(painter);
        double y = kMargine + kAltezzaTitolo;
        disegnaIntestazione(painter, y);
        const double inizioGriglia = y;
        y += kAltezzaIntestazione;
        std::vector<double> divisioni;
        for (std::size_t c = pagina.prima; c < pagina.fine; ++c) {
            disegnaCamera(painter, tableau_.camere[c], y);
            y += kAltezzaCamera;
            divisioni.push_back(y);
        }
        double inizioTotali = -1;
        if (pagina.totali) {
            inizioTotali = y;
            disegnaTotali(painter, y);
            y += kAltezzaTotali;
        }
        disegnaGriglia(painter, inizioGriglia, y, divisioni, inizioTotali);
        disegnaPiede(painter, n);
    }

    void disegnaTitolo(QPainter& painter) {
        const double larghezza = kLarghezzaPagina - 2 * kMargine;
        const QString hotel =
            tableau_.hotel.empty() ? QStringLiteral("Tableau") : Testo(tableau_.hotel);
        Scrivi(painter, hotel, P(kMargine - kRientro, kMargine, larghezza, 18),
               Carattere(14, true));
        if (!tableau_.generazione.empty()) {
            Scrivi(painter, QStringLiteral("Creato il ") + Testo(tableau_.generazione),
                   P(kMargine, kMargine, larghezza + kRientro, 18), Carattere(8, false),
                   Qt::AlignRight);
        }
        QString sottotitolo;
        if (!tableau_.descrizione.empty()) {
            sottotitolo =
                QStringLiteral("Tableau: ") + Testo(tableau_.descrizione) + QStringLiteral("    ");
        }
        sottotitolo += QStringLiteral("Settimana dal ") + Testo(tableau_.giorni.front().testoData) +
                       QStringLiteral(" al ") + Testo(tableau_.giorni.back().testoData);
        Scrivi(painter, sottotitolo, P(kMargine - kRientro, kMargine + 18, larghezza, 14),
               Carattere(10, false));
    }

    void disegnaIntestazione(QPainter& painter, double y) {
        painter.fillRect(P(kMargine, y, kLarghezzaPagina - 2 * kMargine, kAltezzaIntestazione),
                         kGrigioIntestazione);
        const QFont grassetto = Carattere(9, true);
        Scrivi(painter, QStringLiteral("Camera"),
               P(kMargine, y, kColonnaCamere, kAltezzaIntestazione), grassetto);
        const double riga = kAltezzaIntestazione / 2;
        for (std::size_t g = 0; g < kGiorniTableau; ++g) {
            const chart::GiornoIntestazione& giorno = tableau_.giorni[g];
            Scrivi(painter, Testo(giorno.nome), P(XGiorno(g), y + 1, larghezzaGiorno_, riga),
                   grassetto);
            Scrivi(painter, Testo(giorno.testoData),
                   P(XGiorno(g), y + riga - 1, larghezzaGiorno_, riga), cella_, metricaCella_);
        }
    }

    void disegnaCamera(QPainter& painter, const chart::CameraLetta& camera, double y) {
        const double alto = y + 2;
        for (std::size_t g = 0; g < kGiorniTableau; ++g) {
            if (const auto colore = ColoreStato(camera.giorni[g].stato)) {
                painter.fillRect(P(XGiorno(g), y, larghezzaGiorno_, kAltezzaCamera),
                                 QColor(QRgb(*colore)));
            }
        }
        Scrivi(painter, Testo(camera.numero), P(kMargine, alto, kColonnaCamere, kRigaCella * 1.3),
               Carattere(10, true));
        Scrivi(painter, Testo(camera.tipo),
               P(kMargine, alto + kRigaCella * 1.3, kColonnaCamere, kRigaCella), cella_,
               metricaCella_);
        Scrivi(painter, Posti(camera.posti),
               P(kMargine, alto + kRigaCella * 2.3, kColonnaCamere, kRigaCella), cella_,
               metricaCella_);
        for (std::size_t g = 0; g < kGiorniTableau; ++g) {
            const chart::GiornoLetto& giorno = camera.giorni[g];
            const double x = XGiorno(g);
            Scrivi(painter, Testo(chart::PersoneEStato(giorno)),
                   P(x, alto, larghezzaGiorno_, kRigaCella), cella_, metricaCella_);
            Scrivi(painter, Testo(giorno.nome),
                   P(x, alto + kRigaCella, larghezzaGiorno_, kRigaCella), cellaGrassetto_,
                   metricaGrassetto_);
            Scrivi(painter, Testo(giorno.ditta),
                   P(x, alto + 2 * kRigaCella, larghezzaGiorno_, kRigaCella), cella_,
                   metricaCella_);
            Scrivi(painter, Testo(chart::CodiceENota(giorno)),
                   P(x, alto + 3 * kRigaCella, larghezzaGiorno_, kRigaCella), cella_,
                   metricaCella_);
        }
    }

    void disegnaTotali(QPainter& painter, double y) {
        const QFont grassetto = Carattere(9, true);
        const QFontMetricsF metrica(grassetto, &writer_);
        const std::array<std::pair<const char*, const std::array<long, kGiorniTableau>*>, 3>
            classi = {{{"CC", &tableau_.totaleCC},
                       {"MP", &tableau_.totaleMP},
                       {"PC", &tableau_.totalePC}}};
        for (const auto& [sigla, totali] : classi) {
            Scrivi(painter, QLatin1String(sigla), P(kMargine, y, kColonnaCamere, kRigaTotale),
                   grassetto, metrica);
            for (std::size_t g = 0; g < kGiorniTableau; ++g) {
                Scrivi(painter, QString::number((*totali)[g]),
                       P(XGiorno(g), y, larghezzaGiorno_, kRigaTotale), grassetto, metrica,
                       Qt::AlignHCenter);
            }
            y += kRigaTotale;
        }
    }

    // The lines: a frame round the grid, a line under the header, between the rooms and
    // above the totals (heavier), and between the columns.
    void disegnaGriglia(QPainter& painter, double alto, double basso,
                        const std::vector<double>& divisioni, double inizioTotali) {
        const double sinistra = kMargine;
        const double destra = kLarghezzaPagina - kMargine;
        QPen sottile(Qt::black, P(0.5));
        sottile.setCapStyle(Qt::FlatCap);
        QPen spessa(Qt::black, P(1.2));
        spessa.setCapStyle(Qt::SquareCap);
        painter.setPen(sottile);
        const double sottoIntestazione = alto + kAltezzaIntestazione;
        painter.drawLine(P(sinistra, sottoIntestazione), P(destra, sottoIntestazione));
        for (const double y : divisioni) {
            painter.drawLine(P(sinistra, y), P(destra, y));
        }
        for (std::size_t g = 0; g < kGiorniTableau; ++g) {
            painter.drawLine(P(XGiorno(g), alto), P(XGiorno(g), basso));
        }
        painter.setPen(spessa);
        if (inizioTotali >= 0) {
            painter.drawLine(P(sinistra, inizioTotali), P(destra, inizioTotali));
        }
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(P(sinistra, alto, destra - sinistra, basso - alto));
    }

    void disegnaPiede(QPainter& painter, std::size_t n) {
        const double y = altezza_ - kMargine - kAltezzaPiede + 6;
        const double alto = 14;
        const QFont carattere = Carattere(8, false);
        const QFontMetricsF metrica(carattere, &writer_);
        double x = kMargine;
        Scrivi(painter, QStringLiteral("Legenda:"), P(x - kRientro, y, 60, alto), carattere,
               metrica);
        x += metrica.horizontalAdvance(QStringLiteral("Legenda:")) / unita_ + 8;
        const auto voce = [&](std::optional<std::uint32_t> colore, const QString& nome) {
            const QRectF campione = P(x, y + 3, 14, 8);
            painter.fillRect(campione, colore ? QColor(QRgb(*colore)) : QColor(Qt::white));
            painter.setPen(QPen(Qt::black, P(0.5)));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(campione);
            x += 16;
            Scrivi(painter, nome, P(x - kRientro, y, 80, alto), carattere, metrica);
            x += metrica.horizontalAdvance(nome) / unita_ + 12;
        };
        for (const chart::StatoSoggiorno stato : chart::kStatiSoggiorno) {
            voce(ColoreStato(stato), Testo(chart::NomeStato(stato)));
        }
        voce(std::nullopt, QStringLiteral("libera"));
        const QString numero = QStringLiteral("Pagina %1 di %2").arg(n + 1).arg(pagine_.size());
        Scrivi(painter, numero, P(kMargine, y, kLarghezzaPagina - 2 * kMargine + kRientro, alto),
               carattere, metrica, Qt::AlignRight);
    }

    QPdfWriter& writer_;
    const chart::TableauLetto& tableau_;
    const QString famiglia_;
    const double unita_;    // device units to a point of the A4 layout
    const double altezza_;  // the page's height in points of the A4 layout
    const double larghezzaGiorno_;
    const QFont cella_;
    const QFont cellaGrassetto_;
    const QFontMetricsF metricaCella_;
    const QFontMetricsF metricaGrassetto_;
    std::vector<Pagina> pagine_;
};

}  // namespace

std::string NomeFilePdf() {
    return "fd" + chart::NumeroPostazione() + ".pdf";
}

int ScriviPdfTableau(const chart::TableauLetto& tableau, const std::filesystem::path& file,
                     FormatoPdf formato) {
    QBuffer documento;
    documento.open(QIODevice::WriteOnly);
    int pagine = 0;
    {
        QPdfWriter writer(&documento);
        writer.setResolution(kRisoluzione);
        writer.setCreator(QStringLiteral("Tableau"));
        writer.setTitle(QStringLiteral("Tableau ") + Testo(tableau.hotel) + QStringLiteral(" ") +
                        Testo(tableau.descrizione) + QStringLiteral(" dal ") +
                        Testo(tableau.giorni.front().testoData));
        writer.setPageLayout(
            QPageLayout(QPageSize(formato == FormatoPdf::a3 ? QPageSize::A3 : QPageSize::A4),
                        QPageLayout::Landscape, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer)) {
            throw routines::Errore("Impossibile preparare il PDF " + file.string());
        }
        DisegnoPdf disegno(writer, tableau);
        disegno.disegna(painter);
        pagine = disegno.pagine();
        painter.end();
    }
    routines::AtomicFile uscita(file);
    uscita.write(std::string_view(documento.data().constData(),
                                  static_cast<std::size_t>(documento.data().size())));
    uscita.commit();
    return pagine;
}

std::filesystem::path CreaPdfTableau(const std::filesystem::path& cartellaDati, FormatoPdf formato,
                                     const std::filesystem::path& file) {
    const chart::TableauLetto tableau = chart::LeggiTableauDellaCartella(cartellaDati);
    const std::filesystem::path destinazione =
        cartellaDati /
        (file.empty() ? std::filesystem::path(routines::cp1252ToUtf8(NomeFilePdf())) : file);
    ScriviPdfTableau(tableau, destinazione, formato);
    return destinazione;
}

}  // namespace tableau::print
