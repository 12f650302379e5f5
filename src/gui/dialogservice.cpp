#include "gui/dialogservice.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

namespace quoteria {

namespace {
StandardDialogs g_standard;
DialogService* g_service = nullptr;
} // namespace

QString StandardDialogs::openFile(QWidget* parent, const QString& caption, const QString& folder,
                                  const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString StandardDialogs::saveFile(QWidget* parent, const QString& caption, const QString& folder,
                                  const QString& filter) {
    return QFileDialog::getSaveFileName(parent, caption, folder, filter);
}

QColor StandardDialogs::color(QWidget* parent, const QColor& initial) {
    return QColorDialog::getColor(initial, parent);
}

bool StandardDialogs::font(QWidget* parent, QFont& font) {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, parent);
    if (ok)
        font = chosen;
    return ok;
}

bool StandardDialogs::print(QWidget* parent, QTextDocument* document) {
    QPrinter printer;
    QPrintDialog dlg(&printer, parent);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    document->print(&printer);
    return true;
}

QString DialogRecorder::openFile(QWidget*, const QString& caption, const QString&, const QString&) {
    asked << caption;
    return files.isEmpty() ? QString() : files.takeFirst();
}

QString DialogRecorder::saveFile(QWidget*, const QString& caption, const QString&, const QString&) {
    asked << caption;
    return files.isEmpty() ? QString() : files.takeFirst();
}

QColor DialogRecorder::color(QWidget*, const QColor&) {
    asked << QStringLiteral("color");
    return colors.isEmpty() ? QColor() : colors.takeFirst();
}

bool DialogRecorder::font(QWidget*, QFont& font) {
    asked << QStringLiteral("font");
    if (fonts.isEmpty())
        return false;
    font = fonts.takeFirst();
    return true;
}

bool DialogRecorder::print(QWidget*, QTextDocument*) {
    asked << QStringLiteral("print");
    if (acceptPrint)
        ++printed;
    return acceptPrint;
}

DialogService& dialogs() {
    return g_service ? *g_service : g_standard;
}

void setDialogService(DialogService* service) {
    g_service = service;
}

} // namespace quoteria
