#include "board/boardengine.h"

#include "board/boardtimers.h"
#include "board/clockface.h"
#include "board/mediaplaceholder.h"
#include "board/opaqueblit.h"
#include "data/database.h"
#include "data/formats.h"
#include "data/helpers.h"
#include "data/messageservice.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QImageReader>
#include <QLocale>
#include <QMovie>
#include <QPainter>
#include <QRegion>
#include <QVarLengthArray>
#include <QSvgRenderer>
#include <QTimer>
#include <QtMath>

namespace quoteria {

namespace {

// Cached pictures never grow beyond this, whatever a theme asks for.
constexpr int kMaxImageSide = 16384;
constexpr qint64 kMaxImagePixels = 8 * 1024 * 1024;
// More rows than this cannot be told apart on any screen.
constexpr int kMaxRows = 2000;

// Rows cached beyond each edge of the table, so a row is drawn before it enters.
constexpr int kRowsAhead = 2;
// Pictures of rows that left the table, kept for the rows entering next.
constexpr int kSpareRows = 4;

QFont boardFont(const QString& family, double points, bool bold, bool italic,
                const PixelMap& pm) {
    QFont f(installedFamily(family));
    // Points to pixels through twips: 1 point is 20 twips.
    f.setPixelSize(int(qBound(1.0, std::round(points * 20.0 * pm.scale / pm.twipsPerPixel),
                              600.0 * qMax(1.0, pm.scale))));
    f.setBold(bold);
    f.setItalic(italic);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QImage newImage(int w, int h) {
    w = qBound(0, w, kMaxImageSide);
    h = qBound(0, h, kMaxImageSide);
    if (w == 0 || h == 0)
        return QImage();
    return QImage(w, h, QImage::Format_ARGB32_Premultiplied);
}

// A picture file at its natural size; null when missing or not a picture.
QImage readPicture(const QString& path) {
    if (path.trimmed().isEmpty() || !fileExists(path))
        return QImage();
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize s = reader.size();
    if (s.isValid() && (s.width() > kMaxImageSide || s.height() > kMaxImageSide))
        reader.setScaledSize(s.scaled(kMaxImageSide, kMaxImageSide, Qt::KeepAspectRatio));
    QImage img = reader.read();
    if (img.isNull())
        return QImage();
    return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage stretched(const QImage& src, const QSize& size) {
    if (src.isNull() || size.isEmpty())
        return QImage();
    return src.scaled(size.boundedTo(QSize(kMaxImageSide, kMaxImageSide)), Qt::IgnoreAspectRatio,
                      Qt::SmoothTransformation);
}

} // namespace

BoardEngine::BoardEngine(BoardTimers& timers, QObject* parent)
    : QObject(parent), m_timers(timers), m_now([] { return QDateTime::currentDateTime(); }) {
    m_ticker.load = [this](TickerMotion::Train t) { return loadTrain(t); };
    m_ticker.switched = [this](TickerMotion::Train t) {
        setTimer(4, t == TickerMotion::LeftTrain);
        setTimer(5, t == TickerMotion::RightTrain);
    };
    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setSingleShot(true);
    m_refreshTimer->setInterval(15);
    connect(m_refreshTimer, &QTimer::timeout, this, &BoardEngine::refreshCurrencies);
}

BoardEngine::~BoardEngine() = default;

bool BoardEngine::setTimer(int n, bool on) {
    m_timers.setActive(n, on);
    return on;
}

void BoardEngine::markDirty(Zone z) {
    m_dirty[z] = true;
    emit repaintNeeded(zonePx(z));
}

QRect BoardEngine::tableZonePx() const {
    // Headers change only with the whole board; the rows stay inside their zone.
    return m_fgPx;
}

QRect BoardEngine::zonePx(Zone z) const {
    switch (z) {
    case ZoneAll:
        return QRect(QPoint(0, 0), m_frame);
    case ZoneTable:
        return tableZonePx();
    case ZoneTitle:
        return m_titlePx;
    case ZoneClock:
        return m_timePx;
    case ZoneTicker:
        return m_stripPx;
    case ZoneLogo:
        return m_logoPx;
    case ZoneMedia:
        return m_mediaPx;
    default:
        return QRect();
    }
}

int BoardEngine::takeDirty(QRect* out, int max) {
    int n = 0;
    if (m_dirty[ZoneAll]) {
        if (max > 0)
            out[n++] = zonePx(ZoneAll);
    } else {
        for (int z = ZoneTable; z < ZoneCount && n < max; ++z)
            if (m_dirty[z] && !zonePx(Zone(z)).isEmpty())
                out[n++] = zonePx(Zone(z));
    }
    for (bool& d : m_dirty)
        d = false;
    return n;
}

// ---- load sequence ----------------------------------------------------------------

void BoardEngine::load(const BoardInputs& in, const QSize& framePx) {
    BoardPlacement placement;
    placement.screen = framePx;
    load(in, placement);
}

void BoardEngine::load(const BoardInputs& in, const BoardPlacement& placement) {
    m_frame = placement.frame();
    m_origin = placement.origin();
    const MotionProfile& motion = in.motion;
    m_profile = motion.surface;
    m_pm = PixelMap(motion.twipsPerPixel, placement.scale());
    // The preview has no pages: its table always refreshes in place.
    m_motion = m_profile.fixedRowCount ? TableMotion::Scroll : motion.table;
    m_pageInterval = motion.pageIntervalMs;
    m_clockFolder = in.clockFolder;
    m_theme = in.theme;
    m_fixedRows = in.rows;
    for (int t = 0; t < 2; ++t)
        m_fixedNews[t] = in.news[t];
    // Steps beyond a screen's width per tick make no sense; keep the arithmetic sound.
    m_speed = qBound(-100000.0, motion.tickerStep, 100000.0);
    m_titleStep = qBound(-100000.0, motion.titleStep, 100000.0);
    m_totRow = qMin(kMaxRows, int(in.rows.rates.size()));
    m_currScroll = qBound(-100000.0, motion.tableStep, 100000.0);
    start();
    m_scroll.reset(m_totRow, m_geo.firstRowTop, m_geo.rowStep, m_geo.rowHeight, m_geo.hGap,
                   m_currScroll);
    m_composed = m_scroll.tops();
    markDirty(ZoneAll);
}

void BoardEngine::start() {
    const BoardTheme& t = m_theme;

    // Zones (getpos); without a layout row nothing is placed.
    // Zones on the frame: scaled, then moved to where the design stands.
    const auto place = [this](const QRect& twips) { return m_pm.rect(twips).translated(m_origin); };
    if (t.found && t.hasPosition) {
        m_logoPx = place(zoneRect(t, BoardTheme::Logo, m_profile));
        m_timePx = place(zoneRect(t, BoardTheme::Time, m_profile));
        m_titlePx = place(zoneRect(t, BoardTheme::Title, m_profile));
        m_stripPx = place(zoneRect(t, BoardTheme::News, m_profile));
    }
    m_mediaPx = t.hasPosition ? place(zoneRect(t, BoardTheme::Video, m_profile)) : QRect();
    m_geo = t.hasPosition ? tableGeometry(t, m_profile) : TableGeometry();
    m_fgPx = place(m_geo.fg);

    buildBackground();
    buildFooter();
    buildTitle();
    buildClock();
    buildLogo();
    buildTicker();
    buildMedia();

    // The first rows are the inputs' own; later ones come from the source.
    if (m_motion != TableMotion::Page) {
        if (m_profile.fixedRowCount) {
            // `rows` rows whatever the currencies, redrawn every page interval.
            setcols(int(qBound(0.0, t.rows, double(kMaxRows))));
            m_timers.setInterval(1, qMax(1, m_pageInterval));
            m_page.currentPage = 0;
        } else {
            setcols(m_totRow);
        }
        setTimer(1, true);
        setTimer(6, true);
        m_composeView = true;
        timer1(&m_fixedRows);
    } else {
        setTimer(6, false);
        m_pgSize = qBound(0, int(t.rows), kMaxRows);
        setcols(m_pgSize);
        m_timers.setInterval(1, qMax(1, m_pageInterval));
        m_page.currentPage = 1;
        setTimer(1, true);
        setTimer(7, false);
        m_composeView = false;
        timer1(&m_fixedRows);
    }
    if (t.scroll == 1) {
        setTimer(2, true);
    } else {
        setTimer(2, false);
    }
}

void BoardEngine::setcols(int rowCount) {
    m_totRow = qBound(0, rowCount, kMaxRows);
    m_rows = QVector<Row>(m_totRow);
    m_spareRows.clear();
    const QColor rowBg = m_theme.rowbgcolor;
    for (Row& r : m_rows)
        r.bg = rowBg;
    m_rowPx = m_pm.px(m_geo.rowHeight);
    // Where the rows stand decides which of them are drawn now.
    m_scroll.reset(m_totRow, m_geo.firstRowTop, m_geo.rowStep, m_geo.rowHeight, m_geo.hGap,
                   m_currScroll);
    for (int k = 0; k < 6; ++k)
        m_headerPx[k] =
            m_geo.headerVisible[k] ? m_pm.rect(m_geo.header[k]).translated(m_origin) : QRect();
    renderHeaders();
    m_rowPictureSource = m_theme.img2.isEmpty() ? QImage() : readPicture(m_theme.img2);
    m_rowPictures.clear();
    const bool scrolls = m_motion == TableMotion::Scroll && m_geo.overflows(m_totRow);
    setTimer(7, scrolls);
    setTimer(6, scrolls);
    m_rowsChanged = true;
}

void BoardEngine::renderHeaders() {
    const BoardTheme& t = m_theme;
    const QFont font = boardFont(t.hdfont, t.hdfntsize, true, false, m_pm);
    const QImage picture = t.img1.isEmpty() ? QImage() : readPicture(t.img1);
    // The header picture is stretched per header but cut at Header1's size + 60 twips.
    const QSize cut(m_pm.px(qint64(m_geo.header[0].width()) + 60),
                    m_pm.px(qint64(m_geo.header[0].height()) + 60));
    for (int k = 0; k < 6; ++k) {
        QImage& img = m_headerImage[k];
        img = newImage(qMin(m_headerPx[k].width(), m_frame.width()),
                       qMin(m_headerPx[k].height(), m_frame.height()));
        if (img.isNull())
            continue;
        img.fill(t.hdclrbg);
        QPainter p(&img);
        if (!picture.isNull()) {
            p.save();
            p.setClipRect(QRect(QPoint(0, 0), cut));
            p.drawImage(0, 0, stretched(picture, img.size()));
            p.restore();
        }
        if (!t.hasHeader)
            continue;
        p.setFont(font);
        p.setPen(t.hdfntclr);
        // The board breaks captions at "/"; the preview draws them on one line.
        const QStringList lines =
            m_profile.previewLayout ? QStringList{t.head[k]} : t.head[k].split(QLatin1Char('/'));
        const QFontMetrics fm(font);
        int y = fm.ascent();
        for (int i = 0; i < lines.size(); ++i) {
            p.drawText(0, y, i == 0 ? QLatin1Char(' ') + lines[i] : lines[i]);
            y += fm.height();
        }
    }
    // On an opaque colour the headers hide what lies under them: copied, not blended.
    if (t.hdclrbg.alpha() == 255)
        for (QImage& img : m_headerImage)
            if (!img.isNull())
                img = img.convertToFormat(QImage::Format_RGB32);
}

void BoardEngine::buildBackground() {
    const BoardTheme& t = m_theme;
    m_bgPicture = false;
    m_bgSource = QImage();
    const QString& picture = m_profile.naturalBackground ? t.bgImage : t.nbgImg;
    if (!picture.isEmpty()) {
        m_bgSource = readPicture(picture);
        m_bgPicture = !m_bgSource.isNull();
        // A named picture that cannot be shown leaves the window's own colour.
        m_bgColor = Qt::black;
    } else {
        m_bgColor = t.found ? t.bgcolor : QColor(Qt::black);
    }
    m_bgImage = backgroundFor(m_frame);
}

QImage BoardEngine::backgroundFor(const QSize& frame) const {
    if (!m_bgPicture)
        return QImage();
    // The preview's picture stays at its natural size; only what a frame shows is kept.
    if (m_profile.naturalBackground)
        return m_bgSource.copy(QRect(QPoint(0, 0), m_bgSource.size().boundedTo(frame)));
    return stretched(m_bgSource, frame);
}

void BoardEngine::buildFooter() {
    const QFont f = boardFont(QStringLiteral("Liberation Sans"), 8, false, false, m_pm);
    const QFontMetrics fm(f);
    // The board names the vendor's site; the preview says what drew it, in two
    // labels, the second 10 twips right of the first.
    const QString first = m_profile.productFooter ? QStringLiteral("Powered By")
                                                  : QStringLiteral("www.quoteria.example");
    const QString second = m_profile.productFooter ? QStringLiteral("Quoteria") : QString();
    QFont bold = f;
    bold.setBold(true);
    const int secondLeft = fm.horizontalAdvance(first) + m_pm.px(10);
    m_footerInset = m_profile.productFooter ? 2000 : 3000;
    m_footerLabel = newImage(secondLeft + QFontMetrics(bold).horizontalAdvance(second) + 2,
                             qMax(fm.height(), QFontMetrics(bold).height()));
    if (m_footerLabel.isNull())
        return;
    m_footerLabel.fill(Qt::transparent);
    QPainter p(&m_footerLabel);
    p.setFont(f);
    p.setPen(QColor(160, 160, 160));
    p.drawText(0, fm.ascent(), first);
    if (!second.isEmpty()) {
        p.setFont(bold);
        p.drawText(secondLeft, fm.ascent(), second);
    }
}

void BoardEngine::setMediaPicture(const QImage& still) {
    const QSize zone = m_mediaPx.size().boundedTo(QSize(kMaxImageSide, kMaxImageSide));
    if (still.isNull() || zone.isEmpty()) {
        buildMedia();
        return;
    }
    QImage img(zone, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(fitInside(still.size(), img.rect()), still);
    p.end();
    m_mediaImage = img;
    emit repaintNeeded(m_mediaPx);
}

void BoardEngine::buildMedia() {
    m_mediaImage =
        m_profile.mediaPlaceholder
            ? mediaPlaceholder(m_mediaPx.size().boundedTo(QSize(kMaxImageSide, kMaxImageSide)))
            : QImage();
}

void BoardEngine::setFrameSize(const QSize& framePx) {
    if (framePx == m_frame)
        return;
    m_frame = framePx;
    m_bgImage = backgroundFor(m_frame);
    markDirty(ZoneAll);
}

// ---- title and clock --------------------------------------------------------------

void BoardEngine::buildTitle() {
    const BoardTheme& t = m_theme;
    m_titleVisible = t.found && !t.ttlname.isEmpty();
    m_titleText.clear();
    m_titleImage = QImage();
    m_titleTurned = QImage();
    if (!m_titleVisible)
        return;
    if (t.ttlname.contains(QLatin1Char('#'))) {
        QString s = t.ttlname;
        s.remove(QLatin1Char('#'));
        m_titleText =
            s + QLatin1Char(' ') + QLocale::system().toString(m_now().date(), QLocale::ShortFormat);
    } else {
        m_titleText = t.ttlname;
    }
    // Title background: its own colour, else the window's (the picture shows through).
    m_titleOpaque = t.ttlBGEnable == QLatin1String("1") || !m_bgPicture;
    m_titleBg = t.ttlBGEnable == QLatin1String("1") ? t.ttlBG : m_bgColor;

    const QFont font = boardFont(t.ttlfont, t.ttlsize, false, false, m_pm);
    const QFontMetrics fm(font);
    const int w = fm.horizontalAdvance(m_titleText);
    m_titleWidthTw = int(std::lround(m_pm.twips(w)));
    m_titleImage = newImage(w + 1, fm.height());
    // On its own colour the title is drawn once onto it: each marquee step then
    // copies the picture instead of blending it.
    const bool onColour = m_titleOpaque && m_titleBg.alpha() == 255;
    if (!m_titleImage.isNull()) {
        m_titleImage.fill(onColour ? m_titleBg : QColor(Qt::transparent));
        QPainter p(&m_titleImage);
        p.setFont(font);
        p.setPen(t.ttlcolor);
        p.drawText(0, fm.ascent(), m_titleText);
        p.end();
        if (onColour)
            m_titleImage = m_titleImage.convertToFormat(QImage::Format_RGB32);
    }
    m_titleMarquee = t.scroll == 1;
    m_marquee = Marquee();
}

void BoardEngine::buildClock() {
    const BoardTheme& t = m_theme;
    m_textClock = false;
    m_face.reset();
    m_clockImage = QImage();
    setTimer(3, false);
    setTimer(8, false);
    if (!t.found || t.displaytime != 1)
        return;
    if (!t.clockfile.isEmpty()) {
        const QString path = ClockFace::resolve(m_clockFolder, t.clockfile);
        auto face = std::make_unique<ClockFace>();
        if (face->load(path)) {
            m_face = std::move(face);
            m_clockImage = newImage(qMin(m_timePx.width(), m_frame.width()),
                                    qMin(m_timePx.height(), m_frame.height()));
            m_faceSecond = -1;
            timer8();
            setTimer(8, true);
        } else {
            logLine(QStringLiteral(
                        "board: clock face \"%1\" cannot be shown; the clock zone stays empty")
                        .arg(t.clockfile));
        }
        return;
    }
    m_textClock = true;
    m_tformat = t.tformat;
    m_clockText.clear();
    timer3();
    setTimer(3, true);
}

void BoardEngine::timer3() {
    if (!m_textClock)
        return;
    const QString text = formatDateTime(m_now(), m_tformat);
    if (text == m_clockText && !m_clockImage.isNull())
        return;
    m_clockText = text;
    const BoardTheme& t = m_theme;
    m_clockImage = newImage(qMin(m_timePx.width(), m_frame.width()),
                            qMin(m_timePx.height(), m_frame.height()));
    if (!m_clockImage.isNull()) {
        m_clockImage.fill(Qt::transparent);
        QPainter p(&m_clockImage);
        p.setFont(boardFont(t.fonttime, t.sizetime, true, false, m_pm));
        p.setPen(t.clrtime);
        p.drawText(m_clockImage.rect(), Qt::AlignCenter, m_clockText);
    }
    markDirty(ZoneClock);
}

void BoardEngine::timer8() {
    if (!m_face || m_clockImage.isNull())
        return;
    const QTime now = m_now().time();
    const int second = now.msecsSinceStartOfDay() / 1000;
    if (second == m_faceSecond)
        return;
    m_faceSecond = second;
    m_face->render(m_clockImage, QTime(now.hour(), now.minute(), now.second()));
    markDirty(ZoneClock);
}

bool BoardEngine::faceClock() const {
    return m_face != nullptr;
}

// ---- logo -------------------------------------------------------------------------

void BoardEngine::buildLogo() {
    m_logoImage = QImage();
    delete m_logoMovie;
    m_logoMovie = nullptr;
    const QString path = m_theme.logo;
    if (!m_theme.found || path.isEmpty() || m_logoPx.isEmpty())
        return;
    const QFileInfo fi(path);
    if (fi.suffix().compare(QLatin1String("swf"), Qt::CaseInsensitive) == 0) {
        logLine(QStringLiteral("board: logo \"%1\" is a Flash movie, which cannot be played; the "
                               "logo zone stays empty")
                    .arg(path));
        return;
    }
    if (!fileExists(path)) {
        logLine(
            QStringLiteral("board: logo \"%1\" not found; the logo zone stays empty").arg(path));
        return;
    }
    const QSize zone = m_logoPx.size().boundedTo(m_frame);
    auto fit = [zone](const QImage& src) {
        if (src.isNull())
            return QImage();
        QImage out = newImage(zone.width(), zone.height());
        if (out.isNull())
            return out;
        out.fill(Qt::transparent);
        const QSize s = src.size().scaled(zone, Qt::KeepAspectRatio);
        QPainter p(&out);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(
            QRect(QPoint((zone.width() - s.width()) / 2, (zone.height() - s.height()) / 2), s),
            src);
        return out;
    };
    if (fi.suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0 ||
        fi.suffix().compare(QLatin1String("svgz"), Qt::CaseInsensitive) == 0) {
        QSvgRenderer svg(path);
        if (svg.isValid()) {
            QSize s = svg.defaultSize().isEmpty()
                          ? zone
                          : svg.defaultSize().scaled(zone, Qt::KeepAspectRatio);
            m_logoImage = newImage(zone.width(), zone.height());
            if (!m_logoImage.isNull()) {
                m_logoImage.fill(Qt::transparent);
                QPainter p(&m_logoImage);
                svg.render(&p, QRectF((zone.width() - s.width()) / 2.0,
                                      (zone.height() - s.height()) / 2.0, s.width(), s.height()));
            }
        }
    } else {
        auto* movie = new QMovie(path, QByteArray(), this);
        if (movie->isValid() && movie->frameCount() > 1) {
            m_logoMovie = movie;
            connect(movie, &QMovie::frameChanged, this, [this, fit] {
                m_logoImage = fit(m_logoMovie->currentImage().convertToFormat(
                    QImage::Format_ARGB32_Premultiplied));
                markDirty(ZoneLogo);
            });
            movie->jumpToFrame(0);
            m_logoImage =
                fit(movie->currentImage().convertToFormat(QImage::Format_ARGB32_Premultiplied));
            movie->start();
        } else {
            delete movie;
            m_logoImage = fit(readPicture(path));
        }
    }
    if (m_logoImage.isNull())
        logLine(QStringLiteral("board: logo \"%1\" is not a picture; the logo zone stays empty")
                    .arg(path));
}

bool BoardEngine::hasLogo() const {
    return !m_logoImage.isNull();
}

// ---- rate table -------------------------------------------------------------------

void BoardEngine::timer1(const BoardRows* given) {
    if (m_profile.fixedRowCount) {
        // The preview counts pages without wrapping and shows no page of them.
        ++m_page.currentPage;
        addData(given ? *given : currentRows());
    } else if (m_motion == TableMotion::Page) {
        m_page.advance();
        getData1(given ? *given : currentRows());
    } else {
        addData(given ? *given : currentRows());
    }
}

BoardRows BoardEngine::currentRows() {
    return m_source ? m_source->rows() : m_fixedRows;
}

void BoardEngine::requestCurrencyRefresh() {
    m_refreshTimer->start();
}

void BoardEngine::refreshCurrencies() {
    if (m_motion == TableMotion::Page)
        getData1(currentRows());
    else
        addData(currentRows());
}

void BoardEngine::addData(const BoardRows& rows) {
    RowColouring colouring = rows.colouring;
    if (m_profile.fixedRowCount) {
        // The preview leaves the rows in their laid-out colour, as a monitor without
        // colouring does.
        colouring.monitor = true;
        colouring.alarms = false;
    }
    const QVector<RateRow>& recs = rows.rates;
    for (int i = 0; i < recs.size() && i < m_totRow; ++i)
        drawRecord(i, recs[i], colouring);
}

void BoardEngine::getData1(const BoardRows& rows) {
    const QVector<RateRow>& recs = rows.rates;
    m_page.pageCount = Database::pageCount(int(recs.size()), m_pgSize);
    const int first = (m_page.currentPage - 1) * m_pgSize;
    int i = 0;
    for (; i < m_pgSize && first + i < recs.size(); ++i) {
        if (first + i < 0)
            continue;
        drawRecord(i, recs[first + i], rows.colouring);
    }
    // A short last page keeps the rows of the page before below its own; they still
    // show that currency's rate as the database holds it now.
    for (; i < m_rows.size(); ++i) {
        const qint64 key = m_rows[i].key;
        if (key == 0)
            continue;
        const RateRow* found = nullptr;
        for (const RateRow& r : recs)
            if (r.key == key) {
                found = &r;
                break;
            }
        if (found) {
            drawRecord(i, *found, rows.colouring);
            continue;
        }
        // No longer active: its row still stands on the board.
        if (m_source) {
            if (const auto gone = m_source->rate(key))
                drawRecord(i, *gone, rows.colouring);
        }
    }
}

void BoardEngine::drawRecord(int row, const RateRow& r, const RowColouring& colouring) {
    if (row < 0 || row >= m_rows.size())
        return;
    Row& target = m_rows[row];
    target.key = r.key;
    QColor bg = target.bg;
    if (colouring.monitor) {
        if (colouring.alarms) {
            const QString& state = r.vstate;
            bg = state == QLatin1String("N")   ? m_theme.rowbgcolor
                 : state == QLatin1String("H") ? colouring.high
                                               : colouring.low;
        }
    } else {
        bg = m_theme.rowbgcolor;
    }
    const QString& img = r.img;
    bool same = bg == target.bg && img == target.img && target.filled;
    for (int j = 0; j < 6 && same; ++j)
        same = r.text[j] == target.text[j];
    if (same)
        return;
    for (int j = 0; j < 6; ++j)
        target.text[j] = r.text[j];
    target.img = img;
    target.bg = bg;
    target.filled = true;
    target.dirty = true;
    // A row far off the table is drawn when it comes near.
    if (rowNearView(row))
        renderRow(target);
    else
        spareRowImage(target);
    m_rowsChanged = true;
    if (!m_composeView)
        markDirty(ZoneTable);
}

bool BoardEngine::rowNearView(int v) const {
    // Pages and tables that do not scroll show every row they have.
    if (!m_composeView || v < 0 || !m_geo.overflows(int(m_rows.size())))
        return true;
    const QVector<double>& tops = m_scroll.tops();
    if (v >= tops.size())
        return true;
    const double margin = kRowsAhead * double(m_geo.rowStep) + qAbs(m_currScroll);
    return tops[v] + m_geo.rowHeight > -margin && tops[v] < m_geo.fg.height() + margin;
}

void BoardEngine::spareRowImage(Row& row) {
    // A row leaving hands its picture to the next one entering: on a large screen a
    // fresh picture costs the system's page faults and zeroing every time.
    if (!row.image.isNull() && m_spareRows.size() < kSpareRows)
        m_spareRows.append(row.image);
    row.image = QImage();
    row.turned = QImage();
}

void BoardEngine::cacheRows() {
    // Rows leaving drop their picture; rows about to enter are drawn ahead of time.
    for (int v = 0; v < m_rows.size(); ++v) {
        Row& row = m_rows[v];
        if (!rowNearView(v))
            spareRowImage(row);
        else if (row.image.isNull() || row.dirty)
            renderRow(row);
    }
}

const QImage& BoardEngine::rowImage(int row) const {
    static const QImage none;
    return row >= 0 && row < m_rows.size() ? m_rows[row].image : none;
}

int BoardEngine::cachedRowCount() const {
    int n = 0;
    for (const Row& row : m_rows)
        n += row.image.isNull() ? 0 : 1;
    return n;
}

QImage BoardEngine::flagImage(const QString& path, const QSize& size) {
    if (path.isEmpty() || size.isEmpty())
        return QImage();
    auto it = m_flags.constFind(path);
    if (it != m_flags.constEnd() && (it->isNull() || it->size() == size))
        return *it;
    const QImage img = stretched(readPicture(path), size);
    m_flags.insert(path, img);
    return img;
}

QImage BoardEngine::rowPicture(const QSize& size) {
    if (m_rowPictureSource.isNull() || size.isEmpty())
        return QImage();
    // One stretched copy per cell size (the name and the value columns differ).
    const qint64 key = (qint64(size.width()) << 32) | quint32(size.height());
    auto it = m_rowPictures.constFind(key);
    if (it != m_rowPictures.constEnd())
        return *it;
    const QImage img = stretched(m_rowPictureSource, size);
    m_rowPictures.insert(key, img);
    return img;
}

void BoardEngine::renderRow(Row& row) {
    row.dirty = false;
    row.turned = QImage();
    // Only the part the frame can show: a zone may reach far beyond the screen.
    const int width = qMin(m_fgPx.width(), qMax(0, m_frame.width() - m_fgPx.left()));
    const int height = qMin(m_rowPx, m_frame.height());
    if (width <= 0 || height <= 0) {
        row.image = QImage();
        return;
    }
    if (!row.image.isNull() && row.image.size() != QSize(width, height))
        row.image = QImage();
    while (row.image.isNull() && !m_spareRows.isEmpty()) {
        QImage spare = m_spareRows.takeLast();
        if (spare.size() == QSize(width, height))
            row.image = spare;
    }
    if (row.image.isNull())
        // Rows are opaque: drawn without blending, which counts on a 4K board.
        row.image = newImage(width, height).convertToFormat(QImage::Format_RGB32);
    if (row.image.isNull())
        return;
    const BoardTheme& t = m_theme;
    QPainter p(&row.image);
    // The line colour between and after the cells; each cell fills its own.
    QRegion lines(row.image.rect());
    const QFont nameFont = boardFont(t.fntcrr, t.sizecrr, true, false, m_pm);
    const QFont valueFont = boardFont(t.fntval, t.sizeval, true, false, m_pm);
    for (int c = 0; c < 7; ++c) {
        const int x0 = m_pm.px(m_geo.cellLeft[c]);
        const int x1 = m_pm.px(qint64(m_geo.cellLeft[c]) + m_geo.cellWidth[c]);
        if (x1 <= x0)
            continue;
        if (x0 >= width)
            break;
        const QRect cell(x0, 0, x1 - x0, height);
        lines -= cell;
        if (c == 0) {
            p.fillRect(cell, t.rowbgcolor);
            const QImage flag = flagImage(row.img, cell.size());
            if (!flag.isNull())
                p.drawImage(cell.topLeft(), flag);
            continue;
        }
        p.fillRect(cell, row.bg);
        const QImage pic = rowPicture(cell.size());
        if (!pic.isNull())
            p.drawImage(cell.topLeft(), pic);
        p.save();
        p.setClipRect(cell);
        const QFont& f = c == 1 ? nameFont : valueFont;
        p.setFont(f);
        p.setPen(c == 1 ? t.clrcrr : t.clrval);
        p.drawText(x0, QFontMetrics(f).ascent(), QLatin1Char(' ') + row.text[c - 1]);
        p.restore();
    }
    for (const QRect& r : lines)
        p.fillRect(r, t.linecolor);
}

QString BoardEngine::rowText(int row, int cell) const {
    if (row < 0 || row >= m_rows.size() || cell < 0 || cell > 5)
        return QString();
    return m_rows[row].text[cell];
}

QColor BoardEngine::rowColor(int row) const {
    return row >= 0 && row < m_rows.size() ? m_rows[row].bg : QColor();
}

// ---- ticker -----------------------------------------------------------------------

void BoardEngine::buildTicker() {
    const BoardTheme& t = m_theme;
    // The preview's BGimage is its window's background; its strip keeps a plain
    // box's own light grey, on which the usual dark news text reads.
    m_nimgPath = m_profile.naturalBackground ? QString() : t.bgImage;
    m_stripColor = m_profile.naturalBackground ? QColor(240, 240, 240) : t.sbg;
    m_stripSource = m_nimgPath.isEmpty() ? QImage() : readPicture(m_nimgPath);
    m_stripImage = stretched(m_stripSource, m_stripPx.size());
    const QRect strip = zoneRect(t, BoardTheme::News, m_profile);
    m_ticker.setStrip(strip.width(), m_pm.twipsPerPixel);
    m_ticker.unload();
    m_ticker.placeAnchorRight();
    m_messages.clear();
}

QVector<int> BoardEngine::loadTrain(TickerMotion::Train train) {
    const QVector<NewsLine> lines = m_source ? m_source->news(train) : m_fixedNews[train];
    m_messages.clear();
    QVector<int> widths;
    const int h = m_stripPx.height();
    for (const NewsLine& line : lines) {
        Message m;
        m.text = line.text;
        const QFont f =
            boardFont(line.fontName, line.fontSize, line.bold, line.italic, m_pm);
        const QFontMetrics fm(f);
        const int w = qMin(kMaxImageSide, fm.horizontalAdvance(m.text));
        widths.append(int(std::lround(m_pm.twips(w))));
        // Filled with the strip first, so opaque: drawn without blending.
        m.image = newImage(w, h).convertToFormat(QImage::Format_RGB32);
        if (!m.image.isNull()) {
            // Every element starts with the left part of the strip's picture.
            if (!m_stripImage.isNull()) {
                m.image.fill(m_stripColor);
                QPainter bp(&m.image);
                bp.drawImage(0, 0, m_stripImage);
            } else {
                m.image.fill(m_stripColor);
            }
            QPainter p(&m.image);
            p.setFont(f);
            p.setPen(line.colour);
            p.drawText(0, fm.ascent(), m.text);
        }
        m_messages.append(m);
    }
    m_tickerMoved = true;
    return widths;
}

void BoardEngine::getSnews() {
    m_ticker.placeAnchorRight();
    m_ticker.build(TickerMotion::LeftTrain);
    m_tickerMoved = true;
    markDirty(ZoneTicker);
}

void BoardEngine::unloadScrollPictures() {
    m_ticker.unload();
    m_messages.clear();
    m_tickerMoved = true;
    markDirty(ZoneTicker);
}

void BoardEngine::setTickerVisible(bool on) {
    m_tickerVisible = on;
    markDirty(ZoneTicker);
}

QString BoardEngine::tickerMessage(int element) const {
    if (element <= 0 || element >= m_ticker.count())
        return QString();
    const int m = m_ticker.element(element).message;
    return m >= 0 && m < m_messages.size() ? m_messages[m].text : QString();
}

// ---- ticks ------------------------------------------------------------------------

void BoardEngine::tick(int n) {
    switch (n) {
    case 1:
        timer1();
        break;
    case 2:
        if (m_titleVisible) {
            m_marquee.tick(m_titleWidthTw, zoneRect(m_theme, BoardTheme::Title, m_profile).width(),
                           m_titleStep);
            markDirty(ZoneTitle);
        }
        break;
    case 3:
        timer3();
        break;
    case 4:
        m_ticker.tickLeft(m_speed);
        m_tickerMoved = true;
        break;
    case 5:
        m_ticker.tickRight(m_speed);
        m_tickerMoved = true;
        break;
    case 6:
        // Compose: the viewer sees the rows where they stand now.
        if (m_rowsChanged || m_composed != m_scroll.tops()) {
            m_composed = m_scroll.tops();
            m_rowsChanged = false;
            markDirty(ZoneTable);
        }
        break;
    case 7:
        m_scroll.tick();
        cacheRows();
        break;
    case 8:
        timer8();
        break;
    case 9:
        if (m_tickerMoved) {
            m_tickerMoved = false;
            if (m_tickerVisible)
                markDirty(ZoneTicker);
        }
        break;
    default:
        break;
    }
}

// ---- painting ---------------------------------------------------------------------

void BoardEngine::paint(QPainter& p, const QRect& clip, bool withTicker) {
    p.save();
    p.setClipRect(clip);
    // Background and footer, around the zones that cover their own pixels whole (the
    // table, a title on its own colour, an opaque ticker): on a large screen every
    // pixel painted twice counts.
    const bool tableShown = m_theme.hasPosition && m_fgPx.intersects(clip);
    QRegion around(clip);
    if (tableShown)
        around -= m_fgPx;
    if (m_titleVisible && m_titleOpaque && m_titleBg.alpha() == 255)
        around -= m_titlePx;
    if (withTicker && m_tickerVisible && m_stripColor.alpha() == 255 &&
        (m_stripImage.isNull() || !m_stripImage.hasAlphaChannel()))
        around -= m_stripPx;
    OpaqueBlit back(p, clip);
    for (const QRect& part : around) {
        if (m_bgPicture && !m_bgImage.isNull()) {
            // A picture smaller than the frame (the preview's) leaves the colour around it.
            const QRect picture = part & m_bgImage.rect();
            if (picture != part)
                back.fill(part, m_bgColor);
            back.draw(QPoint(0, 0), m_bgImage, picture);
        } else {
            back.fill(part, m_bgColor);
        }
    }
    const int footerY = m_pm.px(m_pm.twips(m_frame.height()) - 300);
    if (clip.bottom() >= footerY) {
        p.fillRect(QRect(0, footerY, m_frame.width(), 1), QColor(128, 128, 128));
        if (!m_footerLabel.isNull())
            p.drawImage(m_frame.width() - m_pm.px(m_footerInset), footerY + 2, m_footerLabel);
    }

    // Rate table: the zone in the line colour, then every row where it stands.
    const QRect table = m_fgPx & clip;
    if (tableShown) {
        p.setClipRect(table);
        // On a screen the rows stand where they are at this moment, between two ticks;
        // otherwise where the last composition put them.
        const bool live = m_present.live && m_composeView;
        const QVector<double>& tops = live            ? m_scroll.tops()
                                      : m_composeView ? m_composed
                                                      : m_scroll.tops();
        const double ahead = live ? m_present.table * m_currScroll : 0.0;
        // Rows are opaque: the line colour fills only the gaps they leave, and
        // neither shows under an opaque header.
        QRegion hidden;
        for (int k = 0; k < 6; ++k)
            if (m_headerImage[k].format() == QImage::Format_RGB32)
                hidden += QRect(m_headerPx[k].topLeft(), m_headerImage[k].size()) & table;
        QRegion gaps = QRegion(table) - hidden;
        QVarLengthArray<std::pair<int, int>, 64> drawn; // row, top
        for (int v = 0; v < m_rows.size() && v < tops.size(); ++v) {
            const Row& row = m_rows[v];
            const double top = tops[v] > -m_geo.rowHeight ? tops[v] - ahead : tops[v];
            const int y = m_fgPx.top() + m_pm.px(top);
            if (y >= table.bottom() + 1 || y + m_rowPx <= table.top())
                continue;
            if (row.image.isNull()) {
                // A row no record has been drawn into yet: its empty cells.
                Row& r = m_rows[v];
                renderRow(r);
            }
            if (!row.image.isNull()) {
                drawn.append({v, y});
                gaps -= QRect(QPoint(m_fgPx.left(), y), row.image.size());
            }
        }
        OpaqueBlit blit(p, table);
        for (const QRect& gap : gaps)
            blit.fill(gap, m_theme.linecolor);
        for (const auto& [v, y] : drawn) {
            Row& row = m_rows[v];
            const QRect at(QPoint(m_fgPx.left(), y), row.image.size());
            if (!hidden.intersects(at)) {
                blit.draw(at.topLeft(), row.image, QRect(), &row.turned);
                continue;
            }
            for (const QRect& part : QRegion(at) - hidden)
                blit.draw(at.topLeft(), row.image, part, &row.turned);
        }
        p.setClipRect(clip);
    }
    for (int k = 0; k < 6; ++k)
        if (!m_headerImage[k].isNull() && m_headerPx[k].intersects(clip))
            p.drawImage(m_headerPx[k].topLeft(), m_headerImage[k]);

    // Title.
    if (m_titleVisible && m_titlePx.intersects(clip)) {
        const QRect r = m_titlePx & clip;
        p.setClipRect(r);
        QRect at; // where the title's picture stands, if anywhere
        if (!m_titleImage.isNull()) {
            if (m_titleMarquee) {
                if (m_marquee.drawn) {
                    double x = m_marquee.xpos;
                    if (m_present.live && x > -m_titleWidthTw)
                        x -= m_present.title * m_titleStep;
                    at = QRect(QPoint(m_titlePx.left() + m_pm.px(x), m_titlePx.top()),
                               m_titleImage.size());
                }
            } else {
                const int x = m_profile.titleFromLeft
                                  ? 0
                                  : (m_titlePx.width() - m_titleImage.width() + 1) / 2;
                at = QRect(QPoint(m_titlePx.left() + x, m_titlePx.top()), m_titleImage.size());
            }
        }
        // A title drawn on its colour covers its own part of the zone.
        const bool covers = m_titleImage.format() == QImage::Format_RGB32;
        OpaqueBlit blit(p, r);
        if (m_titleOpaque)
            for (const QRect& part : covers ? QRegion(r) - at : QRegion(r))
                blit.fill(part, m_titleBg);
        if (!at.isNull())
            blit.draw(at.topLeft(), m_titleImage, QRect(), &m_titleTurned);
        p.setClipRect(clip);
    }

    // Clock.
    if (!m_clockImage.isNull() && m_timePx.intersects(clip))
        p.drawImage(m_timePx.topLeft(), m_clockImage);

    // Ticker.
    if (withTicker && m_tickerVisible && m_stripPx.intersects(clip)) {
        p.save();
        p.setClipRect(m_stripPx & clip);
        p.translate(m_stripPx.topLeft());
        paintTicker(p, (m_stripPx & clip).translated(-m_stripPx.topLeft()));
        p.restore();
    }

    if (!m_mediaImage.isNull() && m_mediaPx.intersects(clip))
        p.drawImage(m_mediaPx.topLeft(), m_mediaImage);

    // Logo, in front of everything.
    if (!m_logoImage.isNull() && m_logoPx.intersects(clip))
        p.drawImage(m_logoPx.topLeft(), m_logoImage);
    p.restore();
}

int BoardEngine::tickerElementX(int element) const {
    const TickerMotion::Element& e = m_ticker.element(element);
    const double ahead = m_present.live ? m_present.ticker * m_speed : 0.0;
    return m_pm.px(e.left + (m_ticker.train() == TickerMotion::LeftTrain ? -ahead : ahead));
}

void BoardEngine::paintTicker(QPainter& p, const QRect& within) {
    const QRect strip(QPoint(0, 0), m_stripPx.size());
    OpaqueBlit blit(p, within.isNull() ? strip : within);
    // The messages are opaque: the strip shows only where none stands.
    QRegion open(strip);
    for (int i = 1; i < m_ticker.count(); ++i) {
        const TickerMotion::Element& e = m_ticker.element(i);
        if (e.message < 0 || e.message >= m_messages.size())
            continue;
        Message& m = m_messages[e.message];
        const int x = tickerElementX(i);
        if (m.image.isNull() || x >= strip.width() || x + m.image.width() <= 0)
            continue;
        blit.draw(QPoint(x, 0), m.image, QRect(), &m.turned);
        open -= QRect(QPoint(x, 0), m.image.size());
    }
    for (const QRect& part : open) {
        if (!m_stripImage.isNull())
            blit.draw(QPoint(0, 0), m_stripImage, part);
        else
            blit.fill(part, m_stripColor);
    }
}

} // namespace quoteria
