#include "rates/frmcurlst.h"

#include "data/appcontext.h"
#include "data/database.h"
#include "data/dataevents.h"
#include "data/helpers.h"
#include "data/messageservice.h"
#include "data/settingsstore.h"
#include "rates/currencystore.h"
#include "rates/frmentry.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace quoteria {

namespace {
const QString kDisplay = QStringLiteral("Display");
const QColor kPendingBackground(255, 248, 200);
// Each cell keeps the text it was read with, so typing it back is not a change.
constexpr int kLoadedRole = Qt::UserRole + 1;

template <typename W> W* named(W* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}
} // namespace

FrmCurLst::FrmCurLst(AppContext& ctx, QWidget* parent) : QWidget(parent, Qt::Window), m_ctx(ctx) {
    setObjectName(QStringLiteral("frmCurLst"));
    setWindowTitle(QStringLiteral("Currencty List"));

    m_fg = named(new QTableWidget(this), "FG");
    m_fg->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fg->setSelectionMode(QAbstractItemView::SingleSelection);
    m_fg->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_fg->verticalHeader()->hide();
    m_fg->horizontalHeader()->setMinimumSectionSize(1);
    m_fg->setWordWrap(false);
    m_fg->installEventFilter(this);

    // The floating in-cell editor: borderless, the grid's font, hidden until used.
    m_text1 = named(new QLineEdit(this), "Text1");
    m_text1->setFrame(false);
    m_text1->setFont(m_fg->font());
    m_text1->setMaxLength(1 << 20);
    m_text1->hide();
    m_text1->installEventFilter(this);

    m_chkShowAll = named(new QCheckBox(QStringLiteral("Show All"), this), "chkShowAll");
    m_chkAuto = named(new QCheckBox(QStringLiteral("Auto Update"), this), "chkAuto");
    m_cmbTheme = named(new QComboBox(this), "cmbTheme");
    auto* closeButton = named(new QPushButton(QStringLiteral("&Close"), this), "cmdClose");
    auto* deleteButton = named(new QPushButton(QStringLiteral("&Delete"), this), "cmdDelete");
    auto* editButton = named(new QPushButton(QStringLiteral("&Edit"), this), "cmdEdit");
    auto* addButton = named(new QPushButton(QStringLiteral("&Add New"), this), "cmdAdd");
    auto* saveButton = named(new QPushButton(QStringLiteral("&Save All"), this), "cmdSave");
    auto* revertButton = named(new QPushButton(QStringLiteral("&Revert"), this), "cmdRevert");

    auto* menuBar = new QMenuBar(this);
    QMenu* menu = menuBar->addMenu(QStringLiteral("Menu"));
    menu->setObjectName(QStringLiteral("mnuMenu"));
    QAction* saveAction = menu->addAction(QStringLiteral("Save"));
    saveAction->setObjectName(QStringLiteral("mnuSave"));
    QAction* closeAction = menu->addAction(QStringLiteral("Close"));
    closeAction->setObjectName(QStringLiteral("mnuClose"));

    auto* top = new QHBoxLayout;
    top->addWidget(m_chkShowAll);
    top->addWidget(m_chkAuto);
    top->addStretch();
    top->addWidget(new QLabel(QStringLiteral("Select Theme"), this));
    top->addWidget(m_cmbTheme);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {addButton, editButton, deleteButton, saveButton, revertButton})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addLayout(top);
    layout->addWidget(m_fg, 1);
    layout->addLayout(buttons);

    m_timer = named(new QTimer(this), "Timer1");
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &FrmCurLst::Timer1_Timer);

    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    connect(deleteButton, &QPushButton::clicked, this, &FrmCurLst::deleteCurrency);
    connect(editButton, &QPushButton::clicked, this, &FrmCurLst::editCurrency);
    connect(addButton, &QPushButton::clicked, this, &FrmCurLst::addNew);
    connect(saveButton, &QPushButton::clicked, this, [this] { saveAll(); });
    connect(saveAction, &QAction::triggered, this, [this] { saveAll(); });
    connect(revertButton, &QPushButton::clicked, this, &FrmCurLst::revert);
    connect(m_chkShowAll, &QCheckBox::clicked, this, &FrmCurLst::addFG);
    connect(m_chkAuto, &QCheckBox::clicked, this, [this](bool on) {
        m_ctx.settings.write(kDisplay, QStringLiteral("auto"), QStringLiteral("update"),
                             on ? 1 : 0);
    });
    connect(m_fg, &QTableWidget::cellDoubleClicked, this, [this](int, int col) {
        if (col >= FirstValueCol && col <= LastValueCol)
            startEditing(QString(), true);
        else
            editCurrency();
    });
    connect(m_fg, &QTableWidget::currentCellChanged, this, [this] {
        if (m_editing)
            commitEditor();
    });
    connect(m_fg->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (m_editing)
            commitEditor();
    });
    connect(m_fg->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (m_editing)
            commitEditor();
    });

    formLoad();
}

