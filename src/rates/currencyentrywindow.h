#pragma once
// "Enter Currency Values": adds a currency or edits one. The key of the row being
// edited travels in the hidden label lblRef (empty for a new currency).
#include "data/currencystore.h"
#include "gui/unsavedwork.h"

#include <QStringList>
#include <optional>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace quoteria {

struct AppContext;

class CurrencyEntryWindow : public QWidget, public UnsavedWork {
    Q_OBJECT
public:
    explicit CurrencyEntryWindow(AppContext& ctx, QWidget* parent = nullptr);

    // The key being edited; empty text for a new currency.
    void setRef(const QString& key);
    QString ref() const;

    // Label captions from the current theme's header row.
    void getHeader();
    // Loads the row named by lblRef; with no such row the form stays as it is.
    virtual void getData();
    // The Excel cell check; the first failing box turns red.
    bool chkCell();
    // The "Save" button: true when the row was written (the window then closes).
    virtual bool save();
    // The "--" button: the flag picker.
    void pickFlag();
    // True while the preview shows a picture.
    bool previewShown() const { return m_previewShown; }

    // Changed since the window opened, loaded its row or saved.
    bool hasUnsavedWork() const override;
    bool settleUnsavedWork() override;

Q_SIGNALS:
    // A row was written; the currency list reloads.
    void saved();

protected:
    // The online twin: no header captions and no alarm limits.
    enum class Form { Local, Online };
    CurrencyEntryWindow(AppContext& ctx, QWidget* parent, Form form);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    // What "Save" writes once the boxes pass the cell and name checks; nothing
    // (after saying why) when they do not.
    std::optional<CurrencyInput> checkedInput();
    // The form as loaded from the row.
    void fillFrom(const CurrencyRow& row);
    // What is in the boxes now counts as saved.
    void markSaved() { m_clean = entries(); }
    // Says that an edited row was deleted meanwhile.
    static void reportMissing();

    AppContext& m_ctx;

private:
    void leaving(QObject* box);
    bool showPreview(const QString& path);
    // Everything the operator can change, to tell typing from what was loaded.
    QStringList entries() const;

    QLabel* m_lblRef;
    QLabel* m_lblName;
    QLabel* m_lblCol[5];
    QLineEdit* m_txtCurr;
    QLineEdit* m_text[5];
    QLineEdit* m_txtPos;
    QCheckBox* m_chkActive;
    QLineEdit* m_text6;
    QLabel* m_img;
    QLineEdit* m_cell[5];
    QLineEdit* m_txtLow;
    QLineEdit* m_txtHigh;
    bool m_previewShown = false;
    QStringList m_clean;
};

} // namespace quoteria
