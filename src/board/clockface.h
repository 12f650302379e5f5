#pragma once
// An analogue clock: an SVG face from files/clock/ with hands drawn by the program.
// The face may name its hand colours in the root element's data-hands,
// data-second and data-centre attributes.
#include <QColor>
#include <QImage>
#include <QString>
#include <QTime>
#include <memory>

class QSvgRenderer;

namespace quoteria {

class ClockFace {
public:
    ClockFace();
    ~ClockFace();
    // False when the file is missing or is not an SVG picture.
    bool load(const QString& path);
    bool isValid() const;
    // Draws face and hands into target (its whole area; the face is centred square).
    // The face itself is rasterised once per size.
    void render(QImage& target, const QTime& time);

    // The face for a theme's clockfile in folder: the file itself, or for a Flash
    // movie (.swf) the SVG of the same base name; empty when there is none.
    static QString resolve(const QString& folder, const QString& clockfile);
    // The folder of the shipped faces for the program in appFolder (empty: this one).
    static QString folderIn(const QString& appFolder);

private:
    std::unique_ptr<QSvgRenderer> m_svg;
    QImage m_face;
    QColor m_hands{0x20, 0x20, 0x20};
    QColor m_second{0xc0, 0x10, 0x10};
    QColor m_centre{0x20, 0x20, 0x20};
};

} // namespace quoteria