FrmCurLst::~FrmCurLst() = default;

void FrmCurLst::formLoad() {
    // The refresh timer runs only when the Excel feed is on as the window opens.
    m_ticks = 0;
    if (excelFeedOn(m_ctx.settings))
        m_timer->start();
    else
        m_timer->stop();
    addFG();
    addTheme();
    m_cmbTheme->setCurrentText(m_ctx.settings.read(QStringLiteral("Disp"), QStringLiteral("theme"),
                                                   QStringLiteral("name")));
    m_chkAuto->setChecked(
        m_ctx.settings.readInt(kDisplay, QStringLiteral("auto"), QStringLiteral("update"), 0) != 0);
    const int tpp = qMax(1, m_ctx.session.twipsPerPixel);
    resize(int(m_ctx.settings.readNumber(kDisplay, QStringLiteral("List"), QStringLiteral("width"),
                                         10410)) /
               tpp,
           int(m_ctx.settings.readNumber(kDisplay, QStringLiteral("List"), QStringLiteral("height"),
                                         6330)) /
               tpp);
}

void FrmCurLst::showEvent(QShowEvent* event) {
    // Shown again after a close: start over as a freshly opened window.
    if (m_closed && !event->spontaneous()) {
        m_closed = false;
        formLoad();
    }
    QWidget::showEvent(event);
}

FrmEntry* FrmCurLst::entryWindow() const {
    return m_entry.data();
}

qint64 FrmCurLst::keyOfRow(int row) const {
    const QTableWidgetItem* it = m_fg->item(row, KeyCol);
    return it ? it->text().toLongLong() : 0;
}

void FrmCurLst::setFG() {
    const int tpp = qMax(1, m_ctx.session.twipsPerPixel);
    m_fg->clear();
    m_fg->setRowCount(0);
    m_fg->setColumnCount(ColumnCount);
    const int widths[] = {1, 900, 2000, 1000, 1000, 1000, 1000, 1000, 1000};
    for (int c = 0; c < 9; ++c)
        m_fg->setColumnWidth(c, qMax(1, widths[c] / tpp));
    // "Updated" has the grid's default width, unless a whole time stamp needs more.
    m_fg->setColumnWidth(
        UpdatedCol,
        qMax(m_fg->horizontalHeader()->defaultSectionSize(),
             m_fg->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + 12));
    QStringList labels;
    for (int c = 0; c < ColumnCount; ++c)
        labels << QString();
    const QString theme = m_ctx.settings.read(QStringLiteral("Disp"), QStringLiteral("theme"),
                                              QStringLiteral("name"));
    if (const auto captions = CurrencyStore(m_ctx.db).headerCaptions(themeKeyOf(m_ctx.db, theme))) {
        labels[PosCol] = QStringLiteral("SN.");
        for (int i = 0; i < 6; ++i)
            labels[NameCol + i] = captions->at(i);
        labels[ActiveCol] = QStringLiteral("Active");
        labels[UpdatedCol] = QStringLiteral("Updated");
        labels[LowCol] = QStringLiteral("Low");
        labels[HighCol] = QStringLiteral("High");
    }
    m_fg->setHorizontalHeaderLabels(labels);
    sizeME();
}

QPixmap FrmCurLst::flagFor(const QString& path, const QSize& size) {
    // Flags repeat across reloads; the file's time is part of the key so a changed
    // picture is read again.
    const QFileInfo fi(path);
    if (path.isEmpty() || !fi.isFile())
        return QPixmap();
    const QString key = QStringLiteral("%1|%2|%3x%4")
                            .arg(path)
                            .arg(fi.lastModified().toMSecsSinceEpoch())
                            .arg(size.width())
                            .arg(size.height());
    auto it = m_flags.constFind(key);
    if (it != m_flags.constEnd())
        return *it;
    QPixmap out;
    QPixmap src;
    if (src.load(path) && size.width() > 0 && size.height() > 0) {
        out = QPixmap(size);
        out.fill(Qt::transparent);
        QPainter p(&out);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawPixmap(QRect(QPoint(0, 0), size), src);
    }
    if (m_flags.size() > 512)
        m_flags.clear();
    m_flags.insert(key, out);
    return out;
}

