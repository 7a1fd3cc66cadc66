#include "platform/qt/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>

namespace plat::qt {

JapaneseTexts::JapaneseTexts(const QString& name, const QStringList& folders)
{
    for (const QString& folder : folders) {
        if (m_own.load(name + QStringLiteral("_ja"), QDir(folder).filePath(QStringLiteral("translations")))) {
            m_ownLoaded = QCoreApplication::installTranslator(&m_own);
            break;
        }
    }
    if (m_qt.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        m_qtLoaded = QCoreApplication::installTranslator(&m_qt);
}

} // namespace plat::qt
