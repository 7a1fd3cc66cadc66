#include "transfer/CPortSelectDlg.h"

#include <platform/qt/window_bridge.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace talverin {

CPortSelectDlg::CPortSelectDlg(const PortList& ports, const std::string& portName,
                               Configure configure, QWidget* parent)
    : QDialog(parent), m_configure(std::move(configure))
{
    setObjectName(QString::number(IDD));
    setWindowTitle(tr("Communication select port"));
    m_bridge = std::make_unique<plat::qt::WindowBridge>(this);

    auto* label = new QLabel(tr("Communications Port:"), this);
    m_ports = new QComboBox(this);
    m_ports->setObjectName(QString::number(IDC_PORT));
    label->setBuddy(m_ports);
    m_set = new QPushButton(tr("&Set"), this);
    m_set->setObjectName(QString::number(IDC_SET));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CPortSelectDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPortSelectDlg::reject);
    connect(m_set, &QPushButton::clicked, this, &CPortSelectDlg::OnSet);

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(m_ports, 0, 1);
    layout->addWidget(m_set, 0, 2);
    layout->addWidget(buttons, 1, 0, 1, 3);

    for (const auto& owned : ports.Records()) {
        PortRecord* record = owned.get();
        m_ports->addItem(QString::fromStdString(record->m_name), QVariant::fromValue(static_cast<void*>(record)));
        if (SamePortName(record->m_name, portName))
            m_ports->setCurrentIndex(m_ports->count() - 1);
    }
    if (m_ports->currentIndex() < 0 && m_ports->count() > 0)
        m_ports->setCurrentIndex(0);
    // Without a port there is nothing to set or choose.
    m_set->setEnabled(m_ports->count() > 0);
    m_ok->setEnabled(m_ports->count() > 0);
}

CPortSelectDlg::~CPortSelectDlg() = default;

plat::HWND CPortSelectDlg::GetSafeHwnd() const
{
    return m_bridge->hwnd();
}

PortRecord* CPortSelectDlg::selected() const
{
    return static_cast<PortRecord*>(m_ports->currentData().value<void*>());
}

void CPortSelectDlg::OnSet()
{
    if (PortRecord* record = selected(); record && m_configure)
        m_configure(*record, GetSafeHwnd());
}

void CPortSelectDlg::accept()
{
    PortRecord* record = selected();
    if (!record)
        return;
    m_record = record;
    m_portName = record->m_name;
    QDialog::accept();
}

} // namespace talverin
