#pragma once
// The layout designer (frmPos): a borderless window whose client area stands for
// the board's screen at half scale, with a coloured label per zone. In design mode
// the zones are moved and sized with the mouse; the result is the theme's layout
// row. Every change is published as a draft so an open preview shows it at once.
#include "design/layoutmodel.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <optional>

class QLabel;

namespace quoteria {

struct AppContext;
class DesignControl;

class LayoutDesigner : public QWidget {
    Q_OBJECT
public:
    // Models ctx.session's design resolution at its twips per pixel.
    explicit LayoutDesigner(AppContext& ctx, QWidget* owner = nullptr);
    ~LayoutDesigner() override;

    // The theme's key as the hidden label's text; empty for none.
    QLabel* lblRef() const { return m_lblRef; }
    qint64 themeKey() const;
    DesignControl* tool() const { return m_tool; }
    const LayoutModel& model() const { return m_model; }
    // Sizing handle 0-7.
    QWidget* handle(int index) const { return m_handles[index]; }

    // Zones and the window's position from the theme's layout row, when it has one.
    void getData();
    // Writes the layout row; nothing without a key. False after reporting a failure.
    bool saveData();
    // Toggles design mode; off drops the current zone and hides the handles.
    void editDesign();
    // Toggles design mode, then saves when there is a key.
    void saveDesign();
    // The Save button: back to the exact half-scale surface first, so what is
    // stored never depends on the zoom.
    void saveAtHalfScale();
    void resetH();
    void zoom(double factor);
    // Keeps the designer against the control window's right edge.
    void followControl();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void beginDrag();
    void dragTo(const QPoint& globalCursor);
    void drop();
    // Labels, handles and window size from the model.
    void applyZones();
    // The zones at half scale with the window's rectangle, as the row would be stored.
    LayoutRow rowToStore() const;
    void publishDraft();
    void loadBackdrop();

    AppContext& m_ctx;
    LayoutModel m_model;
    QLabel* m_lblRef;
    QLabel* m_zones[LayoutModel::ZoneCount];
    QWidget* m_handles[LayoutModel::kHandleCount];
    QWidget* m_outline;
    DesignControl* m_tool; // a child: lives as long as the designer
    // The window width and height the stored row keeps (those of its first save).
    std::optional<QSizeF> m_storedWindowSize;
    QString m_backdropPath;
    QPixmap m_backdrop;
    QPixmap m_scaledBackdrop;
};

// Opens the one designer for theme `key` (0: none; nothing is then saved), owned
// by `owner`. A designer open for another theme is closed first.
LayoutDesigner* showDesigner(QPointer<LayoutDesigner>& slot, AppContext& ctx, qint64 key,
                             QWidget* owner);

} // namespace quoteria
