#include "design/themearchive.h"

#include "data/boundedzip.h"
#include "data/database.h"
#include "data/helpers.h"
#include "data/messageservice.h"

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>
#include <QTemporaryDir>
#include <memory>

namespace quoteria {

const ThemeArchive::PictureColumn ThemeArchive::kPictureColumns[6] = {
    {ThemeRows::Theme, "logo"}, {ThemeRows::Theme, "BGimage"}, {ThemeRows::Theme, "img1"},
    {ThemeRows::Theme, "img2"}, {ThemeRows::Theme, "NBGimg"},  {ThemeRows::Ticker, "bullet"},
};

namespace {

constexpr const char* kFormat = "quoteria-theme";
const char* const kPartNames[ThemeRows::PartCount] = {"theme", "layout", "header", "ticker"};

// Bounds against archives built to exhaust memory: a theme needs far less.
constexpr int kMaxEntries = 16;
constexpr qint64 kMaxDocument = 1 << 20;
constexpr qint64 kMaxPicture = 32 << 20;
constexpr qint64 kMaxTotal = 96 << 20;
constexpr int kMaxSide = 16384;
constexpr qint64 kMaxPixels = 50000000;
constexpr int kMaxEntryName = 128;

// A name that stays inside the folder it is extracted to, on any system.
bool plainName(const QString& name) {
    if (name.isEmpty() || name.size() > kMaxEntryName || name.startsWith(QLatin1Char('.')))
        return false;
    for (const QChar c : name)
        if (c.unicode() < 0x20 || c == QLatin1Char('/') || c == QLatin1Char('\\') ||
            c == QLatin1Char(':') || c.unicode() == 0x7f)
            return false;
    return true;
}

QJsonValue toJson(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return QJsonValue(QJsonValue::Null);
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return QJsonValue(v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return QJsonValue(v.toDouble());
    default:
        return QJsonValue(v.toString());
    }
}

// A column's value; nothing when JSON gives a kind a column cannot hold.
std::optional<QVariant> fromJson(const QJsonValue& v) {
    switch (v.type()) {
    case QJsonValue::Null:
        return QVariant();
    case QJsonValue::String:
        return QVariant(v.toString());
    case QJsonValue::Double:
        return v.toVariant(); // whole numbers come back as integers
    default:
        return std::nullopt;
    }
}

class Reader {
public:
    explicit Reader(QIODevice* device) : m_zip(device) {}

    std::optional<ThemeArchive> run(QString* error) {
        ThemeArchive a;
        const bool ok = listEntries() && readDocument(&a.rows) && readPictures(&a);
        if (!ok) {
            if (error)
                *error = m_why;
            return std::nullopt;
        }
        return a;
    }

private:
    bool fault(const QString& why) {
        m_why = why;
        return false;
    }

    bool listEntries() {
        if (!m_zip.open(QuaZip::mdUnzip))
            return fault(QStringLiteral("it is not a zip file, or it is cut short"));
        const int count = m_zip.getEntriesCount();
        if (count < 1 || count > kMaxEntries)
            return fault(QStringLiteral("it holds %1 files, a theme has 1 to %2")
                             .arg(count)
                             .arg(kMaxEntries));
        const QList<QuaZipFileInfo64> infos = m_zip.getFileInfoList64();
        if (m_zip.getZipError() != UNZ_OK || infos.size() != count)
            return fault(QStringLiteral("its list of contents is damaged"));
        qint64 total = 0;
        for (const QuaZipFileInfo64& info : infos) {
            if (!plainName(info.name))
                return fault(QStringLiteral("it holds \"%1\", which is not a plain file name")
                                 .arg(info.name));
            if (m_sizes.contains(info.name))
                return fault(QStringLiteral("it holds \"%1\" twice").arg(info.name));
            const qint64 limit =
                info.name == QLatin1String(ThemeArchive::kDocument) ? kMaxDocument : kMaxPicture;
            total += qint64(info.uncompressedSize);
            if (!zipSizeFault(info, limit).isEmpty() || total > kMaxTotal)
                return fault(QStringLiteral("\"%1\" is too large").arg(info.name));
            m_sizes.insert(info.name, qint64(info.uncompressedSize));
        }
        return true;
    }

