#include "frame/HelpWindow.h"

#include "frame/HelpPages.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
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

    auto* split = new QSplitter(Qt::Horizontal, this);
    m_results = new QListWidget(split);
    m_results->setObjectName(QStringLiteral("HelpResults"));
    m_results->hide();
    m_browser = new QTextBrowser(split);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenExternalLinks(true);
    split->setStretchFactor(1, 1);
    split->setSizes({180, 540});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_findBar);
    layout->addWidget(split, 1);
    resize(720, 560);

    connect(m_find, &QLineEdit::returnPressed, this, [this] { FindNext(); });
    connect(next, &QPushButton::clicked, this, [this] { FindNext(); });
    connect(m_results, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { openResult(item->data(Qt::UserRole).toString()); });
    connect(m_results, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { openResult(item->data(Qt::UserRole).toString()); });
    // A followed link makes its page the one Find Next goes on from.
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
        if (url.isLocalFile())
            m_page = url.toLocalFile();
    });
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
    m_results->setVisible(m_results->count() > 0);
    show();
    raise();
    activateWindow();
    m_find->setFocus();
    m_find->selectAll();
}

void HelpWindow::search(const QString& text)
{
    m_searched = text;
    QStringList pages = HelpPages::Reachable(m_contents);
    // A page opened from elsewhere is searched too.
    if (QFileInfo(m_page).isFile() && !pages.contains(QFileInfo(m_page).absoluteFilePath()))
        pages += QFileInfo(m_page).absoluteFilePath();
    m_holding = HelpPages::Holding(pages, text);
    m_results->clear();
    for (const QString& page : m_holding) {
        auto* item = new QListWidgetItem(HelpPages::Read(page).title, m_results);
        item->setData(Qt::UserRole, page);
    }
    m_results->setVisible(!m_holding.isEmpty());
}

void HelpWindow::openResult(const QString& path)
{
    if (QFileInfo(path).absoluteFilePath() != QFileInfo(m_page).absoluteFilePath())
        ShowPage(path);
    m_browser->moveCursor(QTextCursor::Start);
    m_browser->find(m_find->text());
}

bool HelpWindow::FindNext()
{
    const QString text = m_find->text();
    if (text.isEmpty())
        return false;
    if (text != m_searched)
        search(text);
    bool found = m_browser->find(text);
    if (!found) {
        // Past the last place on this page: the next page that holds the text, round to the first.
        const qsizetype at = m_holding.indexOf(QFileInfo(m_page).absoluteFilePath());
        const QString next = m_holding.isEmpty() ? m_page : m_holding.at((at + 1) % m_holding.size());
        if (QFileInfo(next).absoluteFilePath() != QFileInfo(m_page).absoluteFilePath())
            ShowPage(next);
        m_browser->moveCursor(QTextCursor::Start);
        found = m_browser->find(text);
    }
    m_findResult->setText(found ? QString() : tr("Not found"));
    return found;
}

} // namespace talverin
