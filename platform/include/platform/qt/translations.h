// A program's Japanese texts: its own catalogue and Qt's standard texts (the buttons of message
// boxes, the file and print dialogs), installed together for as long as the object lives.
//
//     plat::qt::JapaneseTexts texts("talverin", {programFolder});  // translations/talverin_ja.qm
#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>

namespace plat::qt {

class JapaneseTexts {
public:
    // `name`_ja.qm from the "translations" folder of the first of `folders` that has it, and
    // qtbase_ja.qm from Qt's translations folder; either may be missing (its texts stay English).
    JapaneseTexts(const QString& name, const QStringList& folders);
    JapaneseTexts(const JapaneseTexts&) = delete;
    JapaneseTexts& operator=(const JapaneseTexts&) = delete;

    bool ownTexts() const { return m_ownLoaded; }
    bool standardTexts() const { return m_qtLoaded; }

private:
    QTranslator m_own; // a translator leaves the application when it is destroyed
    QTranslator m_qt;
    bool m_ownLoaded = false;
    bool m_qtLoaded = false;
};

} // namespace plat::qt
