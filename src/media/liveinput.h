#pragma once
// The media zone's live input: a capture device's picture in the zone. Without
// the device the zone stays empty and one warning says why.
#include <QCameraDevice>
#include <QObject>
#include <QPointer>

class QCamera;
class QMediaCaptureSession;
class QVideoSink;
class QWidget;

namespace quoteria {

class VideoSurface;

class LiveInput : public QObject {
    Q_OBJECT
public:
    // source: the index into the machine's capture devices chosen in the settings.
    LiveInput(int source, QWidget* host, QObject* parent = nullptr);
    ~LiveInput() override;

    // The device at source; null when there is none there.
    static QCameraDevice deviceAt(int source);

    // Null unless a device was found and has not failed since.
    VideoSurface* surface() const;
    QCamera* camera() const { return m_camera; }

private:
    void start(const QCameraDevice& device, QWidget* host);
    void fail(const QString& why);

    QCamera* m_camera = nullptr;
    QMediaCaptureSession* m_session = nullptr;
    QVideoSink* m_sink = nullptr;
    QPointer<VideoSurface> m_surface; // the host's child
    bool m_failed = false;
};

} // namespace quoteria
