#include "platform/qt/fonts.h"

#include "platform/language.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>

#include <algorithm>
#include <map>
#include <mutex>
#include <set>

namespace plat::qt {

namespace {

enum class Kind { Sans, Serif, Mono, Gothic };

struct Face {
    Kind kind;
    QStringList latin; // tried first, except under 1041
    QStringList cjk;   // tried first under 1041
};

const QStringList kSans{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")};
const QStringList kSerif{QStringLiteral("Liberation Serif"), QStringLiteral("Tinos"), QStringLiteral("DejaVu Serif")};
const QStringList kMono{QStringLiteral("Liberation Mono"), QStringLiteral("Cousine"), QStringLiteral("DejaVu Sans Mono")};
const QStringList kCjkSans{QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic"), QStringLiteral("VL PGothic")};
const QStringList kCjkMono{QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("IPAGothic"), QStringLiteral("VL Gothic")};
const QStringList kCjkSerif{QStringLiteral("Noto Serif CJK JP"), QStringLiteral("IPAPMincho")};

std::map<QString, Face> defaultFaces()
{
    std::map<QString, Face> faces;
    auto add = [&](std::initializer_list<const char*> names, Face face) {
        for (const char* n : names)
            faces[QString::fromUtf8(n).toCaseFolded()] = face;
    };
    // MS Gothic is monospaced and carries Japanese glyphs itself: the CJK mono family first always.
    add({"MS Gothic", "ＭＳ ゴシック", "MS Mincho", "ＭＳ 明朝", "Osaka-Mono"},
        {Kind::Mono, kCjkMono + kMono, kCjkMono});
    add({"MS PGothic", "ＭＳ Ｐゴシック", "MS UI Gothic", "Meiryo", "メイリオ", "Meiryo UI"},
        {Kind::Gothic, kCjkSans + kSans, kCjkSans});
    add({"Arial", "Microsoft Sans Serif", "MS Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2", "Tahoma",
         "Verdana", "Segoe UI", "Helvetica", "System"},
        {Kind::Sans, kSans, kCjkSans});
    add({"Century Gothic"},
        {Kind::Sans, QStringList{QStringLiteral("URW Gothic"), QStringLiteral("TeX Gyre Adventor")} + kSans, kCjkSans});
    add({"Courier New", "Courier", "Fixedsys", "Terminal", "Lucida Console", "Consolas"},
        {Kind::Mono, kMono, kCjkMono});
    add({"Times New Roman", "MS Serif", "Times"}, {Kind::Serif, kSerif, kCjkSerif});
    // Symbol faces: their characters are mapped to Unicode (WingdingsToUnicode); any family with
    // the arrows will do.
    add({"Wingdings", "Symbol", "Marlett"}, {Kind::Sans, QStringList{QStringLiteral("DejaVu Sans")} + kSans, kCjkSans});
    return faces;
}

} // namespace

struct FontTable::Private {
    mutable std::mutex mutex;
    std::map<QString, Face> faces = defaultFaces();
    mutable bool scanned = false;
    mutable std::set<QString> installed; // case-folded

    bool isInstalled(const QString& family) const
    {
        if (!scanned) {
            scanned = true;
            if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
                for (const QString& f : QFontDatabase::families())
                    installed.insert(f.toCaseFolded());
            }
        }
        return installed.count(family.toCaseFolded()) > 0;
    }
};

FontTable& FontTable::instance()
{
    static FontTable* table = new FontTable;
    return *table;
}

FontTable::FontTable() : d(new Private) {}

QStringList FontTable::candidates(const QString& face, LANGID language) const
{
    std::lock_guard lock(d->mutex);
    const auto it = d->faces.find(face.trimmed().toCaseFolded());
    if (it == d->faces.end())
        return language == LANG_JAPANESE ? kCjkSans + QStringList{face.trimmed()} + kSans
                                         : QStringList{face.trimmed()} + kSans;
    if (language == LANG_JAPANESE)
        return it->second.cjk + it->second.latin;
    return it->second.latin;
}

QString FontTable::substitute(const QString& face, LANGID language) const
{
    const QStringList list = candidates(face, language);
    std::lock_guard lock(d->mutex);
    const bool known = d->faces.count(face.trimmed().toCaseFolded()) > 0;
    // A real face of that name wins over the table, except where Japanese text needs CJK glyphs.
    if (known && language != LANG_JAPANESE && d->isInstalled(face.trimmed()))
        return face.trimmed();
    for (const QString& c : list) {
        if (d->isInstalled(c))
            return c;
    }
    // Nothing installed that the table knows: let Qt resolve a family of the right kind.
    const auto it = d->faces.find(face.trimmed().toCaseFolded());
    const Kind kind = it == d->faces.end() ? Kind::Sans : it->second.kind;
    QFont f;
    f.setStyleHint(kind == Kind::Mono ? QFont::Monospace : kind == Kind::Serif ? QFont::Serif : QFont::SansSerif);
    return QFontInfo(f).family();
}

void FontTable::setCandidates(const QString& face, const QStringList& latin, const QStringList& cjk)
{
    std::lock_guard lock(d->mutex);
    Face f{Kind::Sans, latin, cjk.isEmpty() ? latin : cjk};
    const auto it = d->faces.find(face.trimmed().toCaseFolded());
    if (it != d->faces.end())
        f.kind = it->second.kind;
    d->faces[face.trimmed().toCaseFolded()] = f;
}

void FontTable::rescan()
{
    std::lock_guard lock(d->mutex);
    d->scanned = false;
    d->installed.clear();
}

QString SubstituteFont(const QString& face, LANGID language)
{
    return FontTable::instance().substitute(face, language ? language : GetLanguage());
}

QFont MakeFont(const QString& face, int heightPx, int weight, bool italic, bool fixedPitch, LANGID language)
{
    QFont font(SubstituteFont(face, language));
    font.setWeight(static_cast<QFont::Weight>(std::clamp(weight <= 0 ? 400 : weight, 100, 900)));
    font.setItalic(italic);
    if (fixedPitch) {
        font.setFixedPitch(true);
        font.setStyleHint(QFont::Monospace, QFont::PreferMatch);
    }
    if (heightPx < 0) {
        font.setPixelSize(-heightPx);
    } else if (heightPx > 0) {
        // A cell height: the largest pixel size whose ascent + descent still fits.
        int px = heightPx;
        font.setPixelSize(px);
        while (px > 1 && QFontMetrics(font).height() > heightPx)
            font.setPixelSize(--px);
    }
    return font;
}

QString WingdingsToUnicode(unsigned char code)
{
    static const char16_t arrowheads[] = {0x25C0, 0x25B6, 0x25B2, 0x25BC};            // 0xD7-0xDA
    static const char16_t arrows[] = {0x2190, 0x2192, 0x2191, 0x2193, 0x2196, 0x2197, // 0xDF-0xEA
                                      0x2199, 0x2198, 0x2B05, 0x27A1, 0x2B06, 0x2B07};
    static const char16_t outlined[] = {0x21E6, 0x21E8, 0x21E7, 0x21E9, 0x2B04, 0x21F3}; // 0xEF-0xF4
    if (code >= 0xD7 && code <= 0xDA)
        return QString(QChar(arrowheads[code - 0xD7]));
    if (code >= 0xDF && code <= 0xEA)
        return QString(QChar(arrows[code - 0xDF]));
    if (code >= 0xEF && code <= 0xF4)
        return QString(QChar(outlined[code - 0xEF]));
    return QString(QChar::fromLatin1(static_cast<char>(code)));
}

} // namespace plat::qt
