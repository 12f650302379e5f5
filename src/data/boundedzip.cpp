#include "data/boundedzip.h"

#include <quazip.h>
#include <quazipfile.h>
#include <quazipfileinfo.h>

namespace quoteria {

namespace {
QString megabytes(qint64 bytes) {
    return QStringLiteral("%1 MB").arg(bytes >> 20);
}
} // namespace

QString zipSizeFault(const QuaZipFileInfo64& info, qint64 limit, qint64 maxRatio) {
    const qint64 size = qint64(info.uncompressedSize);
    if (size > limit)
        return QStringLiteral("is larger than %1").arg(megabytes(limit));
    // A tiny entry may compress far, but nothing of use compresses thousandfold.
    if (maxRatio > 0 && size > (1 << 20) &&
        size / qMax<qint64>(1, qint64(info.compressedSize)) > maxRatio)
        return QStringLiteral("is compressed beyond %1 to 1").arg(maxRatio);
    return QString();
}

BoundedZipEntry::BoundedZipEntry(QuaZip* zip, qint64 limit)
    : m_file(std::make_unique<QuaZipFile>(zip)), m_limit(limit) {}

BoundedZipEntry::~BoundedZipEntry() = default;

bool BoundedZipEntry::open(QString* why) {
    m_read = 0;
    if (m_file->open(QIODevice::ReadOnly))
        return true;
    *why = QStringLiteral("cannot be read");
    return false;
}

bool BoundedZipEntry::next(QByteArray* chunk, QString* why) {
    chunk->resize(65536);
    const qint64 n = m_file->read(chunk->data(), chunk->size());
    if (n < 0) {
        *why = QStringLiteral("is damaged");
        return false;
    }
    chunk->resize(int(n));
    m_read += n;
    if (m_read > m_limit) {
        *why = QStringLiteral("is larger than %1").arg(megabytes(m_limit));
        return false;
    }
    if (n == 0) {
        // The end: the checksum is only known now.
        m_file->close();
        if (m_file->getZipError() != UNZ_OK) {
            *why = QStringLiteral("is damaged");
            return false;
        }
    }
    return true;
}

std::optional<QByteArray> BoundedZipEntry::readAll(QString* why) {
    QByteArray out;
    QByteArray chunk;
    for (;;) {
        if (!next(&chunk, why))
            return std::nullopt;
        if (chunk.isEmpty())
            return out;
        out.append(chunk);
    }
}

} // namespace quoteria
