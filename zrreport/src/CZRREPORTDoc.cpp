#include "CZRREPORTDoc.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace zrreport {

QString CZRREPORTDoc::GetTitle() const
{
    if (m_pathName.isEmpty()) return QCoreApplication::translate("zrreport::CZRREPORTDoc", "Untitled");
    return QFileInfo(m_pathName).fileName();
}

} // namespace zrreport