    std::optional<QByteArray> entry(const QString& name, qint64 limit) {
        if (!m_zip.setCurrentFile(name, QuaZip::csSensitive)) {
            fault(QStringLiteral("\"%1\" cannot be found in it").arg(name));
            return std::nullopt;
        }
        QString why;
        BoundedZipEntry reader(&m_zip, limit);
        std::optional<QByteArray> data;
        if (reader.open(&why))
            data = reader.readAll(&why);
        if (!data)
            fault(QStringLiteral("\"%1\" %2").arg(name, why));
        return data;
    }

    bool readDocument(ThemeRows* rows) {
        const QString doc = QLatin1String(ThemeArchive::kDocument);
        if (!m_sizes.contains(doc))
            return fault(QStringLiteral("it holds no %1").arg(doc));
        const auto data = entry(doc, kMaxDocument);
        if (!data)
            return false;
        QJsonParseError pe{};
        const QJsonDocument json = QJsonDocument::fromJson(*data, &pe);
        if (pe.error != QJsonParseError::NoError || !json.isObject())
            return fault(QStringLiteral("%1 is not a JSON object").arg(doc));
        const QJsonObject root = json.object();
        if (root.value(QLatin1String("format")).toString() != QLatin1String(kFormat))
            return fault(QStringLiteral("it is not a shared theme"));
        const QJsonValue version = root.value(QLatin1String("version"));
        if (!version.isDouble() || version.toDouble() != ThemeArchive::kVersion)
            return fault(QStringLiteral("its format version %1 is not known to this program")
                             .arg(version.toVariant().toString()));
        for (auto it = root.begin(); it != root.end(); ++it) {
            const QString key = it.key();
            if (key == QLatin1String("format") || key == QLatin1String("version"))
                continue;
            int p = 0;
            while (p < ThemeRows::PartCount && key != QLatin1String(kPartNames[p]))
                ++p;
            if (p == ThemeRows::PartCount)
                return fault(QStringLiteral("%1 has an unknown part \"%2\"").arg(doc, key));
            if (!it.value().isObject())
                return fault(QStringLiteral("its %1 part is not an object").arg(key));
            if (!readPart(ThemeRows::Part(p), it.value().toObject(), rows))
                return false;
        }
        if (!rows->part[ThemeRows::Theme])
            return fault(QStringLiteral("it holds no theme part"));
        const QVariant name = rows->part[ThemeRows::Theme]->value(QLatin1String(ThemeStore::kName));
        if (name.typeId() != QMetaType::QString || name.toString().trimmed().isEmpty())
            return fault(QStringLiteral("the theme has no name"));
        return true;
    }

    bool readPart(ThemeRows::Part part, const QJsonObject& object, ThemeRows* rows) {
        const QStringList known = ThemeStore::rowColumns(part);
        const QString partName = QLatin1String(kPartNames[part]);
        QVariantMap values;
        for (auto it = object.begin(); it != object.end(); ++it) {
            QString column;
            for (const QString& c : known)
                if (c.compare(it.key(), Qt::CaseInsensitive) == 0)
                    column = c;
            if (column.isEmpty())
                return fault(QStringLiteral("its %1 part has an unknown column \"%2\"")
                                 .arg(partName, it.key()));
            if (values.contains(column))
                return fault(
                    QStringLiteral("its %1 part names \"%2\" twice").arg(partName, column));
            const auto value = fromJson(it.value());
            if (!value)
                return fault(QStringLiteral("column \"%1\" of its %2 part holds no plain value")
                                 .arg(column, partName));
            values.insert(column, *value);
        }
        rows->part[part] = values;
        return true;
    }

    bool readPictures(ThemeArchive* a) {
        QSet<QString> used{QLatin1String(ThemeArchive::kDocument)};
        qint64 total = 0;
        for (const ThemeArchive::PictureColumn& pc : ThemeArchive::kPictureColumns) {
            auto& part = a->rows.part[pc.part];
            const QString column = QLatin1String(pc.column);
            if (!part || !part->contains(column))
                continue;
            const QVariant value = part->value(column);
            if (value.isNull() ||
                (value.typeId() == QMetaType::QString && value.toString().isEmpty()))
                continue;
            const QString name = value.toString();
            if (value.typeId() != QMetaType::QString || !m_sizes.contains(name) ||
                name == QLatin1String(ThemeArchive::kDocument))
                return fault(
                    QStringLiteral("picture \"%1\" of column %2 is not in it").arg(name, column));
            used.insert(name);
            if (a->pictures.contains(name))
                continue;
            const auto data = entry(name, kMaxPicture);
            if (!data)
                return false;
            total += data->size();
            if (total > kMaxTotal)
                return fault(QStringLiteral("its pictures are too large"));
            const QString why = ThemeArchive::pictureFault(*data);
            if (!why.isEmpty())
                return fault(QStringLiteral("picture \"%1\" %2").arg(name, why));
            a->pictures.insert(name, *data);
        }
        for (auto it = m_sizes.cbegin(); it != m_sizes.cend(); ++it)
            if (!used.contains(it.key()))
                return fault(
                    QStringLiteral("it holds \"%1\", which the theme does not use").arg(it.key()));
        return true;
    }

