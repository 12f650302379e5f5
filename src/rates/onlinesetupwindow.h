#pragma once
// "Online Setup": the head office's connection and copy settings in the local
// tblDatabase row, the server's engine and ODBC driver in the program settings,
// a connection test and the upload of the whole local currency table. Remote work
// runs through OnlineRates; the buttons wait while it does.
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace quoteria {

struct AppContext;
struct OnlineSource;
class OnlineRates;

class OnlineSetupWindow : public QWidget {
    Q_OBJECT
public:
    OnlineSetupWindow(AppContext& ctx, OnlineRates& rates, QWidget* parent = nullptr);

    // Fills the boxes from the tblDatabase row and the stored engine.
    void formLoad();
    // "Save": true when the boxes passed (the window then closes).
    bool save();
    // "Test Connection", with the values loaded at login.
    void testConnection();
    // "Upload Currency".
    void uploadCurrency();
    bool isBusy() const { return m_busy; }

Q_SIGNALS:
    // A remote job of this window ended.
    void idle();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    OnlineSource entered() const;
    void setBusy(bool on);

    AppContext& m_ctx;
    OnlineRates& m_rates;
    QLineEdit* m_host;
    QLineEdit* m_data;
    QLineEdit* m_user;
    QLineEdit* m_pass;
    QCheckBox* m_flags[5];
    QCheckBox* m_auto;
    QLineEdit* m_time;
    QComboBox* m_engine;
    QLineEdit* m_odbcDriver;
    QPushButton* m_buttons[3]; // save, test, upload
    bool m_busy = false;
    bool m_closed = false;
};

} // namespace quoteria
