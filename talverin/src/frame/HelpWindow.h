// The help window: the pages of the help folder in a browser, with a find field for Search. A
// page that is not there is reported in the window itself (the help pages are installed apart
// from the program and may be missing).
#pragma once

#include <QCoreApplication>
#include <QWidget>

class QLabel;
class QLineEdit;
class QTextBrowser;
class QWidget;

namespace talverin {

class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the page (an absolute path) scrolled to the anchor, and brings the window up.
    void ShowPage(const QString& path, const QString& anchor = {});
    // Shows the find field with the focus in it.
    void ShowFind();
    // Finds the field's text after the cursor, wrapping once to the top; false when the page
    // does not have it.
    bool FindNext();

    bool HasPage() const { return !m_page.isEmpty(); }
    QString CurrentPage() const { return m_page; }
    bool PageMissing() const { return m_missing; }
    QTextBrowser* Browser() const { return m_browser; }
    QLineEdit* FindField() const { return m_find; }

private:
    QTextBrowser* m_browser = nullptr;
    QWidget* m_findBar = nullptr;
    QLineEdit* m_find = nullptr;
    QLabel* m_findResult = nullptr;
    QString m_page;
    bool m_missing = false;
};

} // namespace talverin