void FrmCurLst::addFG() {
    if (m_editing)
        commitEditor(); // the typed text is kept as a pending value
    const qint64 currentKey = m_fg->currentRow() >= 0 ? keyOfRow(m_fg->currentRow()) : 0;
    const int currentCol = m_fg->currentColumn();

    m_fg->setUpdatesEnabled(false);
    const QSignalBlocker block(m_fg);
    setFG();
    bool ok = false;
    const QVector<CurrencyRow> rows = CurrencyStore(m_ctx.db).list(m_chkShowAll->isChecked(), &ok);
    m_fg->setRowCount(rows.size());
    const int tpp = qMax(1, m_ctx.session.twipsPerPixel);
    const int rowHeight = m_fg->verticalHeader()->defaultSectionSize();
    // Flag picture: (column 1 width - 500) x (row height - 100) twips.
    const QSize flagSize(qMax(0, m_fg->columnWidth(PosCol) - 500 / tpp),
                         qMax(0, rowHeight - 100 / tpp));
    m_fg->setIconSize(flagSize);
    int restoreRow = -1;
    for (int r = 0; r < rows.size(); ++r) {
        const CurrencyRow& c = rows.at(r);
        QString texts[ColumnCount];
        texts[KeyCol] = QString::number(c.key);
        texts[PosCol] = c.pos;
        texts[NameCol] = c.name;
        for (int i = 0; i < 5; ++i)
            texts[FirstValueCol + i] = c.values.at(i);
        texts[ActiveCol] = c.isActive() ? QStringLiteral("Yes") : QStringLiteral("No");
        texts[UpdatedCol] = c.updateTime;
        texts[LowCol] = c.low;
        texts[HighCol] = c.high;
        const auto pending = m_pending.constFind(c.key);
        for (int col = 0; col < ColumnCount; ++col) {
            auto* item = new QTableWidgetItem(texts[col]);
            item->setData(kLoadedRole, texts[col]);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            if (pending != m_pending.constEnd() && pending->contains(col)) {
                item->setText(pending->value(col));
                item->setBackground(kPendingBackground);
            }
            m_fg->setItem(r, col, item);
        }
        if (!c.img.isEmpty()) {
            const QPixmap flag = flagFor(c.img, flagSize);
            if (!flag.isNull())
                m_fg->item(r, PosCol)->setIcon(QIcon(flag));
        }
        if (c.key == currentKey)
            restoreRow = r;
    }
    // Pending values of rows no longer listed are kept: they show again with
    // "Show All" and are dropped only by "&Revert" or a save.
    if (restoreRow >= 0 && currentCol >= 0)
        m_fg->setCurrentCell(restoreRow, currentCol);
    m_fg->setUpdatesEnabled(true);
}

void FrmCurLst::addTheme() {
    m_cmbTheme->clear();
    bool ok = false;
    QSqlQuery q = m_ctx.db.exec(QStringLiteral("select themename from tbltheme"), {}, &ok);
    while (ok && q.next())
        m_cmbTheme->addItem(q.value(0).toString());
}

void FrmCurLst::sizeME() {
    const int tpp = qMax(1, m_ctx.session.twipsPerPixel);
    int u = (m_fg->width() - 900 / tpp) / 11;
    if (u <= 0)
        return;
    // The twips widths suit a small bitmap font; with today's fonts a rate in the
    // usual format would be cut off, so the value columns keep room for one and the
    // grid scrolls sideways instead.
    u = qMax(u, m_fg->fontMetrics().horizontalAdvance(QStringLiteral("000.00000")) + 12);
    for (int c : {3, 4, 5, 6, 7, 8, 10, 11})
        m_fg->setColumnWidth(c, u);
    m_fg->setColumnWidth(NameCol, u + u / 2);
    if (m_editing)
        commitEditor();
}

void FrmCurLst::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    sizeME();
}

bool FrmCurLst::hasUnsavedWork() const {
    if (!m_pending.isEmpty())
        return true;
    const QTableWidgetItem* item =
        m_editing && m_editCol >= FirstValueCol ? m_fg->item(m_editRow, m_editCol) : nullptr;
    return item && item->text() != m_text1->text();
}

