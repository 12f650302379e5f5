#pragma once
// "User List": adds operators and changes their name, password and type.
// Users are never deleted.
#include <QWidget>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace quoteria {

struct AppContext;

class UserListWindow : public QWidget {
    Q_OBJECT
public:
    explicit UserListWindow(AppContext& ctx, QWidget* parent = nullptr);

    void getusers();
    void clear();
    void addUser();
    void updateUser();

private:
    void lstUser_Click();

    AppContext& m_ctx;
    QListWidget* m_list;
    QLineEdit* m_name;
    QLineEdit* m_pass;
    QComboBox* m_type;
    QPushButton* m_add;
    QPushButton* m_update;
    QPushButton* m_close;
    qint64 m_selectedKey = 0; // the list's tag
};

} // namespace quoteria
