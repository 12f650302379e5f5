#pragma once
// Reading zip archives that come from outside without letting them exhaust memory
// or time: the sizes the directory declares are checked before anything is
// inflated, and an entry is read no further than its limit whatever it declares.
#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

class QuaZip;
class QuaZipFile;
struct QuaZipFileInfo64;

namespace quoteria {

// Empty when the entry declares at most `limit` bytes and, when maxRatio > 0, inflates
// to at most maxRatio times its compressed size; else why not, as "is ...".
QString zipSizeFault(const QuaZipFileInfo64& info, qint64 limit, qint64 maxRatio = 0);

// The zip's current entry, read in chunks, never more than limit bytes in all.
class BoundedZipEntry {
public:
    BoundedZipEntry(QuaZip* zip, qint64 limit);
    ~BoundedZipEntry();

    bool open(QString* why);
    // The next chunk into *chunk, empty at the end of the entry. False, with *why
    // ("is damaged", "is larger than N MB"), when the entry cannot be read on.
    bool next(QByteArray* chunk, QString* why);
    // The whole entry.
    std::optional<QByteArray> readAll(QString* why);

private:
    std::unique_ptr<QuaZipFile> m_file;
    qint64 m_limit;
    qint64 m_read = 0;
};

} // namespace quoteria
