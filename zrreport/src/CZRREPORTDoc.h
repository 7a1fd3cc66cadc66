// The viewer's document: the report file it shows. It keeps nothing of its own; the view loads
// the file.
#pragma once

#include <QString>

namespace zrreport {

class CZRREPORTDoc {
public:
    void SetPathName(const QString& pathName) { m_pathName = pathName; }
    const QString& GetPathName() const { return m_pathName; }
    // The file name, as the window title shows it ("Untitled" without a file).
    QString GetTitle() const;

private:
    QString m_pathName;
};

} // namespace zrreport
