#pragma once
// "Login Here": checks the operator against the user store, remembers the entries when
// asked, loads the online source settings and can start the sibling updater.
#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace quoteria {

struct AppContext;

class LoginWindow : public QWidget {
    Q_OBJECT
public:
    explicit LoginWindow(AppContext& ctx, QWidget* parent = nullptr);

    // Checks the typed name and password; on success the session is set, the
    // window closes and loggedIn() is emitted.
    bool doLogin();
    // Reads the online source settings into the session.
    void getOnlineDetails();

    // Starts QuoteriaSync (or QuoteriaSync.exe) from folder; false when there is
    // none or it cannot start.
    static bool startUpdater(const QString& folder);

    static const QString kWrongLogin;

Q_SIGNALS:
    void loggedIn();
    // "&Exit": the program ends.
    void exitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AppContext& m_ctx;
    QLineEdit* m_user;
    QLineEdit* m_pass;
    QCheckBox* m_rem;
    QCheckBox* m_update;
    QPushButton* m_login;
    QPushButton* m_exit;
};

} // namespace quoteria
