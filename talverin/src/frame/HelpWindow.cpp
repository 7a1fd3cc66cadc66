#include "frame/HelpWindow.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextCursor>
#include <QUrl>
#include <QVBoxLayout>

namespace talverin {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(tr("Help"));

    m_findBar = new QWidget(this);
    auto* findLayout = new QHBoxLayout(m_findBar);
    findLayout->setContentsMargins(0, 0, 0, 0);
    findLayout->addWidget(new QLabel(tr("Find:"), m_findBar));
    m_find = new QLineEdit(m_findBar);
    m_find->setObjectName(QStringLiteral("HelpFind"));
    findLayout->addWidget(m_find, 1);
    auto* next = new QPushButton(tr("Find &Next"), m_findBar);
    findLayout->addWidget(next);
    m_findResult = new QLabel(m_findBar);
    findLayout->addWidget(m_findResult);
    m_findBar->hide();

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenExternalLinks(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_findBar);
    layout->addWidget(m_browser, 1);
    resize(720, 560);

    connect(m_find, &QLineEdit::returnPressed, this, [this] { FindNext(); });
    connect(next, &QPushButton::clicked, this, [this] { FindNext(); });
}

void HelpWindow::ShowPage(const QString& path, const QString& anchor)
{
    m_page = path;
    m_missing = !QFileInfo(path).isFile();
    if (m_missing) {
        m_browser->setHtml(tr("<h3>Help page not found</h3><p>The help page %1 is not there. "
                              "The help pages may not be installed.</p>")
                               .arg(path.toHtmlEscaped()));
    } else {
        QUrl url = QUrl::fromLocalFile(path);
        if (!anchor.isEmpty())
            url.setFragment(anchor);
        m_browser->setSource(url);
    }
    show();
    raise();
    activateWindow();
}

void HelpWindow::ShowFind()
{
    m_findBar->show();
    show();
    raise();
    activateWindow();
    m_find->setFocus();
    m_find->selectAll();
}

bool HelpWindow::FindNext()
{
    const QString text = m_find->text();
    if (text.isEmpty())
        return false;
    bool found = m_browser->find(text);
    if (!found) {
        m_browser->moveCursor(QTextCursor::Start);
        found = m_browser->find(text);
    }
    m_findResult->setText(found ? QString() : tr("Not found"));
    return found;
}

} // namespace talverin