    QuaZip m_zip;
    QMap<QString, qint64> m_sizes; // entry name -> size the directory gives
    QString m_why;
};

} // namespace

QString ThemeArchive::pictureFault(const QByteArray& data, QByteArray* format) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead())
        return QStringLiteral("is not a picture");
    // Known once the content was looked at; forgotten again after the read.
    const QByteArray kind = reader.format();
    const QSize s = reader.size();
    if (s.isValid() && (s.width() > kMaxSide || s.height() > kMaxSide ||
                        qint64(s.width()) * s.height() > kMaxPixels))
        return QStringLiteral("is too large (%1 x %2 pixels)").arg(s.width()).arg(s.height());
    if (reader.read().isNull())
        return QStringLiteral("cannot be decoded (%1)").arg(reader.errorString());
    if (format)
        *format = kind;
    return QString();
}

std::optional<ThemeArchive> ThemeArchive::read(QIODevice* device, QString* error) {
    return Reader(device).run(error);
}

std::optional<ThemeArchive> ThemeArchive::read(const QString& file, QString* error) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return std::nullopt;
    }
    return read(&f, error);
}

bool ThemeArchive::write(const QString& file, QString* error) const {
    QJsonObject root;
    root.insert(QLatin1String("format"), QLatin1String(kFormat));
    root.insert(QLatin1String("version"), kVersion);
    for (int p = 0; p < ThemeRows::PartCount; ++p) {
        if (!rows.part[p])
            continue;
        QJsonObject values;
        for (auto it = rows.part[p]->cbegin(); it != rows.part[p]->cend(); ++it)
            values.insert(it.key(), toJson(it.value()));
        root.insert(QLatin1String(kPartNames[p]), values);
    }
    QMap<QString, QByteArray> entries = pictures;
    entries.insert(QLatin1String(kDocument), QJsonDocument(root).toJson());

    QSaveFile out(file);
    const auto fail = [&](const QString& why) {
        out.cancelWriting();
        if (error)
            *error = why;
        return false;
    };
    if (!out.open(QIODevice::WriteOnly))
        return fail(out.errorString());
    {
        QuaZip zip(&out);
        zip.setAutoClose(false); // the save file is committed below, not by the zip
        zip.setUtf8Enabled(true);
        if (!zip.open(QuaZip::mdCreate))
            return fail(out.errorString());
        for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
            QuaZipFile f(&zip);
            if (!f.open(QIODevice::WriteOnly, QuaZipNewInfo(it.key())) ||
                f.write(it.value()) != it.value().size())
                return fail(out.errorString());
            f.close();
            if (f.getZipError() != ZIP_OK)
                return fail(out.errorString());
        }
        zip.close();
        if (zip.getZipError() != ZIP_OK)
            return fail(out.errorString());
    }
    if (!out.commit()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}

namespace {

QByteArray readPictureFile(const QString& path, QString* why) {
    QFile f(path);
    if (!f.exists()) {
        *why = QStringLiteral("does not exist");
        return QByteArray();
    }
    if (!f.open(QIODevice::ReadOnly)) {
        *why = QStringLiteral("cannot be read (%1)").arg(f.errorString());
        return QByteArray();
    }
    const QByteArray data = f.read(kMaxPicture + 1);
    if (data.size() > kMaxPicture)
        *why = QStringLiteral("is larger than %1 MB").arg(kMaxPicture >> 20);
    return data;
}

} // namespace

