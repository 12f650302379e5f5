#pragma once
// Pictures of a slideshow decoded off the window thread, each scaled once for the
// size it is shown at. A new list or a new size starts over; results of an earlier
// round that arrive late are dropped.
#include <QImage>
#include <QObject>
#include <QSize>
#include <QStringList>
#include <QVector>

namespace quoteria {

class PictureLoader : public QObject {
    Q_OBJECT
public:
    // Fit: the whole picture inside the size. Cover: the size filled, times zoom,
    // so a pan and zoom never shows an edge.
    enum class Scale { Fit, Cover };

    explicit PictureLoader(Scale scale, double zoom = 1.0, QObject* parent = nullptr);
    ~PictureLoader() override;

    // Decodes every file for size (nothing for an empty size).
    void load(const QStringList& files, const QSize& size);
    // The same files for another size; nothing is done for the same size.
    void resize(const QSize& size);

    // The decoded picture (of the previous size while a resize decodes); null
    // while decoding or when it could not be read.
    QImage image(int index) const { return m_images.value(index); }
    int count() const { return m_files.size(); }
    // Decodes still to come in this round.
    int pending() const { return m_pending; }

    // One picture, read and scaled in the calling thread.
    static QImage decode(const QString& file, const QSize& size, Scale scale, double zoom);

Q_SIGNALS:
    // A picture of the current round is done: ok false when it cannot be read.
    void decoded(int index, bool ok);

private:
    void start();

    Scale m_scale;
    double m_zoom;
    QStringList m_files;
    QSize m_size;
    QVector<QImage> m_images;
    int m_round = 0;
    int m_pending = 0;
};

} // namespace quoteria
