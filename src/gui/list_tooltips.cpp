#include "gui/list_tooltips.h"

#include <QAbstractItemModel>
#include <QComboBox>

namespace tableau::gui {
namespace {

void SuggerimentoDallaVoce(QAbstractItemModel* modello, int riga, int colonna) {
    const QModelIndex voce = modello->index(riga, colonna);
    const QVariant testo = modello->data(voce, Qt::DisplayRole);
    if (modello->data(voce, Qt::ToolTipRole) != testo) {
        modello->setData(voce, testo, Qt::ToolTipRole);
    }
}

}  // namespace

void MostraVociIntere(QComboBox* elenco) {
    QAbstractItemModel* modello = elenco->model();
    const int colonna = elenco->modelColumn();
    QObject::connect(modello, &QAbstractItemModel::rowsInserted, elenco,
                     [modello, colonna](const QModelIndex&, int prima, int ultima) {
                         for (int riga = prima; riga <= ultima; ++riga) {
                             SuggerimentoDallaVoce(modello, riga, colonna);
                         }
                     });
    QObject::connect(
        modello, &QAbstractItemModel::dataChanged, elenco,
        [modello, colonna](const QModelIndex& da, const QModelIndex& a, const QList<int>& ruoli) {
            if (!ruoli.isEmpty() && !ruoli.contains(Qt::DisplayRole)) {
                return;
            }
            for (int riga = da.row(); riga <= a.row(); ++riga) {
                SuggerimentoDallaVoce(modello, riga, colonna);
            }
        });
    for (int riga = 0; riga < modello->rowCount(); ++riga) {
        SuggerimentoDallaVoce(modello, riga, colonna);
    }
    QObject::connect(elenco, &QComboBox::currentTextChanged, elenco,
                     [elenco](const QString& testo) { elenco->setToolTip(testo); });
    elenco->setToolTip(elenco->currentText());
}

}  // namespace tableau::gui