bool exportTheme(Database& db, const QString& name, const QString& file, QStringList* leftOut) {
    if (leftOut)
        leftOut->clear();
    const qint64 key = themeKeyOf(db, name);
    ThemeStore themes(db, nullptr);
    const std::optional<ThemeRows> rows = key > 0 ? themes.loadRows(key) : std::nullopt;
    if (!rows) {
        messages().show(QStringLiteral("There is no theme named \"%1\".").arg(name),
                        MsgIcon::Warning);
        return false;
    }
    ThemeArchive archive;
    archive.rows = *rows;
    for (const ThemeArchive::PictureColumn& pc : ThemeArchive::kPictureColumns) {
        auto& part = archive.rows.part[pc.part];
        const QString column = QLatin1String(pc.column);
        if (!part)
            continue;
        // A path of this counter means nothing at the other one: the column names the
        // entry, or nothing when the picture stays behind.
        const QString path = part->value(column).toString();
        (*part)[column] = QString();
        if (path.trimmed().isEmpty())
            continue;
        QString why;
        QByteArray format;
        const QByteArray data = readPictureFile(path, &why);
        if (why.isEmpty())
            why = ThemeArchive::pictureFault(data, &format);
        if (!why.isEmpty()) {
            messages().show(QStringLiteral("The picture \"%1\" (%2) is left out: it %3.")
                                .arg(QDir::toNativeSeparators(path), column, why),
                            MsgIcon::Warning);
            if (leftOut)
                *leftOut << path;
            continue;
        }
        const QString entry = column + QLatin1Char('.') + QString::fromLatin1(format);
        archive.pictures.insert(entry, data);
        (*part)[column] = entry;
    }
    QString error;
    if (!archive.write(file, &error)) {
        messages().show(QStringLiteral("The theme \"%1\" could not be written to %2: %3")
                            .arg(name, QDir::toNativeSeparators(file), error),
                        MsgIcon::Critical);
        return false;
    }
    return true;
}

ImportedTheme importTheme(ThemeStore& themes, const QString& dataFolder, const QString& file) {
    const auto refuse = [&](const QString& why) {
        messages().show(QStringLiteral("%1 cannot be imported: %2. Nothing was changed.")
                            .arg(QDir::toNativeSeparators(file), why),
                        MsgIcon::Warning);
        return ImportedTheme();
    };
    QString error;
    std::optional<ThemeArchive> archive = ThemeArchive::read(file, &error);
    if (!archive)
        return refuse(error);

    // The pictures wait in a private folder beside their final place, so moving
    // them there is a rename on the same disk.
    const QDir data(dataFolder);
    std::unique_ptr<QTemporaryDir> staging;
    if (!archive->pictures.isEmpty()) {
        staging = std::make_unique<QTemporaryDir>(
            data.absoluteFilePath(QStringLiteral(".theme-import-XXXXXX")));
        if (!staging->isValid())
            return refuse(staging->errorString());
        for (auto it = archive->pictures.cbegin(); it != archive->pictures.cend(); ++it) {
            QFile out(staging->filePath(it.key()));
            if (!out.open(QIODevice::WriteOnly) || out.write(it.value()) != it.value().size())
                return refuse(out.errorString());
        }
    }

    const QString root = data.absoluteFilePath(QStringLiteral("themes"));
    bool madeRoot = false;
    QString placed;
    const auto place = [&](qint64 key, ThemeRows& rows, QString* why) {
        if (!staging)
            return true;
        madeRoot = !QFileInfo::exists(root);
        if (!QDir().mkpath(root)) {
            *why = QStringLiteral("the folder %1 cannot be made").arg(root);
            return false;
        }
        // Keys are never reused, so the folder is the theme's alone.
        QString target = QDir(root).filePath(QString::number(key));
        for (int n = 2; QFileInfo::exists(target); ++n)
            target = QDir(root).filePath(QStringLiteral("%1-%2").arg(key).arg(n));
        if (!QDir().rename(staging->path(), target)) {
            *why = QStringLiteral("the pictures cannot be moved to %1").arg(target);
            return false;
        }
        staging->setAutoRemove(false);
        placed = target;
        for (const ThemeArchive::PictureColumn& pc : ThemeArchive::kPictureColumns) {
            auto& part = rows.part[pc.part];
            const QString column = QLatin1String(pc.column);
            if (part && !part->value(column).toString().isEmpty())
                (*part)[column] = QDir(target).filePath(part->value(column).toString());
        }
        return true;
    };
    ImportedTheme result;
    result.key = themes.importRows(archive->rows, place, &result.name, &error);
    if (result.key <= 0) {
        if (!placed.isEmpty())
            QDir(placed).removeRecursively();
        if (madeRoot)
            QDir().rmdir(root);
        return refuse(error);
    }
    result.folder = placed;
    return result;
}

} // namespace quoteria
