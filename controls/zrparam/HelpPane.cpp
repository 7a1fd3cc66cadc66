#include "HelpPane.h"

#include <zrparam/HelpPages.h>

#include <QFileInfo>
#include <QUrl>

HelpPane::HelpPane(QWidget* parent) : QTextBrowser(parent), m_close(new QPushButton(QStringLiteral("X"), this))
{
    setObjectName(QStringLiteral("1002"));
    setOpenExternalLinks(false);
    setFrameShape(QFrame::Box);
    m_close->setObjectName(QStringLiteral("101"));
    m_close->setFixedSize(16, 16);
    m_close->setFocusPolicy(Qt::NoFocus);
    m_close->hide();
}

void HelpPane::navigate(const QString& url)
{
    if (m_released || zrparam::HelpPages::SameLocation(m_location.toStdString(), url.toStdString()))
        return;
    m_location = url;
    QUrl target(QString(url).replace(QLatin1Char('\\'), QLatin1Char('/')));
    if (target.scheme().isEmpty())
        target = QUrl::fromLocalFile(url);
    clearHistory();
    // A page that is not there shows an empty pane, not the last page.
    if (target.isLocalFile() && !QFileInfo::exists(target.toLocalFile())) {
        clear();
        return;
    }
    setSource(target);
}

void HelpPane::writeHtml(const QString& html)
{
    if (m_released)
        return;
    m_location = QStringLiteral("about:blank");
    setHtml(html);
}

void HelpPane::release()
{
    m_released = true;
    clear();
}
