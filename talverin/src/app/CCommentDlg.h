// "Save - Input comments ": the comment written into a document, asked for before every save.
// The driver identification and the alarm history travel along in two hidden edits.
#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class QLineEdit;
class QPlainTextEdit;

namespace model {
class CDataFile;
}
namespace plat::qt {
class WindowBridge;
}

namespace talverin {

class CCommentDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int IDD = 175;
    static constexpr int IDC_COMMENT = 1071;
    static constexpr int IDC_IDENTIFICATION = 1072;
    static constexpr int IDC_ALARM = 1073;
    static constexpr int kMaxTyped = 80;

    // The comment is shown on one line (its line breaks removed). Typing stops at 80
    // characters, but a longer comment given here is kept whole.
    CCommentDlg(const model::CDataFile& store, const QString& comment, QWidget* parent = nullptr);
    ~CCommentDlg() override;

    // The comment after OK.
    QString m_comment;

    QLineEdit* CommentEdit() const { return m_edit; }
    QPlainTextEdit* IdentificationEdit() const { return m_identification; }
    QPlainTextEdit* AlarmEdit() const { return m_alarm; }
    // OK: a comment with a ';' is refused with a box (the file's comment lines begin with ';').
    void accept() override;

private:
    QLineEdit* m_edit = nullptr;
    QPlainTextEdit* m_identification = nullptr;
    QPlainTextEdit* m_alarm = nullptr;
    std::unique_ptr<plat::qt::WindowBridge> m_bridge;
};

} // namespace talverin
