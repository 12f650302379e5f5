#pragma once
// The rows behind the news windows: messages of the ticker (tblscroll) and the
// ticker settings of a theme (tblss).
#include "data/database.h" // callers hand in the local Database as a Connection

#include <QColor>
#include <QString>
#include <QVector>
#include <optional>

namespace quoteria {

// Colours are stored as Windows colour values: red in the low byte.
qint64 toWindowsColor(const QColor& c);
QColor fromWindowsColor(qint64 value);

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

class NewsStore {
public:
    explicit NewsStore(Connection& db) : m_db(db) {}

    // In key order.
    QVector<NewsMessage> all(bool* ok = nullptr);
    std::optional<NewsMessage> load(qint64 key);
    // Adds a row (key 0) or overwrites the row with the message's key. Returns
    // the row's key, -1 with error set on failure.
    qint64 save(const NewsMessage& m, QString* error = nullptr);
    bool remove(qint64 key);

private:
    Connection& m_db;
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

// The theme's row, if it has one.
std::optional<ScrollSettings> loadScrollSettings(Connection& db, qint64 themeKey);
// Overwrites the theme's row, or adds one when the theme has none yet.
bool saveScrollSettings(Connection& db, const ScrollSettings& s, QString* error = nullptr);

} // namespace quoteria
