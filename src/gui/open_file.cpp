#include "gui/open_file.h"

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace tableau::gui {
namespace {

// Whether the desktop names a program for the file's kind; true when it cannot be asked.
bool ProgrammaAssociato(const QString& percorso) {
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty()) {
        return true;
    }
    const QString tipo = QMimeDatabase().mimeTypeForFile(percorso).name();
    QProcess domanda;
    domanda.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), tipo});
    if (!domanda.waitForFinished(3000)) {
        domanda.kill();
        domanda.waitForFinished();
        return true;
    }
    return !domanda.readAllStandardOutput().trimmed().isEmpty();
}

}  // namespace

bool ApriConProgramma(const std::filesystem::path& file) {
    const QString percorso = QString::fromStdString(file.string());
    return ProgrammaAssociato(percorso) && QDesktopServices::openUrl(QUrl::fromLocalFile(percorso));
}

}  // namespace tableau::gui
