#pragma once
// The board engine: loads a theme, lays out its zones, advances the motion by the
// board's timer ticks and paints the board from cached images. The board window,
// headless rendering and the benchmark all drive this one engine.
#include "board/boardfit.h"
#include "board/boardinputs.h"
#include "board/boardlayout.h"
#include "board/boardmotion.h"
#include "data/fontfamily.h"
#include "data/themestore.h"

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QVector>
#include <functional>
#include <memory>

class QMovie;
class QPainter;
class QTimer;

namespace quoteria {

class BoardTimers;
class ClockFace;

class BoardEngine : public QObject {
    Q_OBJECT
public:
    // Zones that are repainted separately.
    enum Zone {
        ZoneAll,
        ZoneTable,
        ZoneTitle,
        ZoneClock,
        ZoneTicker,
        ZoneLogo,
        ZoneMedia,
        ZoneCount
    };

    explicit BoardEngine(BoardTimers& timers, QObject* parent = nullptr);
    ~BoardEngine() override;

    // The load sequence: builds every zone of the inputs' theme, shows their rows
    // and starts the timers.
    void load(const BoardInputs& inputs, const QSize& framePx);
    // The same on a placed surface: laid out on placement.frame(), the design scaled
    // and moved to its board rectangle; text and pictures drawn at that scale.
    void load(const BoardInputs& inputs, const BoardPlacement& placement);
    // Where the timed refreshes read rows and news trains; without one they show
    // the inputs' own again. Not owned; must outlive the engine or be reset.
    void setSource(BoardSource* source) { m_source = source; }
    // The surface's size in pixels (background, footer).
    void setFrameSize(const QSize& framePx);
    QSize frameSize() const { return m_frame; }

    // One tick of TimerN (1 ... 9).
    void tick(int n);

    // Ticker operations used by the control panel.
    void getSnews();
    int scrollPictureCount() const { return m_ticker.count(); }
    void unloadScrollPictures();
    void setTickerVisible(bool on);
    bool tickerVisible() const { return m_tickerVisible; }

    // Re-reads the currencies now (a save elsewhere): Scroll mode redraws every row,
    // Page mode the page now shown. Several calls in a row coalesce into one read.
    void requestCurrencyRefresh();
    void refreshCurrencies();

    // Where the time comes from (tests fix it).
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

    // Where a screen is between two ticks of the moving zones, in ticks of each
    // timer ahead of the applied ones (negative when the timer ran ahead of the
    // frames): a window shows motion at its own frame rate instead of in steps.
    // Headless pictures keep the exact tick positions.
    struct Presentation {
        bool live = false;
        double title = 0;  // Timer2
        double table = 0;  // Timer7
        double ticker = 0; // Timer4 / Timer5
    };
    void setPresentation(const Presentation& p) { m_present = p; }
    bool titleMoving() const { return m_titleVisible && m_titleMarquee; }

    // Paints everything that intersects clip (pixels). The ticker strip is left out
    // when withTicker is false (the window shows it in its own child).
    void paint(QPainter& p, const QRect& clip, bool withTicker = true);
    // Paints the ticker strip with its top-left at (0, 0), within a part of it when
    // the painter is clipped to that part.
    void paintTicker(QPainter& p, const QRect& within = QRect());
    // Where the ticker draws message element (1 ...), in pixels from the strip's left.
    int tickerElementX(int element) const;

    // Zones changed since the last call, as pixel rectangles; returns their number.
    int takeDirty(QRect* out, int max);

    // Read-only state, for the window, the tests and the benchmark.
    const BoardTheme& theme() const { return m_theme; }
    const TableGeometry& table() const { return m_geo; }
    const PixelMap& pixels() const { return m_pm; }
    QRect zonePx(Zone z) const;
    QRect stripPx() const { return m_stripPx; }
    int rowCount() const { return m_totRow; }
    const TableScroll& scroll() const { return m_scroll; }
    const PageState& page() const { return m_page; }
    int pageSize() const { return m_pgSize; }
    const Marquee& marquee() const { return m_marquee; }
    const TickerMotion& ticker() const { return m_ticker; }
    QString titleText() const { return m_titleText; }
    bool titleVisible() const { return m_titleVisible; }
    int titleWidthTwips() const { return m_titleWidthTw; }
    QString clockText() const { return m_clockText; }
    bool textClock() const { return m_textClock; }
    bool faceClock() const;
    bool hasLogo() const;
    QString rowText(int row, int cell) const; // cell 0 currency name, 1..5 values
    QColor rowColor(int row) const;
    QString tickerMessage(int element) const;
    double tickerSpeed() const { return m_speed; }
    double titleStep() const { return m_titleStep; }
    const BoardProfile& profile() const { return m_profile; }
    // The picture standing in the media zone (preview); null when there is none.
    const QImage& mediaPicture() const { return m_mediaImage; }
    // Puts a still in the media zone until the next load (a headless picture of a
    // board whose zone plays a video): fitted whole, its proportions kept, on black.
    void setMediaPicture(const QImage& still);
    double rowStep() const { return m_currScroll; }
    // The table's cached row pictures: only rows on screen or about to enter it keep one.
    const QImage& rowImage(int row) const;
    int cachedRowCount() const;
    // Whether row v stands on the table or within the rows about to enter it.
    bool rowNearView(int v) const;

Q_SIGNALS:
    // A zone needs painting (pixels).
    void repaintNeeded(const QRect& px);

private:
    struct Row {
        QString text[6];
        QString img;
        QColor bg;
        QImage image;
        QImage turned;      // `image` as a turned screen stands, built when first shown
        bool dirty = true;  // image older than the texts
        bool filled = false; // a record has been drawn into it
        qint64 key = 0; // currAuto of the currency drawn last; 0 before the first
    };
    struct Message {
        QString text;
        QImage image;
        QImage turned; // `image` as a turned screen stands
    };

