#pragma once
// File, colour, font and print dialogs go through here so tests can answer them.
#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QVariant>

class QWidget;
class QTextDocument;

namespace quoteria {

class DialogService {
public:
    virtual ~DialogService() = default;
    // Empty when cancelled.
    virtual QString openFile(QWidget* parent, const QString& caption, const QString& folder,
                             const QString& filter) = 0;
    virtual QString saveFile(QWidget* parent, const QString& caption, const QString& folder,
                             const QString& filter) = 0;
    // Invalid when cancelled.
    virtual QColor color(QWidget* parent, const QColor& initial) = 0;
    // false when cancelled.
    virtual bool font(QWidget* parent, QFont& font) = 0;
    // Prints through the print dialog; false when cancelled.
    virtual bool print(QWidget* parent, QTextDocument* document) = 0;
};

// Real dialogs.
class StandardDialogs : public DialogService {
public:
    QString openFile(QWidget* parent, const QString& caption, const QString& folder,
                     const QString& filter) override;
    QString saveFile(QWidget* parent, const QString& caption, const QString& folder,
                     const QString& filter) override;
    QColor color(QWidget* parent, const QColor& initial) override;
    bool font(QWidget* parent, QFont& font) override;
    bool print(QWidget* parent, QTextDocument* document) override;
};

// For tests: answers from queues; an empty queue answers "cancelled".
class DialogRecorder : public DialogService {
public:
    QStringList files;
    QList<QColor> colors;
    QList<QFont> fonts;
    int printed = 0;
    bool acceptPrint = true;
    QStringList asked; // captions, in order

    QString openFile(QWidget*, const QString& caption, const QString&, const QString&) override;
    QString saveFile(QWidget*, const QString& caption, const QString&, const QString&) override;
    QColor color(QWidget*, const QColor&) override;
    bool font(QWidget*, QFont& font) override;
    bool print(QWidget*, QTextDocument*) override;
};

// The process-wide service: the real dialogs until another is installed.
DialogService& dialogs();
void setDialogService(DialogService* service);

} // namespace quoteria
