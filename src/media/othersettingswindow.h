#pragma once
// "Other Settings": the machine settings outside any theme: the media zone's live
// input and HTML page, and the workbook rate feed.
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace quoteria {

struct AppContext;

class OtherSettingsWindow : public QWidget {
    Q_OBJECT
public:
    explicit OtherSettingsWindow(AppContext& ctx, QWidget* parent = nullptr);

    static const QString kNoHtmlFile;
    static const QString kBothInputs;

    // Fills the device list and sets every control from its setting.
    void loadSettings();
    // The "Save" button; false when refused (nothing is stored then).
    bool save();

Q_SIGNALS:
    // The settings were stored; the feed settings apply at once.
    void saved();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void browse(QLineEdit* target, const QString& caption, const QString& filter);

    AppContext& m_ctx;
    QCheckBox* m_chkEnable;
    QComboBox* m_cmbSource;
    QCheckBox* m_chkHTML;
    QLineEdit* m_txtHTML;
    QLineEdit* m_txtPath;
    QCheckBox* m_chkAuto;
    QLineEdit* m_txtInt;
    QLineEdit* m_txtFormat;
};

} // namespace quoteria