// Typed values are dropped only when the operator says so.
bool FrmCurLst::settleUnsavedWork() {
    if (m_editing)
        commitEditor();
    if (m_pending.isEmpty())
        return true;
    const MsgAnswer a =
        messages().askYesNoCancel(QStringLiteral("Some typed values are not saved. Save them now?"),
                                  QString(), MsgIcon::Question);
    if (a == MsgAnswer::Cancel)
        return false;
    if (a == MsgAnswer::Yes) {
        if (!saveAll())
            return false;
        // Values of currencies deleted meanwhile cannot be saved any more.
        m_pending.clear();
        return true;
    }
    revert();
    return true;
}

void FrmCurLst::closeEvent(QCloseEvent* event) {
    if (!settleUnsavedWork()) {
        event->ignore();
        return;
    }
    m_timer->stop();
    m_closed = true;
    const int tpp = qMax(1, m_ctx.session.twipsPerPixel);
    m_ctx.settings.write(kDisplay, QStringLiteral("List"), QStringLiteral("width"),
                         double(width() * tpp));
    m_ctx.settings.write(kDisplay, QStringLiteral("List"), QStringLiteral("height"),
                         double(height() * tpp));
    QWidget::closeEvent(event);
}

bool FrmCurLst::editorVisible() const {
    return m_text1->isVisible();
}

int FrmCurLst::pendingCount() const {
    int n = 0;
    for (const auto& cols : m_pending)
        n += cols.size();
    return n;
}

void FrmCurLst::startEditing(const QString& first, bool copyCell) {
    const int row = m_fg->currentRow();
    const int col = m_fg->currentColumn();
    if (row < 0 || col < FirstValueCol || col > LastValueCol)
        return;
    QTableWidgetItem* item = m_fg->item(row, col);
    m_fg->scrollToItem(item);
    const QRect cell = m_fg->visualItemRect(item);
    m_text1->setGeometry(QRect(m_fg->viewport()->mapTo(this, cell.topLeft()), cell.size()));
    m_editRow = row;
    m_editCol = col;
    m_editing = true;
    m_text1->show();
    m_text1->raise();
    m_text1->setFocus(Qt::OtherFocusReason);
    if (copyCell) {
        m_text1->setText(item ? item->text() : QString());
        m_text1->selectAll();
    } else {
        m_text1->setText(first);
        m_text1->end(false);
    }
}

void FrmCurLst::commitEditor() {
    if (!m_editing)
        return;
    m_editing = false;
    const QString text = m_text1->text();
    m_text1->hide();
    if (m_editCol < FirstValueCol || m_editRow < 0 || m_editRow >= m_fg->rowCount())
        return;
    QTableWidgetItem* item = m_fg->item(m_editRow, m_editCol);
    if (!item || item->text() == text)
        return;
    item->setText(text);
    const qint64 key = keyOfRow(m_editRow);
    // Typed back to what was read: nothing left to save in that cell.
    if (text == item->data(kLoadedRole).toString()) {
        item->setBackground(QBrush());
        auto row = m_pending.find(key);
        if (row != m_pending.end()) {
            row->remove(m_editCol);
            if (row->isEmpty())
                m_pending.erase(row);
        }
        return;
    }
    item->setBackground(kPendingBackground);
    m_pending[key][m_editCol] = text;
}

void FrmCurLst::dropEditor() {
    m_editing = false;
    m_text1->hide();
    m_fg->setFocus(Qt::OtherFocusReason);
}

bool FrmCurLst::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_fg && event->type() == QEvent::KeyPress && !m_editing) {
        auto* key = static_cast<QKeyEvent*>(event);
        const int col = m_fg->currentColumn();
        const QString text = key->text();
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (col >= FirstValueCol && col <= LastValueCol && m_fg->currentRow() >= 0 &&
            !text.isEmpty() && !tab) {
            const QChar ch = text.at(0);
            const bool control = key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
            if (!control && ch > QLatin1Char(' ') && ch != QChar(0x7f))
                startEditing(text.left(1), false);
            else
                startEditing(QString(), true); // space or a control key
            return true;
        }
    }
    if (watched == m_fg && event->type() == QEvent::KeyPress && m_editing) {
        // Keys typed faster than the focus moved still belong to the editor.
        QCoreApplication::sendEvent(m_text1, event);
        return true;
    }
    if (watched == m_fg && event->type() == QEvent::FocusIn && m_editing)
        commitEditor();
    if (watched == m_text1 && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            dropEditor();
            return true;
        }
        if (key->key() == Qt::Key_S && (key->modifiers() & Qt::ControlModifier)) {
            commitEditor();
            m_fg->setFocus(Qt::OtherFocusReason);
            saveAll();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            commitEditor();
            m_fg->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    if (watched == m_text1 && event->type() == QEvent::ShortcutOverride) {
        // Ctrl+S belongs to the editor while it is open.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_S && (key->modifiers() & Qt::ControlModifier)) {
            event->accept();
            return true;
        }
    }
    if (watched == m_text1 && event->type() == QEvent::FocusOut) {
        // Switching to another window keeps the editor open with its text.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            commitEditor();
    }
    return QWidget::eventFilter(watched, event);
}

