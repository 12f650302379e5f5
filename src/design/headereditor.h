#pragma once
// The table header editor (frmHeader, "Header Details"): the captions over the
// board's rate table columns and the flag column's spacer, one row per theme.
// Typing is published as a draft so an open preview shows it at once.
#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;

namespace quoteria {

struct AppContext;

class HeaderEditor : public QWidget {
    Q_OBJECT
public:
    explicit HeaderEditor(AppContext& ctx, QWidget* owner = nullptr);

    // The theme's key as the hidden label's text.
    QLabel* lblRef() const { return m_lblRef; }
    qint64 themeKey() const;
    // Fills the fields from the theme's header row; without one they stay empty.
    void getData();
    // Writes the fields as the theme's one header row (overwritten or added).
    // Nothing without a key. False after reporting a database failure.
    bool saveData();
    bool updateData() { return saveData(); }
    // The Save button: checks the fields, writes, closes. False when the window
    // stays open (a refusal or a failure, already reported).
    bool save();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void publishDraft();

    AppContext& m_ctx;
    QLabel* m_lblRef;
    // Text1 ... Text7: head1 ... head7.
    QLineEdit* m_text[7];
};

// Opens the one header editor for theme `key`, owned by `owner`. An editor open
// for another theme is closed first.
HeaderEditor* showHeaderEditor(QPointer<HeaderEditor>& slot, AppContext& ctx, qint64 key,
                               QWidget* owner);

} // namespace quoteria
