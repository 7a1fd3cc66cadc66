#include "app/CNewDlg.h"

#include <platform/profile.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace talverin {

namespace {

constexpr plat::DWORD kUnitSectionSize = 24576;

} // namespace

CNewDlg::CNewDlg(const std::string& settingsPath, QWidget* parent) : QDialog(parent)
{
    setObjectName(QString::number(IDD));
    setWindowTitle(tr("New"));

    auto* label = new QLabel(tr("Type of motor:"), this);
    m_units = new QComboBox(this);
    m_units->setObjectName(QString::number(IDC_UNIT));
    label->setBuddy(m_units);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CNewDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CNewDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_units);
    layout->addWidget(buttons);

    std::vector<char> buffer(kUnitSectionSize, '\0');
    const plat::DWORD n = plat::GetPrivateProfileSection("Unit", buffer.data(), kUnitSectionSize, settingsPath.c_str());
    m_entries = OfferedUnits(SplitProfileList(buffer.data(), n));
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        m_units->addItem(QString::fromStdString(m_entries[i].name), static_cast<int>(i));
    m_units->setCurrentIndex(m_entries.empty() ? -1 : 0);
    // Without a unit there is nothing to choose: only Cancel is left.
    m_ok->setEnabled(!m_entries.empty());
}

void CNewDlg::accept()
{
    const int index = m_units->currentData().isValid() ? m_units->currentData().toInt() : -1;
    if (index < 0 || index >= static_cast<int>(m_entries.size()))
        return;
    m_unitName = m_entries[index].name;
    m_unitPath = m_entries[index].path;
    QDialog::accept();
}

} // namespace talverin