bool FrmCurLst::saveAll() {
    if (m_editing)
        commitEditor();
    QVector<CurrencyStore::Edit> edits;
    edits.reserve(m_fg->rowCount());
    for (int r = 0; r < m_fg->rowCount(); ++r) {
        const qint64 key = keyOfRow(r);
        if (key == 0)
            continue;
        CurrencyStore::Edit e{key, {}};
        for (int c = FirstValueCol; c <= LastValueCol; ++c)
            e.values << (m_fg->item(r, c) ? m_fg->item(r, c)->text() : QString());
        edits.append(e);
    }
    // Typed values of rows the grid no longer lists ("Show All" cleared) are saved
    // too, over the row's stored values.
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it) {
        if (std::any_of(edits.cbegin(), edits.cend(),
                        [&](const CurrencyStore::Edit& e) { return e.key == it.key(); }))
            continue;
        const auto row = CurrencyStore(m_ctx.db).find(it.key());
        if (!row)
            continue;
        CurrencyStore::Edit e{it.key(), row->values};
        for (auto c = it->cbegin(); c != it->cend(); ++c)
            if (c.key() >= FirstValueCol && c.key() <= LastValueCol)
                e.values[c.key() - FirstValueCol] = c.value();
        edits.append(e);
    }
    const auto res = CurrencyStore(m_ctx.db).saveValues(edits, valueFormat(m_ctx.settings));
    if (!res.ok) {
        // Nothing was written; the typed values stay in the grid.
        messages().show(res.error);
        return false;
    }
    // Typed values of currencies deleted meanwhile cannot be saved: say so.
    QStringList lost;
    for (qint64 key : res.missingKeys)
        if (m_pending.contains(key))
            for (int r = 0; r < m_fg->rowCount(); ++r)
                if (keyOfRow(r) == key)
                    lost << m_fg->item(r, NameCol)->text();
    for (const auto& e : edits)
        m_pending.remove(e.key);
    addFG();
    if (!lost.isEmpty())
        messages().show(
            QStringLiteral("These currencies were deleted meanwhile; their typed values "
                           "were not saved:\r\n%1")
                .arg(lost.join(QStringLiteral("\r\n"))));
    Q_EMIT m_ctx.events.currenciesChanged();
    return true;
}

void FrmCurLst::revert() {
    if (m_editing)
        dropEditor();
    m_pending.clear();
    addFG();
}

qint64 FrmCurLst::selectedKeyForAdmin() const {
    if (!m_ctx.session.isAdmin())
        return 0;
    const int row = m_fg->currentRow();
    return row >= 0 ? keyOfRow(row) : 0;
}

void FrmCurLst::deleteCurrency() {
    const qint64 key = selectedKeyForAdmin();
    if (key == 0)
        return;
    if (messages().ask(QStringLiteral("Do you want to delete ")) != MsgAnswer::Yes)
        return;
    QString error;
    if (!CurrencyStore(m_ctx.db).remove(key, &error)) {
        messages().show(error);
        return;
    }
    m_pending.remove(key);
    addFG();
    Q_EMIT m_ctx.events.currenciesChanged();
}

FrmEntry* FrmCurLst::openEntry() {
    // One entry window at a time; it destroys itself on "Save" and "&Close", so
    // each new one starts empty.
    if (!m_entry) {
        m_entry = new FrmEntry(m_ctx, this);
        connect(m_entry, &FrmEntry::saved, this, &FrmCurLst::addFG);
    }
    m_entry->show();
    m_entry->raise();
    m_entry->activateWindow();
    return m_entry;
}

void FrmCurLst::editCurrency() {
    const qint64 key = selectedKeyForAdmin();
    if (key == 0)
        return;
    FrmEntry* entry = openEntry();
    entry->setRef(QString::number(key));
    entry->getData();
}

void FrmCurLst::addNew() {
    if (!m_ctx.session.isAdmin())
        return;
    openEntry();
}

void FrmCurLst::Timer1_Timer() {
    if (m_ticks < 30) {
        ++m_ticks;
        return;
    }
    m_ticks = 0;
    if (!m_editing && m_chkAuto->isChecked())
        addFG();
}

} // namespace quoteria
