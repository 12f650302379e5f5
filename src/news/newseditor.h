#pragma once
// The rich-text editor for one news message (" Scroll Editor.").
#include "gui/unsavedwork.h"

#include <QMainWindow>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QTextCharFormat;
class QTextEdit;
class QToolBar;

namespace quoteria {

struct AppContext;

class NewsEditor : public QMainWindow, public UnsavedWork {
    Q_OBJECT
public:
    // startFile: a file named on the program's command line, loaded at once.
    NewsEditor(AppContext& ctx, QWidget* parent = nullptr, const QString& startFile = QString());

    // Add mode (false) or edit mode (true); the list decides before showing.
    void setEditMode(bool edit) { m_editMode = edit; }
    bool editMode() const { return m_editMode; }
    // Key of the row being edited, as the hidden label's text.
    QLabel* lblRef() const { return m_lblRef; }
    // Loads the row into the box and the controls.
    void getheadDetails(qint64 key);
    // Saves the message; false when nothing was written.
    bool mnuSave_Click();
    // New: asks about unsaved changes, then empties the box. False when cancelled.
    bool mnuNew_Click();
    // Loads a file after asking about unsaved changes. False when cancelled or unreadable.
    bool openFile(const QString& path);
    QTextEdit* box() const { return m_box; }

    bool hasUnsavedWork() const override;
    bool settleUnsavedWork() override;

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* addCommand(QMenu* menu, const QString& name, const QString& text,
                        void (NewsEditor::*slot)());
    QAction* addTool(const QString& key, const QString& text, bool checkable,
                     void (NewsEditor::*slot)());
    bool saveMessage();
    void storeSpeed(const QString& speed);
    bool askToSave();
    bool loadFile(const QString& path);
    void setCaptionFile(const QString& path, bool fromCommandLine);
    void setCaptionMessage(const QString& message);
    // The box now matches what is stored (or was loaded).
    void markClean();
    void showTextColor(const QTextCharFormat& f);
    QMargins frameAllowance() const;
    void keepOnScreen();
    void updateStatus();
    void updateToolState();
    void applyCharFormat(const QTextCharFormat& f);

    void toggleBold();
    void toggleItalic();
    void toggleUnderline();
    void toggleStrikeout();
    void foreColor();
    void backColor();
    void alignLeft();
    void alignCenter();
    void alignRight();
    void toggleBullets();
    void chooseFont();
    void upperCase();
    void lowerCase();
    void deleteSelection();
    void undo();
    void print();
    void newDocument();
    void openDocument();
    void exitApplication();
    void save();
    void nothing() {}

    AppContext& m_ctx;
    bool m_editMode = false;
    QTextEdit* m_box;
    QLabel* m_lblRef;
    QLabel* m_lblFile;
    QLabel* m_status;
    QLabel* m_picture1;
    QLabel* m_picture2;
    QComboBox* m_combo1;
    QComboBox* m_combo2;
    QComboBox* m_combo3;
    QComboBox* m_cmbSpeed;
    QComboBox* m_cmbDir;
    QCheckBox* m_chkActive;
    QToolBar* m_tools;
    QToolBar* m_formatBar;
    QAction* m_toolLeft = nullptr;
    QAction* m_toolCenter = nullptr;
    QAction* m_toolRight = nullptr;
    QAction* m_toolBullet = nullptr;
    QString m_fileName;
    QString m_cleanText;
};

} // namespace quoteria
