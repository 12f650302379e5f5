#include "data/demomedia.h"

#include "data/connection.h"
#include "data/mediastore.h"
#include "data/messageservice.h"

#include <QDir>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>

namespace quoteria {

namespace {

// A poster of the counter: gradient, a headline and a line beneath.
QImage demoPicture(const QSize& size, const QColor& from, const QColor& to, const QString& headline,
                   const QString& line) {
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, size.width(), size.height());
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    p.fillRect(img.rect(), g);
    p.setPen(Qt::white);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setBold(true);
    f.setPixelSize(size.height() / 7);
    p.setFont(f);
    p.drawText(QRect(0, 0, size.width(), size.height() * 3 / 5), Qt::AlignCenter, headline);
    f.setBold(false);
    f.setPixelSize(size.height() / 14);
    p.setFont(f);
    p.drawText(QRect(0, size.height() / 2, size.width(), size.height() / 3), Qt::AlignCenter, line);
    return img;
}

qint64 addItem(Connection& db, const QString& path, const QString& type, const QString& text) {
    using V = MediaStore::Video;
    return db.insert(V::table, {{V::fileName, path},
                                {V::description, text},
                                {V::active, 1},
                                {V::type, type},
                                {V::fullScreen, 0}});
}

} // namespace

QImage demoVideoFrame(int frame, int frameCount, const QSize& size) {
    const double t = frameCount > 1 ? double(frame) / (frameCount - 1) : 0.0;
    const double w = size.width(), h = size.height();
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // A slowly turning sky of colour behind the counter's greeting.
    QLinearGradient g(0, 0, w, h);
    g.setColorAt(0, QColor::fromHsvF(std::fmod(0.58 + 0.2 * t, 1.0), 0.8, 0.55));
    g.setColorAt(1, QColor::fromHsvF(std::fmod(0.75 + 0.2 * t, 1.0), 0.8, 0.25));
    p.fillRect(img.rect(), g);
    // Coins rising across the picture.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 7; ++i) {
        const double x = w * (0.08 + 0.14 * i);
        const double y = h * (1.1 - std::fmod(t * 1.5 + i * 0.37, 1.2));
        const double r = h * (0.05 + 0.01 * (i % 3));
        p.setBrush(QColor(255, 200 + 8 * (i % 4), 60, 220));
        p.drawEllipse(QPointF(x, y), r, r);
    }
    QFont f(QStringLiteral("Liberation Sans"));
    f.setBold(true);
    f.setPixelSize(int(qMin(h / 6, w / 8)));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, w, h * 0.6), Qt::AlignCenter, QStringLiteral("BEST RATES"));
    f.setBold(false);
    f.setPixelSize(int(qMin(h / 12, w / 18)));
    p.setFont(f);
    p.drawText(QRectF(0, h * 0.5, w, h * 0.3), Qt::AlignCenter,
               QStringLiteral("No commission on cash"));
    return img;
}

bool writeDemoVideo(const QString& path, int frameCount, const QSize& size, int fps,
                    QString* error) {
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("gst-launch-1.0"));
    if (tool.isEmpty())
        return fail(QStringLiteral("gst-launch-1.0 is not installed"));
    QTemporaryDir frames;
    if (!frames.isValid())
        return fail(frames.errorString());
    for (int i = 0; i < frameCount; ++i)
        if (!demoVideoFrame(i, frameCount, size)
                 .save(frames.filePath(QStringLiteral("f%1.png").arg(i, 4, 10, QLatin1Char('0')))))
            return fail(QStringLiteral("cannot write the video's frames"));
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QStringList args = {
        QStringLiteral("-q"),
        QStringLiteral("multifilesrc"),
        QStringLiteral("location=") + frames.filePath(QStringLiteral("f%04d.png")),
        QStringLiteral("index=0"),
        QStringLiteral("stop-index=%1").arg(frameCount - 1),
        QStringLiteral("caps=image/png,framerate=%1/1").arg(fps),
        QStringLiteral("!"),
        QStringLiteral("pngdec"),
        QStringLiteral("!"),
        QStringLiteral("videoconvert"),
        QStringLiteral("!"),
        QStringLiteral("vp8enc"),
        QStringLiteral("deadline=1"),
        QStringLiteral("!"),
        QStringLiteral("webmmux"),
        QStringLiteral("!"),
        QStringLiteral("filesink"),
        QStringLiteral("location=") + path,
    };
    QProcess gst;
    gst.start(tool, args);
    if (!gst.waitForFinished(120000) || gst.exitStatus() != QProcess::NormalExit ||
        gst.exitCode() != 0)
        return fail(QStringLiteral("gst-launch-1.0 failed: %1")
                        .arg(QString::fromLocal8Bit(gst.readAllStandardError()).trimmed()));
    return QFileInfo(path).size() > 0 ? true : fail(QStringLiteral("the video came out empty"));
}

bool addDemoMedia(Connection& db, const QString& folder, bool* video) {
    *video = false;
    QDir().mkpath(folder);
    struct Poster {
        const char* file;
        QColor from, to;
        const char* headline;
        const char* line;
    };
    const Poster posters[] = {
        {"demo-welcome.png", QColor(20, 70, 140), QColor(10, 30, 70), "WELCOME",
         "Foreign exchange at the counter"},
        {"demo-transfer.png", QColor(20, 120, 80), QColor(10, 50, 40), "MONEY TRANSFER",
         "Worldwide, within minutes"},
        {"demo-gold.png", QColor(170, 120, 20), QColor(80, 50, 10), "GOLD BARS",
         "Ask at the counter"},
    };
    for (const Poster& p : posters) {
        const QString path = QDir(folder).filePath(QLatin1String(p.file));
        // A picture that cannot be written is left out; the board shows the rest.
        if (!demoPicture(QSize(800, 450), p.from, p.to, QLatin1String(p.headline),
                         QLatin1String(p.line))
                 .save(path))
            continue;
        if (addItem(db, path, MediaStore::kPicture, QLatin1String(p.headline)) < 0)
            return false;
    }
    const QString clip = QDir(folder).filePath(QStringLiteral("demo-rates.webm"));
    QString why;
    // About the shape of the demonstration theme's zone.
    if (!writeDemoVideo(clip, 150, QSize(480, 560), 25, &why)) {
        logLine(QStringLiteral("demo media: no video (%1)").arg(why));
        return true;
    }
    if (addItem(db, clip, MediaStore::kVideo, QStringLiteral("Best rates")) < 0)
        return false;
    *video = true;
    return true;
}

} // namespace quoteria
