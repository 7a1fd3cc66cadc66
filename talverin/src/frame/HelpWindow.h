// The help window: the pages of the help folder in a browser, with a find field for Search that
// searches every page the contents page leads to. A page that is not there is reported in the
// window itself (the help pages are installed apart from the program and may be missing).
#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QTextBrowser;
class QWidget;

namespace talverin {

class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the page (an absolute path) scrolled to the anchor, and brings the window up.
    void ShowPage(const QString& path, const QString& anchor = {});
    // The page the search starts from: it and every page its links reach are searched.
    void SetContentsPage(const QString& path) { m_contents = path; }
    // Shows the find field with the focus in it.
    void ShowFind();
    // Finds the field's text after the cursor; past its last place on this page, the next page
    // that holds it is shown (this page's top when no other does). A new text first lists the
    // pages that hold it. False when no page holds it.
    bool FindNext();

    bool HasPage() const { return !m_page.isEmpty(); }
    QString CurrentPage() const { return m_page; }
    bool PageMissing() const { return m_missing; }
    QTextBrowser* Browser() const { return m_browser; }
    QLineEdit* FindField() const { return m_find; }
    // The pages the last search found, by title; each item's data is the page's path.
    QListWidget* Results() const { return m_results; }

private:
    void search(const QString& text);
    void openResult(const QString& path);

    QTextBrowser* m_browser = nullptr;
    QListWidget* m_results = nullptr;
    QWidget* m_findBar = nullptr;
    QLineEdit* m_find = nullptr;
    QLabel* m_findResult = nullptr;
    QString m_page;
    QString m_contents;
    QString m_searched;       // the text the results are for
    QStringList m_holding;    // the pages that hold it
    bool m_missing = false;
};

} // namespace talverin
