#include "app/CAboutDlg.h"

#include <model/DocumentFile.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace talverin {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QString::number(IDD));
    setWindowTitle(tr("About KVX Talverin"));

    auto* icon = new QLabel(this);
    QIcon programIcon = QApplication::windowIcon();
    if (programIcon.isNull())
        programIcon = style()->standardIcon(QStyle::SP_ComputerIcon);
    icon->setPixmap(programIcon.pixmap(32, 32));
    m_version = new QLabel(tr("KVX Talverin Ver %1").arg(QString::fromStdString(model::GetProgramVersionText())), this);
    m_version->setObjectName(QString::number(IDC_VERSION));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CAboutDlg::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(m_version, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

} // namespace talverin
