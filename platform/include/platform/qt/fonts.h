// One table of the font faces the program and the controls name ("MS Gothic", "Arial", "Century
// Gothic", "Wingdings", "MS Sans Serif", their Japanese names ...) onto families installed here.
// Every control and screen makes its fonts through MakeFont (or SubstituteFont), never by family
// name directly, so a missing face looks the same everywhere. With language 1041 a CJK family
// comes first for every face, so Japanese text never falls back glyph by glyph.
//
//     QFont edit = plat::qt::MakeFont("MS Gothic", 16, 400, false, true);  // fixed pitch, 16 px cell
#pragma once

#include "platform/types.h"

#include <QFont>
#include <QString>
#include <QStringList>

namespace plat::qt {

class FontTable {
public:
    // The process's table (GUI thread; installed families are read on first use).
    static FontTable& instance();

    // The installed family to use for face under the language; face itself when it is installed
    // and the table has nothing better; else the table's first installed candidate; else the
    // generic family Qt resolves for the face's kind.
    QString substitute(const QString& face, LANGID language) const;
    // The candidates, in order, that the table tries for face (installed or not).
    QStringList candidates(const QString& face, LANGID language) const;
    // Adds or replaces the candidates of a face (names compare without case).
    void setCandidates(const QString& face, const QStringList& latin, const QStringList& cjk = {});
    // Reads the installed families again (after fonts were added).
    void rescan();

private:
    FontTable();
    struct Private;
    Private* d; // lives as long as the process
};

// FontTable::instance().substitute(face, language); language 0: the program's (GetLanguage()).
QString SubstituteFont(const QString& face, LANGID language = 0);

// A font as CreateFont describes it: heightPx > 0 is the cell height
// (ascent + descent), < 0 the character height, 0 a default size; weight on the 100-900 scale
// (400 normal, 700 bold); fixedPitch asks a monospaced family when the face has none.
QFont MakeFont(const QString& face, int heightPx, int weight = 400, bool italic = false,
               bool fixedPitch = false, LANGID language = 0);

// The Unicode text for a character of the Wingdings symbol font: the arrows and arrowheads
// (0xD7-0xDA, 0xDF-0xEA, 0xEF-0xF4) as common Unicode arrows; other codes as Latin-1.
QString WingdingsToUnicode(unsigned char code);

} // namespace plat::qt
