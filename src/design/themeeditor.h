#pragma once
// "Create Theme": adds a theme or edits one, and opens the per-theme editors. The
// key of the theme being edited travels in the hidden label lblRef (empty for a
// theme not saved yet).
#include "design/themerules.h"
#include "gui/unsavedwork.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quoteria {

struct AppContext;
class ClockPicker;
class ColorSwatch;
class ScrollSettingsWindow;

class ThemeEditor : public QWidget, public UnsavedWork {
    Q_OBJECT
public:
    explicit ThemeEditor(AppContext& ctx, QWidget* parent = nullptr);
    ~ThemeEditor() override;

    // The key being edited; empty text for a new theme.
    QLabel* lblRef() const { return m_lblRef; }
    qint64 themeKey() const;
    // Loads the theme named by lblRef; without such a row the form stays as it is.
    void getData();
    // A new theme: no key, every control at its initial value, layout kind free.
    void newTheme();
    // Add the row / overwrite it. False with the reason told when the database failed.
    bool saveData();
    bool updateData();
    // The column-width check.
    bool chkVal() const;
    // Refreshes the width label from the widths, the V-Gap and the stored layout.
    void getWid();
    // "Save": the checks, the write, the machine settings; hides when done.
    bool save();
    // The clock picker, writing its choice into the clock field.
    ClockPicker* showClockPicker();

    // The controls' values as a theme row.
    ThemeRecord record() const;

    bool hasUnsavedWork() const override;
    bool settleUnsavedWork() override;

Q_SIGNALS:
    // "Position" / "Header" for a saved theme: the layout designer / header editor.
    void positionRequested(qint64 key);
    void headerRequested(qint64 key);
    // "Video List": the media items, which belong to no theme.
    void videoListRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QLineEdit* addText(const char* name);
    QComboBox* addCombo(const char* name, bool editable);
    ColorSwatch* addSwatch(const char* name);
    QCheckBox* addCheck(const char* name, const QString& caption);
    QPushButton* addPicker(QLineEdit* field, const QString& filter);
    QWidget* buildForm();
    QLineEdit* textBox(const char* name) const;
    void setDesignSize();
    void addFont();
    void addSize();
    void setFields(const design::FieldValues& values);
    design::FieldValues fields() const;
    // Everything the operator can change, to tell typing from what was loaded.
    QVariantList entries() const;
    void markClean();
    void leaving(QObject* box);
    void fieldEdited();
    void withdrawDraft();
    void previewFont(QComboBox* list);
    void pickFile(QLineEdit* field, const QString& filter);
    void updateButtons();
    void showScrollSettings();

    AppContext& m_ctx;
    QLabel* m_lblRef;
    QLabel* m_lblWid;
    QLineEdit* m_txtSpeed;
    QComboBox* m_cmbEffect;
    QComboBox* m_cmbType;
    QLineEdit* m_txtFormat;
    QLineEdit* m_txtNimg;
    QLineEdit* m_txtColumn;
    QLineEdit* m_txtColWidth;
    QLineEdit* m_tblLine;
    QLineEdit* m_txtlogo;
    QPushButton* m_position;
    QPushButton* m_header;
    QPushButton* m_scroll;
    // The controls of the theme's columns, by name.
    QHash<QString, QWidget*> m_controls;
    // Fields that any key empties.
    QList<QLineEdit*> m_clearOnKey;
    QVariantList m_clean;
    bool m_loading = false;
    // The theme whose unsaved edits are published for the preview; 0 for none.
    qint64 m_draftKey = 0;
    QPointer<ClockPicker> m_clockPicker;
    QPointer<ScrollSettingsWindow> m_scrollSettings;
};

} // namespace quoteria
