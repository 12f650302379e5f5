#pragma once
// Typing into the currency grid: a printable key, space or a double-click on a value
// cell opens the one in-cell editor ("Text1"), Escape drops the typing, Return and
// leaving the cell write it to the model, Ctrl+S writes it and asks for a save.
// Also draws the flag pictures of the position column.
#include <QHash>
#include <QIcon>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QSize>
#include <QStyledItemDelegate>

class QAbstractItemView;

namespace quoteria {

class CurrencyCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Watches the view's keys and double-clicks; the view must have its model.
    explicit CurrencyCellDelegate(QAbstractItemView* view);

    QLineEdit* editor() const { return m_editor; }
    bool isEditing() const { return m_open; }
    // Open, with text that differs from the cell's.
    bool editorChanged() const;
    // Writes the open editor's text to the model and closes it.
    void commitOpenEditor();
    // Closes the open editor, dropping its text.
    void cancelOpenEditor();

    // Flags are scaled to this size; an empty size draws none.
    void setFlagSize(const QSize& size);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;

Q_SIGNALS:
    // Ctrl+S in the editor, after its text went to the model.
    void saveRequested();
    // A double-click on a cell that is not typed into.
    void openRequested(const QModelIndex& index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    void startEditing(const QModelIndex& index, bool copyCell, const QString& first);
    void finishEditing(bool keep);
    QIcon flagFor(const QString& path) const;

    QAbstractItemView* m_view;
    QPointer<QLineEdit> m_editor;
    // The same object, compared by identity only: while the editor is being destroyed
    // it is no longer a QLineEdit, and reading m_editor then would be a bad downcast.
    const QObject* m_editorObject = nullptr;
    mutable bool m_open = false;
    mutable QPersistentModelIndex m_index;

    QSize m_flagSize;
    struct Flag {
        qint64 modified = 0;
        int checked = -1; // the reload the file's time was last looked at
        QIcon icon;
    };
    mutable QHash<QString, Flag> m_flags;
    int m_reloads = 0;
};

} // namespace quoteria
