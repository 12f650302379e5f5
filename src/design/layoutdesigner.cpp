#include "design/layoutdesigner.h"

#include "board/boardlayout.h"
#include "data/appcontext.h"
#include "data/dataevents.h"
#include "data/helpers.h"
#include "data/messageservice.h"
#include "design/designcontrol.h"
#include "design/themeeditoropen.h"
#include "gui/named.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>

namespace quoteria {

namespace {

// The drag rectangle: a 2-pixel outline over everything, drawn by inverting what
// lies below so it shows on any backdrop; repainted from the model, it leaves no
// trace where it was.
class DragOutline : public QWidget {
public:
    DragOutline(const LayoutModel& model, QWidget* parent) : QWidget(parent), m_model(model) {
        setObjectName(QStringLiteral("dragOutline"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (m_model.dragState() == LayoutModel::Idle)
            return;
        QPainter p(this);
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        p.setPen(QPen(Qt::black, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(m_model.dragOutline()).adjusted(1, 1, -1, -1));
    }

private:
    const LayoutModel& m_model;
};

const Qt::CursorShape kHandleCursors[LayoutModel::kHandleCount] = {
    Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor, Qt::SizeHorCursor,
    Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor, Qt::SizeHorCursor,
};

} // namespace

LayoutDesigner::LayoutDesigner(AppContext& ctx, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint), m_ctx(ctx),
      m_model(ctx.session.twipsPerPixel, ctx.session.designWidth, ctx.session.designHeight) {
    setObjectName(QStringLiteral("frmPos"));
    setWindowTitle(QStringLiteral("Position"));

    m_lblRef = named(new QLabel(this), "lblRef");
    m_lblRef->hide();
    for (int z = 0; z < LayoutModel::ZoneCount; ++z) {
        const LayoutModel::ZoneSpec& spec = LayoutModel::kZones[z];
        QLabel* label = named(new QLabel(QLatin1String(spec.caption), this), spec.name);
        label->setAlignment(Qt::AlignCenter);
        label->setAutoFillBackground(true);
        QPalette pal = label->palette();
        pal.setColor(QPalette::Window, QColor(spec.colour));
        pal.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(pal);
        m_zones[z] = label;
    }
    for (int i = 0; i < LayoutModel::kHandleCount; ++i) {
        QWidget* h = named(new QWidget(this), QStringLiteral("handle%1").arg(i));
        h->setAutoFillBackground(true);
        QPalette pal = h->palette();
        pal.setColor(QPalette::Window, Qt::black);
        h->setPalette(pal);
        h->setCursor(kHandleCursors[i]);
        h->installEventFilter(this);
        h->hide();
        m_handles[i] = h;
    }
    m_outline = new DragOutline(m_model, this);
    m_tool = new DesignControl(this);

    applyZones();
    if (QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    connect(&m_ctx.drafts, &ThemeDrafts::changed, this, [this](qint64 key) {
        if (key == themeKey())
            loadBackdrop();
    });
    connect(&m_ctx.events, &DataEvents::themesChanged, this, &LayoutDesigner::loadBackdrop);
}

LayoutDesigner::~LayoutDesigner() {
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
}

qint64 LayoutDesigner::themeKey() const {
    return qMax<qint64>(0, m_lblRef->text().toLongLong());
}

void LayoutDesigner::getData() {
    const auto row = m_ctx.themes.loadLayout(themeKey());
    if (!row)
        return;
    m_model.loadRow(*row);
    const double* me = row->zone[BoardTheme::Me];
    m_storedWindowSize = QSizeF(me[2], me[3]);
    const PixelMap pm(m_model.twipsPerPixel());
    move(pm.px(me[0]), pm.px(me[1]));
    applyZones();
}

LayoutRow LayoutDesigner::rowToStore() const {
    LayoutRow row = m_model.storedRow();
    const int tpp = m_model.twipsPerPixel();
    const PixelMap pm(tpp);
    const QSizeF half = m_model.halfScaleSize();
    const QSizeF size = m_storedWindowSize.value_or(
        QSizeF(double(pm.px(half.width())) * tpp, double(pm.px(half.height())) * tpp));
    double* me = row.zone[BoardTheme::Me];
    me[0] = double(x()) * tpp;
    me[1] = double(y()) * tpp;
    me[2] = size.width();
    me[3] = size.height();
    return row;
}

bool LayoutDesigner::saveData() {
    const qint64 key = themeKey();
    if (key <= 0)
        return true;
    QString error;
    if (!m_ctx.themes.saveLayout(key, rowToStore(), &error)) {
        messages().show(error, MsgIcon::Critical);
        return false;
    }
    // The row now keeps the size of its first save, whichever save that was.
    if (const auto stored = m_ctx.themes.loadLayout(key))
        m_storedWindowSize =
            QSizeF(stored->zone[BoardTheme::Me][2], stored->zone[BoardTheme::Me][3]);
    // Stored now: the preview reads the row itself.
    m_ctx.drafts.clear(key, ThemeDrafts::Layout);
    return true;
}

void LayoutDesigner::editDesign() {
    if (m_model.dragState() != LayoutModel::Idle)
        return;
    m_model.editDesign();
    applyZones();
}

void LayoutDesigner::saveDesign() {
    editDesign();
    if (themeKey() > 0)
        saveData();
}

void LayoutDesigner::saveAtHalfScale() {
    if (m_model.dragState() != LayoutModel::Idle)
        return;
    m_model.restoreHalfScale();
    applyZones();
    saveDesign();
}

void LayoutDesigner::resetH() {
    m_model.resetH();
    applyZones();
    publishDraft();
}

void LayoutDesigner::zoom(double factor) {
    m_model.zoom(factor);
    applyZones();
    publishDraft();
}

void LayoutDesigner::publishDraft() {
    if (const qint64 key = themeKey(); key > 0)
        m_ctx.drafts.setLayout(key, rowToStore().zone);
}

void LayoutDesigner::applyZones() {
    resize(m_model.surfacePixels());
    for (int z = 0; z < LayoutModel::ZoneCount; ++z)
        m_zones[z]->setGeometry(m_model.zonePixels(z).normalized());
    const bool shown = m_model.handlesVisible();
    for (int i = 0; i < LayoutModel::kHandleCount; ++i) {
        if (shown) {
            m_handles[i]->setGeometry(m_model.handleRect(i));
            m_handles[i]->raise();
        }
        m_handles[i]->setVisible(shown);
    }
}

void LayoutDesigner::beginDrag() {
    grabMouse();
    for (QWidget* h : m_handles)
        h->hide();
    m_outline->setGeometry(rect());
    m_outline->raise();
    m_outline->show();
    m_outline->update();
}

void LayoutDesigner::dragTo(const QPoint& globalCursor) {
    // The cursor stays on the designer while dragging; where the platform will not
    // move the pointer, the drag still goes no further than the edge.
    const QRect bounds(mapToGlobal(QPoint(0, 0)), size());
    const QPoint clamped(qBound(bounds.left(), globalCursor.x(), bounds.right()),
                         qBound(bounds.top(), globalCursor.y(), bounds.bottom()));
    if (clamped != globalCursor)
        QCursor::setPos(clamped);
    m_model.moveTo(clamped);
    m_outline->update();
}

void LayoutDesigner::drop() {
    releaseMouse();
    m_outline->hide();
    m_model.release();
    applyZones();
    publishDraft();
}

void LayoutDesigner::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    // The zone on top under the cursor wins; on bare surface the first one that
    // holds the point.
    const QWidget* under = childAt(event->position().toPoint());
    int zone = -1;
    for (int z = 0; z < LayoutModel::ZoneCount; ++z)
        if (under == m_zones[z])
            zone = z;
    if (m_model.pressSurface(zone, event->globalPosition().toPoint(), mapToGlobal(QPoint(0, 0))))
        beginDrag();
    else
        applyZones();
}

void LayoutDesigner::mouseMoveEvent(QMouseEvent* event) {
    if (m_model.dragState() != LayoutModel::Idle)
        dragTo(event->globalPosition().toPoint());
}

void LayoutDesigner::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_model.dragState() != LayoutModel::Idle)
        drop();
}

bool LayoutDesigner::eventFilter(QObject* watched, QEvent* event) {
    const int index =
        int(std::find(std::begin(m_handles), std::end(m_handles), watched) - std::begin(m_handles));
    if (index >= LayoutModel::kHandleCount)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::LeftButton && m_model.pressHandle(index, mapToGlobal(QPoint(0, 0))))
            beginDrag();
        return true;
    }
    case QEvent::MouseMove:
        mouseMoveEvent(static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseButtonRelease:
        mouseReleaseEvent(static_cast<QMouseEvent*>(event));
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void LayoutDesigner::paintEvent(QPaintEvent*) {
    if (m_backdrop.isNull())
        return;
    if (m_scaledBackdrop.size() != size())
        m_scaledBackdrop =
            m_backdrop.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter(this).drawPixmap(0, 0, m_scaledBackdrop);
}

void LayoutDesigner::loadBackdrop() {
    QString path;
    if (const qint64 key = themeKey(); key > 0) {
        BoardTheme theme;
        if (const auto record = m_ctx.themes.loadRecord(key))
            theme = themeFromRecord(*record);
        theme.key = key;
        // The theme editor's unsaved picture, when it has one.
        path = m_ctx.drafts.apply(theme).nbgImg;
    }
    const bool exists = !path.isEmpty() && fileExists(path);
    if (path == m_backdropPath && exists == !m_backdrop.isNull())
        return;
    m_backdropPath = path;
    m_backdrop = exists ? QPixmap(path) : QPixmap();
    m_scaledBackdrop = QPixmap();
    update();
}

void LayoutDesigner::followControl() {
    if (!m_tool)
        return;
    const QRect frame = m_tool->frameGeometry();
    move(frame.x() + frame.width(), frame.y());
}

void LayoutDesigner::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    loadBackdrop();
    if (m_tool) {
        m_tool->show();
        m_tool->dockTo(this);
    }
}

void LayoutDesigner::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_tool)
        m_tool->dockTo(this);
}

void LayoutDesigner::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_outline->setGeometry(rect());
    if (m_tool) {
        const int frameExtra = m_tool->frameGeometry().height() - m_tool->height();
        m_tool->resize(m_tool->width(), height() - frameExtra);
    }
}

void LayoutDesigner::closeEvent(QCloseEvent* event) {
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
    if (const qint64 key = themeKey(); key > 0)
        m_ctx.drafts.clear(key, ThemeDrafts::Layout);
    if (m_tool)
        m_tool->close();
    QWidget::closeEvent(event);
}

LayoutDesigner* showDesigner(QPointer<LayoutDesigner>& slot, AppContext& ctx, qint64 key,
                             QWidget* owner) {
    return openForTheme(slot, key, [&] { return new LayoutDesigner(ctx, owner); });
}

} // namespace quoteria
