#include "app/CCommentDlg.h"

#include "common/AppMessageBox.h"

#include <model/DataFile.h>
#include <platform/qt/window_bridge.h>

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QValidator>
#include <QVBoxLayout>

namespace talverin {

namespace {

// Typing may not make the text longer than the limit, or longer than it already is: a longer
// text given at the start is kept, can be shortened, and cannot grow.
class TypingLimit : public QValidator {
public:
    TypingLimit(QLineEdit* edit, int limit) : QValidator(edit), m_limit(limit)
    {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { m_current = text.size(); });
    }
    void allow(int length) { m_current = length; }
    State validate(QString& input, int&) const override
    {
        return input.size() <= m_limit || input.size() <= m_current ? Acceptable : Invalid;
    }

private:
    int m_limit;
    int m_current = 0;
};

QString qtLines(std::string text, const std::string& breakText)
{
    for (std::size_t pos = text.find(breakText); pos != std::string::npos; pos = text.find(breakText, pos + 1))
        text.replace(pos, breakText.size(), "\n");
    return QString::fromStdString(text);
}

} // namespace

CCommentDlg::CCommentDlg(const model::CDataFile& store, const QString& comment, QWidget* parent) : QDialog(parent)
{
    setObjectName(QString::number(IDD));
    setWindowTitle(tr("Save - Input comments "));
    m_bridge = std::make_unique<plat::qt::WindowBridge>(this);

    auto* label = new QLabel(tr("Input comments to the data file before saving. (up to 80 characters)"), this);
    label->setWordWrap(true);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QString::number(IDC_COMMENT));
    label->setBuddy(m_edit);
    m_identification = new QPlainTextEdit(this);
    m_identification->setObjectName(QString::number(IDC_IDENTIFICATION));
    m_identification->hide();
    m_alarm = new QPlainTextEdit(this);
    m_alarm->setObjectName(QString::number(IDC_ALARM));
    m_alarm->hide();

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(tr("&OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    buttons->addButton(tr("&Cancel"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CCommentDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCommentDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_edit);
    layout->addWidget(m_identification);
    layout->addWidget(m_alarm);
    layout->addWidget(buttons);

    QString oneLine = comment;
    oneLine.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    auto* limit = new TypingLimit(m_edit, kMaxTyped);
    limit->allow(oneLine.size());
    m_edit->setValidator(limit);
    m_edit->setText(oneLine);
    m_comment = oneLine;

    const std::string& identification = store.m_driverModelInfo.empty() ? store.m_documentModelInfo
                                                                          : store.m_driverModelInfo;
    m_identification->setPlainText(qtLines(identification, "/"));
    m_alarm->setPlainText(qtLines(store.m_alarmText, "\n;"));
}

CCommentDlg::~CCommentDlg() = default;

void CCommentDlg::accept()
{
    const QString text = m_edit->text();
    if (text.contains(QLatin1Char(';'))) {
        AppMessageBox(m_bridge->hwnd(), tr("Comments cannot include characters \";\""), tr("Comments error"),
                      plat::MB_ICONWARNING);
        m_edit->setFocus();
        return;
    }
    m_comment = text;
    QDialog::accept();
}

} // namespace talverin
