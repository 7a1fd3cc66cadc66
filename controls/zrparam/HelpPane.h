// The help pane (child 1002): a QTextBrowser showing one HTML page per command, with the close
// button "X" (101) in its top right corner. Navigation and written HTML are synchronous.
#pragma once

#include <QPushButton>
#include <QTextBrowser>

class HelpPane : public QTextBrowser {
public:
    explicit HelpPane(QWidget* parent);

    QPushButton& closeButton() { return *m_close; }
    // HelpNavigate: nothing when the pane already shows url (read with '\' as '/', without case).
    void navigate(const QString& url);
    // HelpSetHtml: the pane shows the text, as the page "about:blank".
    void writeHtml(const QString& html);
    // What the pane shows: the page's URL, "about:blank" for written HTML, "" at first.
    QString location() const { return m_location; }
    // TermWindow: the pane shows nothing more.
    void release();
    bool released() const { return m_released; }

private:
    QPushButton* m_close;
    QString m_location;
    bool m_released = false;
};
