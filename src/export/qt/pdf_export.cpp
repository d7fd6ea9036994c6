#include "export/qt/pdf_export.h"

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
#include <functional>
#include <vector>

#include "export/day_figures.h"
#include "export/errors.h"
#include "export/state_fills.h"
#include "routines/atomic_file.h"
#include "routines/codepage.h"
#include "routines/errors.h"

namespace tableau::exports {
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
constexpr std::size_t kRigheConteggi = kRigheFigureGiorno;
constexpr double kBandaPartenza = 4.0;  // a departure's band on a day with another stay
constexpr double kRientro = 3.0;
constexpr double kCorpoCella = 8.0;
constexpr double kCorpoMinimo = 5.0;

const QColor kGrigioIntestazione(0xEE, 0xEE, 0xEE);

QString Testo(std::string_view cp1252) {
    return QString::fromStdString(routines::InUtf8(cp1252));
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

// A block's pages: its rooms, its totals and, from the hotel tables, its day's figures.
struct Sezione {
    const chart::TableauLetto* tableau;
    QString titolo;  // over the block's pages: "Tableau: Primo piano"
    std::vector<Pagina> pagine;
};

double AltezzaTotali(const chart::TableauLetto& tableau) {
    return static_cast<double>(3 + (tableau.conteggi ? kRigheConteggi : 0)) * kRigaTotale;
}

class DisegnoPdf {
  public:
    DisegnoPdf(QPdfWriter& writer, const std::vector<Sezione>& sezioni)
        : writer_(writer),
          sezioni_(sezioni),
          famiglia_(FamigliaLiberation()),
          unita_(writer.width() / kLarghezzaPagina),
          altezza_(writer.height() / unita_),
          larghezzaGiorno_((kLarghezzaPagina - 2 * kMargine - kColonnaCamere) / kGiorniTableau),
          cella_(carattere(kCorpoCella, false)),
          cellaGrassetto_(carattere(kCorpoCella, true)),
          metricaCella_(cella_, &writer),
          metricaGrassetto_(cellaGrassetto_, &writer) {
        const double spazio =
            altezza_ - 2 * kMargine - kAltezzaTitolo - kAltezzaIntestazione - kAltezzaPiede;
        const auto perPagina =
            std::max<std::size_t>(1, static_cast<std::size_t>(spazio / kAltezzaCamera));
        for (Sezione& sezione : sezioni_) {
            const auto totaliDopo = static_cast<std::size_t>(
                std::max(0.0, (spazio - AltezzaTotali(*sezione.tableau)) / kAltezzaCamera));
            sezione.pagine = Impagina(sezione.tableau->camere.size(), perPagina, totaliDopo);
            totalePagine_ += sezione.pagine.size();
        }
    }

    int pagine() const { return static_cast<int>(totalePagine_); }

    void disegna(QPainter& painter) {
        std::size_t n = 0;
        for (const Sezione& sezione : sezioni_) {
            tableau_ = sezione.tableau;
            titoloSezione_ = sezione.titolo;
            for (const Pagina& pagina : sezione.pagine) {
                if (n > 0) {
                    writer_.newPage();
                }
                disegnaPagina(painter, pagina, n++);
            }
        }
    }

  private:
    // Points of the A4 layout to device units.
    double p(double punti) const { return punti * unita_; }
    QPointF p(double x, double y) const { return {p(x), p(y)}; }
    QRectF p(double x, double y, double larghezza, double altezza) const {
        return {p(x), p(y), p(larghezza), p(altezza)};
    }

    QFont carattere(double corpo, bool grassetto) const {
        QFont font(famiglia_);
        // Point sizes follow the page, so that an A3 page is the A4 page enlarged.
        font.setPointSizeF(corpo * unita_ * 72.0 / kRisoluzione);
        font.setBold(grassetto);
        return font;
    }

    double xGiorno(std::size_t g) const {
        return kMargine + kColonnaCamere + larghezzaGiorno_ * static_cast<double>(g);
    }

    // A text on one line of the given box, vertically centred; made smaller when wider than
    // the box, down to the smallest size; a text still wider is wrapped on two or more lines
    // of the box, smaller again, and never cut.
    void scrivi(QPainter& painter, const QString& testo, const QRectF& riquadro, const QFont& font,
                const QFontMetricsF& metrica, Qt::Alignment allineamento = Qt::AlignLeft) {
        if (testo.isEmpty()) {
            return;
        }
        const QRectF dentro = riquadro.adjusted(p(kRientro), 0, -p(kRientro), 0);
        const double larghezza = metrica.horizontalAdvance(testo);
        if (larghezza <= dentro.width()) {
            scriviA(painter, testo, dentro, font, metrica, larghezza, allineamento);
            return;
        }
        const double minimo = font.pointSizeF() * kCorpoMinimo / kCorpoCella;
        const double corpo = font.pointSizeF() * dentro.width() / larghezza * 0.98;
        if (corpo >= minimo) {
            QFont ridotto = font;
            ridotto.setPointSizeF(corpo);
            const QFontMetricsF metricaRidotta(ridotto, &writer_);
            scriviA(painter, testo, dentro, ridotto, metricaRidotta,
                    metricaRidotta.horizontalAdvance(testo), allineamento);
            return;
        }
        for (int righe = 2;; ++righe) {
            // As large as `righe` lines fit the box's height, and no larger than the
            // smallest single-line size.
            QFont ridotto = font;
            ridotto.setPointSizeF(
                std::min(minimo, font.pointSizeF() * dentro.height() / (righe * metrica.height())));
            const QFontMetricsF metricaRidotta(ridotto, &writer_);
            const QStringList divise = aCapo(testo, metricaRidotta, dentro.width());
            if (divise.size() > righe && righe < 12) {
                continue;
            }
            const double altezzaRiga = dentro.height() / static_cast<double>(divise.size());
            for (qsizetype r = 0; r < divise.size(); ++r) {
                const QRectF riga(dentro.left(),
                                  dentro.top() + altezzaRiga * static_cast<double>(r),
                                  dentro.width(), altezzaRiga);
                scriviA(painter, divise[r], riga, ridotto, metricaRidotta,
                        metricaRidotta.horizontalAdvance(divise[r]), allineamento);
            }
            return;
        }
    }

    // The text's lines within the width: whole words where they fit, a word wider than the
    // width broken between its characters.
    static QStringList aCapo(const QString& testo, const QFontMetricsF& metrica, double larghezza) {
        QStringList righe;
        QString riga;
        const auto aggiungi = [&](const QString& parola) {
            const QString prova = riga.isEmpty() ? parola : riga + QLatin1Char(' ') + parola;
            if (metrica.horizontalAdvance(prova) <= larghezza) {
                riga = prova;
                return;
            }
            if (!riga.isEmpty()) {
                righe.push_back(riga);
                riga.clear();
            }
            for (const QChar c : parola) {
                if (!riga.isEmpty() && metrica.horizontalAdvance(riga + c) > larghezza) {
                    righe.push_back(riga);
                    riga.clear();
                }
                riga += c;
            }
        };
        for (const QString& parola : testo.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            aggiungi(parola);
        }
        if (!riga.isEmpty()) {
            righe.push_back(riga);
        }
        return righe;
    }

    void scriviA(QPainter& painter, const QString& testo, const QRectF& dentro, const QFont& font,
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

    void scrivi(QPainter& painter, const QString& testo, const QRectF& riquadro, const QFont& font,
                Qt::Alignment allineamento = Qt::AlignLeft) {
        scrivi(painter, testo, riquadro, font, QFontMetricsF(font, &writer_), allineamento);
    }

    void disegnaPagina(QPainter& painter, const Pagina& pagina, std::size_t n) {
        disegnaTitolo(painter);
        double y = kMargine + kAltezzaTitolo;
        disegnaIntestazione(painter, y);
        const double inizioGriglia = y;
        y += kAltezzaIntestazione;
        std::vector<double> divisioni;
        for (std::size_t c = pagina.prima; c < pagina.fine; ++c) {
            disegnaCamera(painter, tableau_->camere[c], y);
            y += kAltezzaCamera;
            divisioni.push_back(y);
        }
        double inizioTotali = -1;
        if (pagina.totali) {
            inizioTotali = y;
            disegnaTotali(painter, y);
            y += AltezzaTotali(*tableau_);
        }
        disegnaGriglia(painter, inizioGriglia, y, divisioni, inizioTotali);
        disegnaPiede(painter, n);
    }

    void disegnaTitolo(QPainter& painter) {
        const double larghezza = kLarghezzaPagina - 2 * kMargine;
        const QString hotel =
            tableau_->hotel.empty() ? QStringLiteral("Tableau") : Testo(tableau_->hotel);
        scrivi(painter, hotel, p(kMargine - kRientro, kMargine, larghezza, 18),
               carattere(14, true));
        if (!tableau_->generazione.empty()) {
            scrivi(painter, QStringLiteral("Creato il ") + Testo(tableau_->generazione),
                   p(kMargine, kMargine, larghezza + kRientro, 18), carattere(8, false),
                   Qt::AlignRight);
        }
        QString sottotitolo = titoloSezione_;
        if (!sottotitolo.isEmpty()) {
            sottotitolo += QStringLiteral("    ");
        }
        sottotitolo += QStringLiteral("Settimana dal ") +
                       Testo(tableau_->giorni.front().testoData) + QStringLiteral(" al ") +
                       Testo(tableau_->giorni.back().testoData);
        scrivi(painter, sottotitolo, p(kMargine - kRientro, kMargine + 18, larghezza, 14),
               carattere(10, false));
    }

    void disegnaIntestazione(QPainter& painter, double y) {
        painter.fillRect(p(kMargine, y, kLarghezzaPagina - 2 * kMargine, kAltezzaIntestazione),
                         kGrigioIntestazione);
        const QFont grassetto = carattere(9, true);
        scrivi(painter, QStringLiteral("Camera"),
               p(kMargine, y, kColonnaCamere, kAltezzaIntestazione), grassetto);
        const double riga = kAltezzaIntestazione / 2;
        for (std::size_t g = 0; g < kGiorniTableau; ++g) {
            const chart::GiornoIntestazione& giorno = tableau_->giorni[g];
            scrivi(painter, Testo(giorno.nome), p(xGiorno(g), y + 1, larghezzaGiorno_, riga),
                   grassetto);
            scrivi(painter, Testo(giorno.testoData),
                   p(xGiorno(g), y + riga - 1, larghezzaGiorno_, riga), cella_, metricaCella_);
        }
    }

    void disegnaCamera(QPainter& painter, const chart::CameraLetta& camera, double y) {
        const double alto = y + 2;
        for (std::size_t g = 0; g < kGiorniTableau; ++g) {
            const chart::GiornoLetto& giorno = camera.giorni[g];
            if (const auto colore = ColoreStato(giorno.stato)) {
                painter.fillRect(p(xGiorno(g), y, larghezzaGiorno_, kAltezzaCamera),
                                 QColor(QRgb(*colore)));
                if (giorno.partenza) {
                    painter.fillRect(p(xGiorno(g), y, kBandaPartenza, kAltezzaCamera),
                                     QColor(QRgb(kColorePartenza)));
                }
            } else if (giorno.partenza) {
                painter.fillRect(p(xGiorno(g), y, larghezzaGiorno_, kAltezzaCamera),
                                 QColor(QRgb(kColorePartenza)));
            }
        }
        scrivi(painter, Testo(camera.numero), p(kMargine, alto, kColonnaCamere, kRigaCella * 1.3),
               carattere(10, true));
        scrivi(painter, Testo(camera.tipo),
               p(kMargine, alto + kRigaCella * 1.3, kColonnaCamere, kRigaCella), cella_,
               metricaCella_);
        scrivi(painter, Posti(camera.posti),
               p(kMargine, alto + kRigaCella * 2.3, kColonnaCamere, kRigaCella), cella_,
               metricaCella_);
        for (std::size_t g = 0; g < kGiorniTableau; ++g) {
            const chart::GiornoLetto& giorno = camera.giorni[g];
            const double x = xGiorno(g);
            scrivi(painter, Testo(PrimaRigaCella(giorno)), p(x, alto, larghezzaGiorno_, kRigaCella),
                   cella_, metricaCella_);
            scrivi(painter, Testo(giorno.nome),
                   p(x, alto + kRigaCella, larghezzaGiorno_, kRigaCella), cellaGrassetto_,
                   metricaGrassetto_);
            scrivi(painter, Testo(giorno.ditta),
                   p(x, alto + 2 * kRigaCella, larghezzaGiorno_, kRigaCella), cella_,
                   metricaCella_);
            scrivi(painter, Testo(chart::CodiceENota(giorno)),
                   p(x, alto + 3 * kRigaCella, larghezzaGiorno_, kRigaCella), cella_,
                   metricaCella_);
        }
    }

    void disegnaTotali(QPainter& painter, double y) {
        const QFont grassetto = carattere(9, true);
        const QFontMetricsF metrica(grassetto, &writer_);
        const std::array<std::pair<const char*, const std::array<long, kGiorniTableau>*>, 3>
            classi = {{{"CC", &tableau_->totaleCC},
                       {"MP", &tableau_->totaleMP},
                       {"PC", &tableau_->totalePC}}};
        for (const auto& [sigla, totali] : classi) {
            scrivi(painter, QLatin1String(sigla), p(kMargine, y, kColonnaCamere, kRigaTotale),
                   grassetto, metrica);
            for (std::size_t g = 0; g < kGiorniTableau; ++g) {
                scrivi(painter, QString::number((*totali)[g]),
                       p(xGiorno(g), y, larghezzaGiorno_, kRigaTotale), grassetto, metrica,
                       Qt::AlignHCenter);
            }
            y += kRigaTotale;
        }
        if (!tableau_->conteggi) {
            return;
        }
        // The day's figures under the totals: rooms (persons) arriving and departing, rooms
        // in use, free rooms, persons in the house.
        const QFont normale = carattere(8, false);
        const QFontMetricsF metricaNormale(normale, &writer_);
        for (const RigaFigureGiorno& riga : RigheFigureGiorno(*tableau_->conteggi)) {
            scrivi(
                painter,
                QLatin1String(riga.etichetta.data(), static_cast<qsizetype>(riga.etichetta.size())),
                p(kMargine, y, kColonnaCamere, kRigaTotale), normale, metricaNormale);
            for (std::size_t g = 0; g < kGiorniTableau; ++g) {
                scrivi(painter, QString::fromStdString(riga.valori[g]),
                       p(xGiorno(g), y, larghezzaGiorno_, kRigaTotale), normale, metricaNormale,
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
        QPen sottile(Qt::black, p(0.5));
        sottile.setCapStyle(Qt::FlatCap);
        QPen spessa(Qt::black, p(1.2));
        spessa.setCapStyle(Qt::SquareCap);
        painter.setPen(sottile);
        const double sottoIntestazione = alto + kAltezzaIntestazione;
        painter.drawLine(p(sinistra, sottoIntestazione), p(destra, sottoIntestazione));
        for (const double y : divisioni) {
            painter.drawLine(p(sinistra, y), p(destra, y));
        }
        for (std::size_t g = 0; g < kGiorniTableau; ++g) {
            painter.drawLine(p(xGiorno(g), alto), p(xGiorno(g), basso));
        }
        painter.setPen(spessa);
        if (inizioTotali >= 0) {
            painter.drawLine(p(sinistra, inizioTotali), p(destra, inizioTotali));
        }
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(p(sinistra, alto, destra - sinistra, basso - alto));
    }

    void disegnaPiede(QPainter& painter, std::size_t n) {
        const double y = altezza_ - kMargine - kAltezzaPiede + 6;
        const double alto = 14;
        const QFont piccolo = carattere(8, false);
        const QFontMetricsF metrica(piccolo, &writer_);
        double x = kMargine;
        scrivi(painter, QStringLiteral("Legenda:"), p(x - kRientro, y, 60, alto), piccolo, metrica);
        x += metrica.horizontalAdvance(QStringLiteral("Legenda:")) / unita_ + 8;
        const auto voce = [&](std::optional<std::uint32_t> colore, const QString& nome) {
            const QRectF campione = p(x, y + 3, 14, 8);
            painter.fillRect(campione, colore ? QColor(QRgb(*colore)) : QColor(Qt::white));
            painter.setPen(QPen(Qt::black, p(0.5)));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(campione);
            x += 16;
            scrivi(painter, nome, p(x - kRientro, y, 80, alto), piccolo, metrica);
            x += metrica.horizontalAdvance(nome) / unita_ + 12;
        };
        for (const chart::StatoSoggiorno stato : chart::kStatiSoggiorno) {
            voce(ColoreStato(stato), Testo(chart::NomeStato(stato)));
        }
        if (tableau_->conteggi) {
            // Departures are known from the hotel tables only, never from a chart file.
            voce(kColorePartenza, QStringLiteral("partenza"));
        }
        voce(std::nullopt, QStringLiteral("libera"));
        const QString numero = QStringLiteral("Pagina %1 di %2").arg(n + 1).arg(totalePagine_);
        scrivi(painter, numero, p(kMargine, y, kLarghezzaPagina - 2 * kMargine + kRientro, alto),
               piccolo, metrica, Qt::AlignRight);
    }

    QPdfWriter& writer_;
    std::vector<Sezione> sezioni_;
    std::size_t totalePagine_ = 0;
    const chart::TableauLetto* tableau_ = nullptr;  // the section being drawn
    QString titoloSezione_;
    const QString famiglia_;
    const double unita_;    // device units to a point of the A4 layout
    const double altezza_;  // the page's height in points of the A4 layout
    const double larghezzaGiorno_;
    const QFont cella_;
    const QFont cellaGrassetto_;
    const QFontMetricsF metricaCella_;
    const QFontMetricsF metricaGrassetto_;
};

}  // namespace

int ScriviPdfTableau(const std::vector<const chart::TableauLetto*>& sezioni,
                     const chart::SettimanaAlbergo* settimana, const std::filesystem::path& file,
                     FormatoCarta formato) {
    std::vector<Sezione> pagine;
    for (const chart::TableauLetto* tableau : sezioni) {
        pagine.push_back({tableau,
                          tableau->descrizione.empty()
                              ? QString()
                              : QStringLiteral("Tableau: ") + Testo(tableau->descrizione),
                          {}});
    }
    // The whole hotel closes with its own totals and figures, the sums of the blocks'.
    chart::TableauLetto albergo;
    if (settimana != nullptr && sezioni.size() > 1) {
        albergo.hotel = sezioni.front()->hotel;
        albergo.generazione = sezioni.front()->generazione;
        albergo.dataInizio = sezioni.front()->dataInizio;
        albergo.giorni = sezioni.front()->giorni;
        albergo.totaleCC = settimana->totale.totaleCC;
        albergo.totaleMP = settimana->totale.totaleMP;
        albergo.totalePC = settimana->totale.totalePC;
        albergo.conteggi = settimana->totale.conteggi;
        pagine.push_back(
            {&albergo, QStringLiteral("Tutto l'albergo (%1 tableau)").arg(sezioni.size()), {}});
    }
    const chart::TableauLetto& primo = *sezioni.front();
    QBuffer documento;
    documento.open(QIODevice::WriteOnly);
    int numeroPagine = 0;
    {
        QPdfWriter writer(&documento);
        writer.setResolution(kRisoluzione);
        writer.setCreator(QStringLiteral("Tableau"));
        writer.setTitle(
            QStringLiteral("Tableau ") + Testo(primo.hotel) + QStringLiteral(" ") +
            (sezioni.size() > 1 ? QStringLiteral("tutto l'albergo") : Testo(primo.descrizione)) +
            QStringLiteral(" dal ") + Testo(primo.giorni.front().testoData));
        writer.setPageLayout(
            QPageLayout(QPageSize(formato == FormatoCarta::a3 ? QPageSize::A3 : QPageSize::A4),
                        QPageLayout::Landscape, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer)) {
            throw ErroreEsportazione("Impossibile preparare il PDF " + file.string());
        }
        DisegnoPdf disegno(writer, pagine);
        disegno.disegna(painter);
        numeroPagine = disegno.pagine();
        painter.end();
    }
    routines::AtomicFile uscita(file);
    uscita.write(std::string_view(documento.data().constData(),
                                  static_cast<std::size_t>(documento.data().size())));
    uscita.commit();
    return numeroPagine;
}

int ScriviPdfTableau(const chart::TableauLetto& tableau, const std::filesystem::path& file,
                     FormatoCarta formato) {
    return ScriviPdfTableau({&tableau}, nullptr, file, formato);
}

void ScriviPdf(const TableauDaEsportare& tableau, const std::filesystem::path& file,
               const OpzioniUscita& opzioni) {
    ScriviPdfTableau(tableau.sezioni(), tableau.settimana(), file, opzioni.carta);
}

}  // namespace tableau::exports
