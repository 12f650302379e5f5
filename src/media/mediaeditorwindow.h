#pragma once
// "Select Video": one media item, its file, description, type and flags, with a
// preview of the chosen file.
#include <QWidget>

class QAudioOutput;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMediaPlayer;
class QVideoWidget;

namespace quoteria {

struct AppContext;

class MediaEditorWindow : public QWidget {
    Q_OBJECT
public:
    explicit MediaEditorWindow(AppContext& ctx, QWidget* parent = nullptr);

    static const QString kNoFile;

    // The key of the item in the editor; empty for a new item.
    QLabel* lblRef() const { return m_lblRef; }
    // Empties the editor for a new item.
    void clear();
    // Loads the item whose key is in lblRef.
    void getData();
    // "Save": false when nothing was stored (no file, or the copy or write failed).
    bool save();
    // "Preview": plays the chosen file in the editor.
    void preview();
    // The file dialog for the current type.
    void browse();
    // The file-dialog filter for a type.
    static QString filterFor(const QString& type);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void nameChanged(const QString& text);

    AppContext& m_ctx;
    QLineEdit* m_txtName;
    QString m_tag; // the file the item had when loaded
    QLineEdit* m_txtDesc;
    QComboBox* m_cmbType;
    QCheckBox* m_chkActive;
    QCheckBox* m_chkFull;
    QLabel* m_lblRef;
    QVideoWidget* m_screen;
    QMediaPlayer* m_player = nullptr;
    QAudioOutput* m_audio = nullptr;
};

} // namespace quoteria
