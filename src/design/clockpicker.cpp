#include "design/clockpicker.h"

#include "data/appcontext.h"
#include "gui/named.h"

#include <QDir>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

namespace quoteria {

namespace {
constexpr int kPreviewSide = 160;
// Often enough that the second hand never visibly skips.
constexpr int kTickMs = 250;
} // namespace

ClockPicker::ClockPicker(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(ctx) {
    setObjectName(QStringLiteral("frmclklst"));
    setWindowTitle(QStringLiteral(" Select Clock"));

    m_files = named(new QListWidget(this), "File1");
    m_preview = named(new QLabel(this), "clkPreview");
    m_preview->setFixedSize(kPreviewSide, kPreviewSide);
    m_preview->setAlignment(Qt::AlignCenter);
    auto* ok = named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
    m_timer = named(new QTimer(this), "clockTimer");
    m_timer->setInterval(kTickMs);

    auto* top = new QHBoxLayout;
    top->addWidget(m_files, 1);
    top->addWidget(m_preview);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    connect(m_files, &QListWidget::currentItemChanged, this, &ClockPicker::showFace);
    connect(ok, &QPushButton::clicked, this, &ClockPicker::accept);
    connect(m_timer, &QTimer::timeout, this, &ClockPicker::tick);
    fill();
}

void ClockPicker::fill() {
    m_files->clear();
    // Flash faces are listed by their name; the board draws the SVG of that name.
    const QDir folder(ClockFace::folderIn(m_ctx.appFolder));
    m_files->addItems(folder.entryList({QStringLiteral("*.svg"), QStringLiteral("*.swf")},
                                       QDir::Files, QDir::Name | QDir::IgnoreCase));
    m_files->setCurrentRow(-1);
}

QStringList ClockPicker::faces() const {
    QStringList out;
    for (int i = 0; i < m_files->count(); ++i)
        out << m_files->item(i)->text();
    return out;
}

QString ClockPicker::selected() const {
    const QListWidgetItem* item = m_files->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void ClockPicker::showFace() {
    const QString name = selected();
    if (name.isEmpty() ||
        !m_face.load(ClockFace::resolve(ClockFace::folderIn(m_ctx.appFolder), name))) {
        m_timer->stop();
        m_preview->clear();
        return;
    }
    tick();
    m_timer->start();
}

void ClockPicker::tick() {
    if (!m_face.isValid())
        return;
    QImage frame(m_preview->size() * m_preview->devicePixelRatio(),
                 QImage::Format_ARGB32_Premultiplied);
    m_face.render(frame, QTime::currentTime());
    QPixmap pixmap = QPixmap::fromImage(frame);
    pixmap.setDevicePixelRatio(m_preview->devicePixelRatio());
    m_preview->setPixmap(pixmap);
}

void ClockPicker::accept() {
    if (m_target)
        m_target->setText(selected());
    close();
}

void ClockPicker::showEvent(QShowEvent* event) {
    // Each opening lists the faces afresh, none chosen yet.
    if (!event->spontaneous()) {
        fill();
        m_preview->clear();
    }
    QWidget::showEvent(event);
}

void ClockPicker::hideEvent(QHideEvent* event) {
    m_timer->stop();
    QWidget::hideEvent(event);
}

} // namespace quoteria