    void start();
    void setcols(int rowCount);
    void renderHeaders();
    void buildTitle();
    void buildClock();
    void buildLogo();
    void buildBackground();
    void buildTicker();
    void buildFooter();
    void buildMedia();
    QImage backgroundFor(const QSize& frame) const;

    void timer1(const BoardRows* given = nullptr);
    BoardRows currentRows();
    void addData(const BoardRows& rows);
    void getData1(const BoardRows& rows);
    void drawRecord(int row, const RateRow& r, const RowColouring& colouring);
    void renderRow(Row& row);
    QImage flagImage(const QString& path, const QSize& size);
    QImage rowPicture(const QSize& size);
    QVector<int> loadTrain(TickerMotion::Train train);
    void timer3();
    void timer8();
    void renderClockFace();
    void markDirty(Zone z);
    bool setTimer(int n, bool on);
    QRect tableZonePx() const;
    void cacheRows();
    void spareRowImage(Row& row);

    BoardTimers& m_timers;
    BoardSource* m_source = nullptr;
    BoardRows m_fixedRows;
    QVector<NewsLine> m_fixedNews[2];
    BoardProfile m_profile;
    TableMotion m_motion = TableMotion::Scroll;
    int m_pageInterval = 3000;
    QString m_clockFolder;
    PixelMap m_pm;
    QSize m_frame;
    QPoint m_origin; // the design's top-left corner on the frame
    std::function<QDateTime()> m_now;

    BoardTheme m_theme;
    TableGeometry m_geo;
    QRect m_fgPx, m_titlePx, m_timePx, m_logoPx, m_stripPx;
    QRect m_headerPx[6];
    QImage m_headerImage[6];
    int m_totRow = 0;
    int m_pgSize = 0;
    double m_currScroll = 5;
    double m_speed = 30;
    double m_titleStep = 30;
    int m_rowPx = 0;
    bool m_composeView = false; // the viewer sees the composition surface (Scroll mode)
    QVector<Row> m_rows;
    QVector<QImage> m_spareRows;
    QVector<double> m_composed; // row tops as last composed (Timer6)
    bool m_rowsChanged = true;
    TableScroll m_scroll;
    PageState m_page;
    QHash<QString, QImage> m_flags;
    QHash<qint64, QImage> m_rowPictures;
    QImage m_rowPictureSource;

    QString m_titleText;
    bool m_titleVisible = false;
    bool m_titleMarquee = false;
    bool m_titleOpaque = false;
    QColor m_titleBg;
    QImage m_titleImage;
    QImage m_titleTurned; // `m_titleImage` as a turned screen stands
    int m_titleWidthTw = 0;
    Marquee m_marquee;

    bool m_textClock = false;
    QString m_tformat;
    QString m_clockText;
    QImage m_clockImage;
    std::unique_ptr<ClockFace> m_face;
    int m_faceSecond = -1;

    QImage m_logoImage;
    QMovie* m_logoMovie = nullptr;

    bool m_bgPicture = false;
    QImage m_bgSource;
    QImage m_bgImage;
    QColor m_bgColor;
    QImage m_footerLabel;
    int m_footerInset = 3000; // twips from the right edge to the footer's left edge
    QRect m_mediaPx;
    QImage m_mediaImage;

    TickerMotion m_ticker;
    bool m_tickerVisible = false;
    bool m_tickerMoved = true;
    QString m_nimgPath;
    QImage m_stripSource;
    QImage m_stripImage;
    QColor m_stripColor;
    QVector<Message> m_messages;

    bool m_dirty[ZoneCount] = {};
    Presentation m_present;
    QTimer* m_refreshTimer = nullptr;
};

} // namespace quoteria
