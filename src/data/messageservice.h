#pragma once
// Every operator message goes through here: it is logged to stderr and then
// shown by whichever presenter is installed (message boxes in the program,
// a recorder in tests, nothing in headless commands).
#include <QList>
#include <QString>
#include <QStringList>

namespace quoteria {

enum class MsgIcon { None, Information, Warning, Critical, Question };
enum class MsgAnswer { Ok, Yes, No, Cancel };

class MessageService {
public:
    virtual ~MessageService() = default;

    // A plain message box with an OK button.
    void show(const QString& text, MsgIcon icon = MsgIcon::None, const QString& title = QString());
    // A Yes/No question; returns Yes or No.
    MsgAnswer ask(const QString& text, const QString& title = QString(),
                  MsgIcon icon = MsgIcon::Question);
    // A Yes/No/Cancel question; returns Yes, No or Cancel.
    MsgAnswer askYesNoCancel(const QString& text, const QString& title = QString(),
                             MsgIcon icon = MsgIcon::Warning);

protected:
    virtual void present(const QString& text, MsgIcon icon, const QString& title) = 0;
    virtual MsgAnswer question(const QString& text, const QString& title, MsgIcon icon) = 0;
    // Presenters without a Cancel button answer Yes or No.
    virtual MsgAnswer questionWithCancel(const QString& text, const QString& title, MsgIcon icon) {
        return question(text, title, icon);
    }
};

// Logs only; questions are answered No so nothing destructive happens unasked.
class LogOnlyMessages : public MessageService {
protected:
    void present(const QString&, MsgIcon, const QString&) override {}
    MsgAnswer question(const QString&, const QString&, MsgIcon) override { return MsgAnswer::No; }
};

// For tests: keeps every message and answers questions from a queue (default No).
class MessageRecorder : public MessageService {
public:
    struct Entry {
        QString text;
        MsgIcon icon;
        QString title;
        bool question;
    };
    QList<Entry> entries;
    QList<MsgAnswer> answers;

    QStringList texts() const;
    QString last() const { return entries.isEmpty() ? QString() : entries.last().text; }
    void clear() { entries.clear(); }

protected:
    void present(const QString& text, MsgIcon icon, const QString& title) override;
    MsgAnswer question(const QString& text, const QString& title, MsgIcon icon) override;
    MsgAnswer questionWithCancel(const QString& text, const QString& title, MsgIcon icon) override;
};

// The process-wide service. Never null: a log-only service until one is installed.
MessageService& messages();
// Installs a service (not owned); nullptr restores the log-only one.
void setMessageService(MessageService* service);

// One line on stderr, the program's only log.
void logLine(const QString& line);

} // namespace quoteria
