#include "media/liveinput.h"

#include "media/mediaplayers.h"
#include "media/videoplayeroutput.h"

#include <QCamera>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QVideoSink>
#include <QWidget>

namespace quoteria {

LiveInput::LiveInput(int source, QWidget* host, QObject* parent) : QObject(parent) {
    const QCameraDevice device = deviceAt(source);
    if (device.isNull()) {
        fail(QStringLiteral("there is no capture device %1 (%2 found)")
                 .arg(source)
                 .arg(QMediaDevices::videoInputs().size()));
        return;
    }
    start(device, host);
}

LiveInput::~LiveInput() {
    if (m_camera)
        m_camera->stop();
    delete m_surface;
}

VideoSurface* LiveInput::surface() const {
    return m_surface;
}

QCameraDevice LiveInput::deviceAt(int source) {
    const QList<QCameraDevice> devices = QMediaDevices::videoInputs();
    return source >= 0 && source < devices.size() ? devices.at(source) : QCameraDevice();
}

void LiveInput::start(const QCameraDevice& device, QWidget* host) {
    m_camera = new QCamera(device, this);
    m_session = new QMediaCaptureSession(this);
    m_sink = new QVideoSink(this);
    m_session->setCamera(m_camera);
    m_session->setVideoSink(m_sink);
    m_surface = new VideoSurface(host);
    placeInHost(host, m_surface);
    m_surface->follow(m_sink);
    connect(m_camera, &QCamera::errorOccurred, this, [this](QCamera::Error error, const QString& text) {
        if (error != QCamera::NoError)
            fail(text);
    });
    m_camera->start();
}

void LiveInput::fail(const QString& why) {
    // A device that keeps failing must not fill the log.
    if (m_failed)
        return;
    m_failed = true;
    if (m_camera)
        m_camera->stop();
    delete m_surface;
    qWarning().noquote() << QStringLiteral("media zone: live input not shown: %1").arg(why);
}

} // namespace quoteria
