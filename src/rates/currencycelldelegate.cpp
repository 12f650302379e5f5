#include "rates/currencycelldelegate.h"

#include "gui/named.h"
#include "rates/currencytablemodel.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>

namespace quoteria {

namespace {
// Keys the box has no use for end here: passed on up, they would reach the grid,
// which sends them back while editing or moves the cell under the editor.
class CellEditor : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        QLineEdit::keyPressEvent(event);
        event->accept();
    }
};
} // namespace

CurrencyCellDelegate::CurrencyCellDelegate(QAbstractItemView* view)
    : QStyledItemDelegate(view), m_view(view) {
    // One editor for the life of the grid: borderless, the grid's font, hidden.
    m_editor = named(new CellEditor(view->viewport()), "Text1");
    m_editorObject = m_editor.data();
    m_editor->setFrame(false);
    m_editor->setFont(view->font());
    m_editor->setMaxLength(1 << 20);
    m_editor->hide();

    view->installEventFilter(this);
    connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (CurrencyTableModel::isEditableColumn(index.column()))
            startEditing(index, true, QString());
        else
            Q_EMIT openRequested(index);
    });
    // A changed picture file is read again after the next reload.
    if (view->model())
        connect(view->model(), &QAbstractItemModel::modelReset, this, [this] { ++m_reloads; });
}

bool CurrencyCellDelegate::editorChanged() const {
    return m_open && m_index.isValid() && m_editor->text() != m_index.data(Qt::EditRole).toString();
}

void CurrencyCellDelegate::startEditing(const QModelIndex& index, bool copyCell,
                                        const QString& first) {
    if (m_open || !index.isValid() || !(index.flags() & Qt::ItemIsEditable))
        return;
    m_view->scrollTo(index);
    m_view->edit(index);
    if (!m_open)
        return;
    // After the view's own start, which selects all of the text.
    if (copyCell) {
        m_editor->setText(index.data(Qt::EditRole).toString());
        m_editor->selectAll();
    } else {
        m_editor->setText(first);
        m_editor->end(false);
    }
}

void CurrencyCellDelegate::finishEditing(bool keep) {
    if (!m_open)
        return;
    if (keep)
        Q_EMIT commitData(m_editor);
    Q_EMIT closeEditor(m_editor, keep ? NoHint : RevertModelCache);
}

void CurrencyCellDelegate::commitOpenEditor() {
    finishEditing(true);
}

void CurrencyCellDelegate::cancelOpenEditor() {
    finishEditing(false);
}

QWidget* CurrencyCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                            const QModelIndex& index) const {
    if (m_editor->parentWidget() != parent)
        m_editor->setParent(parent);
    m_open = true;
    m_index = index;
    return m_editor;
}

void CurrencyCellDelegate::setEditorData(QWidget*, const QModelIndex&) const {
    // The text is set as editing starts; later it is the operator's, whatever the
    // model says meanwhile.
}

void CurrencyCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                        const QModelIndex& index) const {
    model->setData(index, static_cast<QLineEdit*>(editor)->text(), Qt::EditRole);
}

void CurrencyCellDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                                const QModelIndex&) const {
    editor->setGeometry(option.rect);
}

void CurrencyCellDelegate::destroyEditor(QWidget* editor, const QModelIndex&) const {
    // Kept for the next cell; the view has already hidden it.
    editor->hide();
    m_open = false;
    m_index = QPersistentModelIndex();
}

bool CurrencyCellDelegate::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        if (m_open) {
            // Keys typed faster than the focus moved still belong to the editor.
            QCoreApplication::sendEvent(m_editor, event);
            return true;
        }
        auto* key = static_cast<QKeyEvent*>(event);
        const QModelIndex current = m_view->currentIndex();
        if (!current.isValid())
            return false;
        switch (CurrencyTableModel::keyStart(current.column(), key->key(), key->modifiers(),
                                             key->text())) {
        case CurrencyTableModel::KeyStart::None:
            return false;
        case CurrencyTableModel::KeyStart::Typed:
            startEditing(current, false, key->text().left(1));
            return true;
        case CurrencyTableModel::KeyStart::CopyCell:
            startEditing(current, true, QString());
            return true;
        }
        return false;
    }
    // The view is watched for keys only; the base class would take it for an editor.
    if (watched == m_view)
        return false;
    if (watched != m_editorObject || !m_open)
        return QStyledItemDelegate::eventFilter(watched, event);

    if (event->type() == QEvent::ShortcutOverride) {
        // Ctrl+S belongs to the editor while it is open.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_S && (key->modifiers() & Qt::ControlModifier)) {
            event->accept();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_S && (key->modifiers() & Qt::ControlModifier)) {
            commitOpenEditor();
            Q_EMIT saveRequested();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            commitOpenEditor();
            return true;
        }
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            // Tab leaves the grid for the window's next control, as from any box.
            const bool next = key->key() == Qt::Key_Tab;
            commitOpenEditor();
            QWidget* w = next ? m_view->nextInFocusChain() : m_view->previousInFocusChain();
            while (w && w != m_view &&
                   !((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled() &&
                     w != m_editor && !m_view->isAncestorOf(w)))
                w = next ? w->nextInFocusChain() : w->previousInFocusChain();
            if (w)
                w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    if (event->type() == QEvent::FocusOut) {
        // Switching to another window keeps the editor open with its text.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

void CurrencyCellDelegate::setFlagSize(const QSize& size) {
    if (size == m_flagSize)
        return;
    m_flagSize = size;
    m_flags.clear();
}

QIcon CurrencyCellDelegate::flagFor(const QString& path) const {
    // Flags repeat across rows and reloads; the file's time is looked at once per
    // reload, so a changed picture is read again.
    Flag& f = m_flags[path];
    if (f.checked == m_reloads)
        return f.icon;
    f.checked = m_reloads;
    const QFileInfo fi(path);
    if (!fi.isFile()) {
        f.icon = QIcon();
        f.modified = 0;
        return f.icon;
    }
    const qint64 modified = fi.lastModified().toMSecsSinceEpoch();
    if (modified == f.modified && !f.icon.isNull())
        return f.icon;
    f.modified = modified;
    f.icon = QIcon();
    QPixmap src;
    if (src.load(path) && m_flagSize.width() > 0 && m_flagSize.height() > 0) {
        QPixmap out(m_flagSize);
        out.fill(Qt::transparent);
        QPainter p(&out);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawPixmap(QRect(QPoint(0, 0), m_flagSize), src);
        p.end();
        f.icon = QIcon(out);
    }
    if (m_flags.size() > 512) {
        const Flag keep = f;
        m_flags.clear();
        m_flags.insert(path, keep);
        return keep.icon;
    }
    return f.icon;
}

void CurrencyCellDelegate::initStyleOption(QStyleOptionViewItem* option,
                                           const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() != CurrencyTableModel::PosCol || m_flagSize.isEmpty())
        return;
    const QString path = index.data(CurrencyTableModel::FlagPathRole).toString();
    if (path.isEmpty())
        return;
    const QIcon flag = flagFor(path);
    if (flag.isNull())
        return;
    option->icon = flag;
    option->decorationSize = m_flagSize;
    option->features |= QStyleOptionViewItem::HasDecoration;
}

} // namespace quoteria
