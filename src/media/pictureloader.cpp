#include "media/pictureloader.h"

#include <QFutureWatcher>
#include <QImageReader>
#include <QtConcurrent/QtConcurrentRun>

namespace quoteria {

PictureLoader::PictureLoader(Scale scale, double zoom, QObject* parent)
    : QObject(parent), m_scale(scale), m_zoom(qMax(1.0, zoom)) {}

// Watchers die with the loader, so a decode still running reports to no one.
PictureLoader::~PictureLoader() = default;

QImage PictureLoader::decode(const QString& file, const QSize& size, Scale scale, double zoom) {
    QImageReader reader(file);
    reader.setAutoTransform(true);
    const QSize source = reader.size();
    QSize target = size;
    if (scale == Scale::Cover)
        target = QSize(qCeil(size.width() * zoom), qCeil(size.height() * zoom));
    if (source.isValid()) {
        // Decoding straight at the shown size keeps large photographs cheap.
        QSize scaled = source.scaled(target, scale == Scale::Fit ? Qt::KeepAspectRatio
                                                                 : Qt::KeepAspectRatioByExpanding);
        reader.setScaledSize(scaled.expandedTo(QSize(1, 1)));
        return reader.read();
    }
    const QImage raw = reader.read();
    if (raw.isNull())
        return raw;
    return raw.scaled(target,
                      scale == Scale::Fit ? Qt::KeepAspectRatio : Qt::KeepAspectRatioByExpanding,
                      Qt::SmoothTransformation);
}

void PictureLoader::load(const QStringList& files, const QSize& size) {
    m_files = files;
    m_size = size;
    m_images = QVector<QImage>(m_files.size());
    start();
}

void PictureLoader::resize(const QSize& size) {
    if (size == m_size)
        return;
    m_size = size;
    start();
}

void PictureLoader::start() {
    // After a resize the pictures of the old size stay until their new ones come,
    // so the zone never goes dark meanwhile.
    ++m_round;
    m_pending = 0;
    if (m_size.isEmpty())
        return;
    const int round = m_round;
    for (int i = 0; i < m_files.size(); ++i) {
        auto* watcher = new QFutureWatcher<QImage>(this);
        connect(watcher, &QFutureWatcher<QImage>::finished, this, [this, watcher, round, i] {
            watcher->deleteLater();
            if (round != m_round)
                return;
            --m_pending;
            const QImage img = watcher->result();
            if (!img.isNull() || m_images[i].isNull())
                m_images[i] = img;
            Q_EMIT decoded(i, !img.isNull());
        });
        ++m_pending;
        watcher->setFuture(QtConcurrent::run(&PictureLoader::decode, m_files[i], m_size, m_scale,
                                             m_zoom));
    }
}

} // namespace quoteria
