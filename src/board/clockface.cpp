#include "board/clockface.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QtMath>

namespace quoteria {

ClockFace::ClockFace() = default;
ClockFace::~ClockFace() = default;

QString ClockFace::resolve(const QString& folder, const QString& clockfile) {
    if (clockfile.trimmed().isEmpty())
        return QString();
    const QString path = folder + QLatin1Char('/') + clockfile;
    const QFileInfo fi(path);
    if (fi.suffix().compare(QLatin1String("swf"), Qt::CaseInsensitive) == 0) {
        const QString svg =
            fi.path() + QLatin1Char('/') + fi.completeBaseName() + QLatin1String(".svg");
        return QFileInfo::exists(svg) ? svg : QString();
    }
    return fi.isFile() ? path : QString();
}

QString ClockFace::folderIn(const QString& appFolder) {
    return (appFolder.isEmpty() ? QCoreApplication::applicationDirPath() : appFolder) +
           QLatin1String("/files/clock");
}

bool ClockFace::load(const QString& path) {
    m_svg.reset();
    m_face = QImage();
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = f.readAll();
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement) {
            const auto a = xml.attributes();
            auto pick = [&](const char* name, QColor& c) {
                const QColor v(a.value(QLatin1String(name)).toString());
                if (v.isValid())
                    c = v;
            };
            pick("data-hands", m_hands);
            pick("data-second", m_second);
            pick("data-centre", m_centre);
            break;
        }
    }
    auto svg = std::make_unique<QSvgRenderer>(data);
    if (!svg->isValid())
        return false;
    m_svg = std::move(svg);
    return true;
}

bool ClockFace::isValid() const {
    return m_svg && m_svg->isValid();
}

void ClockFace::render(QImage& target, const QTime& time) {
    target.fill(Qt::transparent);
    if (!isValid() || target.isNull())
        return;
    const int side = qMin(target.width(), target.height());
    if (side <= 0)
        return;
    if (m_face.width() != side) {
        m_face = QImage(side, side, QImage::Format_ARGB32_Premultiplied);
        m_face.fill(Qt::transparent);
        QPainter fp(&m_face);
        fp.setRenderHint(QPainter::Antialiasing);
        m_svg->render(&fp, QRectF(0, 0, side, side));
    }
    const QPointF origin((target.width() - side) / 2.0, (target.height() - side) / 2.0);
    QPainter p(&target);
    p.drawImage(origin, m_face);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(origin.x() + side / 2.0, origin.y() + side / 2.0);
    const double r = side / 2.0;

    auto hand = [&](double angle, double length, double tail, double width, const QColor& c) {
        p.save();
        p.rotate(angle);
        QPainterPath path;
        path.moveTo(-width / 2, tail);
        path.lineTo(-width * 0.35, -length);
        path.lineTo(0, -length - width * 0.6);
        path.lineTo(width * 0.35, -length);
        path.lineTo(width / 2, tail);
        path.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 60));
        p.translate(r * 0.012, r * 0.018);
        p.drawPath(path);
        p.translate(-r * 0.012, -r * 0.018);
        p.setBrush(c);
        p.drawPath(path);
        p.restore();
    };
    const double s = time.second();
    const double m = time.minute() + s / 60.0;
    const double h = (time.hour() % 12) + m / 60.0;
    hand(h * 30.0, r * 0.50, r * 0.10, qMax(2.0, r * 0.075), m_hands);
    hand(m * 6.0, r * 0.74, r * 0.12, qMax(1.5, r * 0.05), m_hands);
    p.save();
    p.rotate(s * 6.0);
    p.setPen(QPen(m_second, qMax(1.0, r * 0.018), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, r * 0.2), QPointF(0, -r * 0.82));
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(m_centre);
    p.drawEllipse(QPointF(0, 0), r * 0.05, r * 0.05);
    p.setBrush(m_second);
    p.drawEllipse(QPointF(0, 0), r * 0.022, r * 0.022);
}

} // namespace quoteria
