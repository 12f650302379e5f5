#pragma once
// Files the player tests make: one-colour pictures and lists written by hand.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

namespace quoteria::test {

inline bool writeText(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && f.open(QIODevice::WriteOnly) &&
           f.write(bytes) == bytes.size();
}

// 40x30, so it fills an 80x60 zone exactly when scaled.
inline bool writePicture(const QString& path, QColor colour) {
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(colour);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && img.save(path);
}

} // namespace quoteria::test
