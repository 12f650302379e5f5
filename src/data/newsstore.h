#pragma once
// The rows behind the news windows: messages of the ticker (tblscroll) and the
// ticker settings of a theme (tblss). One store for the process; it announces
// every write it commits.
#include "data/database.h" // callers hand in the local Database as a Connection

#include <QObject>
#include <QString>
#include <QVector>
#include <optional>

namespace quoteria {

class DataEvents;

// The text the ticker shows: every ">", then every "<", then every "/" removed.
QString stripTickerText(const QString& text);

struct NewsMessage {
    qint64 key = 0;
    QString message; // plain text for the ticker
    QString rtf;
    QString html;
    bool active = true;
    QString fontName;
    QString fontSize;
    qint64 fontColor = 0;
    bool bold = false;
    bool italic = false;
    QString direction = QStringLiteral("Left");
};

// An active message as the ticker draws it; numbers are read leniently, so a
// hand-edited row still shows.
struct TickerMessage {
    QString text;
    QString fontName;
    double fontSize = 0;
    bool bold = false;
    bool italic = false;
    qint64 fontColor = 0; // Windows colour value
};

struct ScrollSettings {
    qint64 themeKey = 0;
    qint64 backColor = 0;
    qint64 gradColor = 0;
    bool gradient = false;
    QString speed;
    QString gradType;
    QString bullet;
    QString direction;
};

class NewsStore : public QObject {
    Q_OBJECT
public:
    // tblscroll as the schema spells it.
    struct Scroll {
        static const QString table, key, message, rtf, html, active, fontName, fontSize, fontColor,
            bold, italic, direction;
    };
    // tblss as the schema spells it.
    struct Ticker {
        static const QString table, themeKey, backColor, gradColor, gradient, speed, gradType,
            bullet, direction;
    };

    // events: also told of every write, for the listeners of DataEvents.
    explicit NewsStore(Connection& db, DataEvents* events = nullptr, QObject* parent = nullptr);

    // In key order.
    QVector<NewsMessage> all(bool* ok = nullptr);
    std::optional<NewsMessage> load(qint64 key);
    // The active messages running in direction ("Left" or "Right", any case), in
    // stored order.
    QVector<TickerMessage> activeMessages(const QString& direction, bool* ok = nullptr);
    // Adds a row (key 0) or overwrites the row with the message's key. Returns
    // the row's key, -1 with error set on failure.
    qint64 save(const NewsMessage& m, QString* error = nullptr);
    bool remove(qint64 key);

    // The theme's row, if it has one.
    std::optional<ScrollSettings> loadScrollSettings(qint64 themeKey);
    // Overwrites the theme's row, or adds one when the theme has none yet.
    bool saveScrollSettings(const ScrollSettings& s, QString* error = nullptr);

Q_SIGNALS:
    // tblscroll rows were written.
    void messagesChanged();
    // The theme's tblss row was written.
    void scrollSettingsChanged(qint64 themeKey);

private:
    Connection& m_db;
};

} // namespace quoteria
