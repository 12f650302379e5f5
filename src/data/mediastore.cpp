#include "data/mediastore.h"

#include "data/dataevents.h"

#include <QSqlRecord>
#include <QVariantMap>

namespace quoteria {

const QString MediaStore::Video::table = QStringLiteral("tblVideo");
const QString MediaStore::Video::key = QStringLiteral("vidAuto");
const QString MediaStore::Video::fileName = QStringLiteral("filename");
const QString MediaStore::Video::description = QStringLiteral("description");
const QString MediaStore::Video::active = QStringLiteral("active");
const QString MediaStore::Video::type = QStringLiteral("type");
const QString MediaStore::Video::fullScreen = QStringLiteral("fullscreen");

const QString MediaStore::kVideo = QStringLiteral("Video");
const QString MediaStore::kPicture = QStringLiteral("Picture");
const QString MediaStore::kFlash = QStringLiteral("Flash");

namespace {

using Video = MediaStore::Video;

MediaItem fromRecord(const QSqlRecord& r) {
    MediaItem m;
    m.key = r.value(Video::key).toLongLong();
    m.fileName = r.value(Video::fileName).toString();
    m.description = r.value(Video::description).toString();
    m.active = r.value(Video::active).toInt() == 1;
    m.type = r.value(Video::type).toString();
    m.fullScreen = r.value(Video::fullScreen).toInt() == 1;
    return m;
}

QVariantMap valuesOf(const MediaItem& m) {
    return {{Video::fileName, m.fileName},
            {Video::description, m.description},
            {Video::active, m.active ? 1 : 0},
            {Video::type, m.type},
            {Video::fullScreen, m.fullScreen ? 1 : 0}};
}

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

} // namespace

MediaStore::MediaStore(Connection& db, DataEvents* events, QObject* parent)
    : QObject(parent), m_db(db) {
    if (events)
        connect(this, &MediaStore::mediaChanged, events, &DataEvents::mediaChanged);
}

QVector<MediaItem> MediaStore::all(bool* ok) {
    QVector<MediaItem> out;
    // Types are told apart without letter case, as the media zone reads them.
    const QString sql = QStringLiteral("select * from %1 order by %2 collate nocase,%3 asc")
                            .arg(Video::table, Video::type, Video::key);
    for (const QSqlRecord& r : m_db.fetchAll(sql, {}, ok))
        out << fromRecord(r);
    return out;
}

QVector<MediaItem> MediaStore::active(const QString& type, bool* ok) {
    const QString sql =
        QStringLiteral("select * from %1 where %2=? and %3=? collate nocase order by %4 asc")
            .arg(Video::table, Video::active, Video::type, Video::key);
    QVector<MediaItem> out;
    for (const QSqlRecord& r : m_db.fetchAll(sql, {1, type}, ok))
        out << fromRecord(r);
    return out;
}

std::optional<MediaItem> MediaStore::load(qint64 key) {
    const auto r = m_db.fetchOne(
        QStringLiteral("select * from %1 where %2=?").arg(Video::table, Video::key), {key});
    if (!r)
        return std::nullopt;
    return fromRecord(*r);
}

qint64 MediaStore::add(const MediaItem& item,
                       const std::function<bool(MediaItem&, QString*)>& finish, QString* error) {
    Connection::Transaction t(m_db);
    if (!t.active()) {
        setError(error, m_db.lastError());
        return -1;
    }
    MediaItem m = item;
    m.key = m_db.insert(Video::table, valuesOf(m));
    if (m.key <= 0) {
        setError(error, m.key < 0 ? m_db.lastError() : QStringLiteral("The new item has no key."));
        return -1;
    }
    if (finish) {
        const qint64 key = m.key;
        if (!finish(m, error))
            return -1;
        m.key = key;
        if (!m_db.update(Video::table, Video::key, key, valuesOf(m))) {
            setError(error, m_db.lastError());
            return -1;
        }
    }
    if (!t.commit()) {
        setError(error, m_db.lastError());
        return -1;
    }
    Q_EMIT mediaChanged();
    return m.key;
}

bool MediaStore::update(const MediaItem& item, QString* error) {
    // An update of an item deleted meanwhile would write nothing and look saved.
    if (!m_db.fetchOne(QStringLiteral("select %2 from %1 where %2=?").arg(Video::table, Video::key),
                       {item.key})) {
        setError(error, QStringLiteral("This item has been deleted meanwhile; nothing was saved."));
        return false;
    }
    if (!m_db.update(Video::table, Video::key, item.key, valuesOf(item))) {
        setError(error, m_db.lastError());
        return false;
    }
    Q_EMIT mediaChanged();
    return true;
}

bool MediaStore::remove(qint64 key) {
    if (!m_db.removeWhere(Video::table, Video::key, key))
        return false;
    Q_EMIT mediaChanged();
    return true;
}

} // namespace quoteria
