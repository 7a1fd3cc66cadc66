// The shipped help pages: every topic the program opens is there, in both help folders and both
// languages, at its anchors; every link leads to a page (and anchor) that is there; each
// language's contents page reaches all of that language's pages. And how the pages are read.
#include "frame/CMainFrame.h"
#include "frame/HelpPages.h"
#include "screens/oscillo/OscilloIds.h"

#include <platform/text.h>
#include <platform/language.h>

#include <QDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

using namespace talverin;

namespace {

struct Topic {
    const char* english;
    const char* japanese;
    std::vector<const char*> anchors;
};

const Topic kTopics[] = {
    {"1_1_1_introduction.htm", "1_1_1_\xE3\x81\xAF\xE3\x81\x98\xE3\x82\x81\xE3\x81\xAB.htm", {}},
    {"3_3_1_Start_screen.htm", "3_3_1_\xE3\x82\xB9\xE3\x82\xBF\xE3\x83\xBC\xE3\x83\x88\xE7\x94\xBB\xE9\x9D\xA2.htm",
     {"D_DLG_START"}},
    {"3_6_1_Oscilloscope_screen.htm", "3_6_1_Oscilloscope_screen_j.htm",
     {"D_OSCILLO", "C_OSCILLO_VIEW", "C_OSCILLO_FME_TRIGGER", "C_OSCILLO_FME_VERTICAL", "C_OSCILLO_FME_HORIZONAL",
      "C_OSCILLO_FME_CURSOR"}},
    {"3_7_1_Control_I_O_edit_screen.htm", "3_7_1_Control_I_O_edit_screen_j.htm", {"D_IO", "D_IO_INPUT", "D_IO_OUTPUT"}},
    {"3_8_1_Parameter_edit_screen.htm", "3_8_1_Parameter_edit_screen_j.htm",
     {"D_PARAM", "D_PRM_HELP", "D_PRM_TREE", "D_PRM_LIST"}},
    {"3_9_1_channel_edit_screen.htm", "3_9_1_channel_edit_screen_j.htm", {"D_CHANNEL"}},
    {"3_A_1_terminal_screen.htm", "3_A_1_terminal_screen_j.htm", {"D_TERMINAL"}},
    {"3_B_1_Command_window_screen.htm", "3_B_1_Command_window_screen_j.htm", {"D_PARAM_BAR"}},
    {"3_C_1_Terminal_window_screen.htm", "3_C_1_Terminal_window_screen_j.htm", {"D_TERMINA_DLG"}},
};

QString Shipped(const char* folder, const QString& page = {})
{
    return QDir(QStringLiteral(TALVERIN_BIN_DIR "/%1/_RESOURCE").arg(QLatin1String(folder))).filePath(page);
}

} // namespace

TEST(HelpPages, EveryTopicOpensInBothFoldersAndLanguages)
{
    // The oscilloscope's anchors come from its control table: all of them must be listed above.
    std::set<std::string> oscillo(kTopics[2].anchors.begin(), kTopics[2].anchors.end());
    for (int id = 1000; id < 1300; ++id)
        EXPECT_TRUE(oscillo.count(HelpAnchorForControl(id))) << id;
    for (const auto& [language, contents] : {std::pair{plat::LANG_ENGLISH_US, kTopics[0].english},
                                            std::pair{plat::LANG_JAPANESE, kTopics[0].japanese}}) {
        plat::ScopedLanguage scoped(language);
        EXPECT_EQ(CMainFrame::HelpTopicPage(), QStringLiteral("_RESOURCE/") + QString::fromUtf8(contents));
    }
    for (const char* folder : {"Help", "Help_en"}) {
        for (const Topic& topic : kTopics) {
            for (const char* name : {topic.english, topic.japanese}) {
                const HelpPage page = HelpPages::Read(Shipped(folder, QString::fromUtf8(name)));
                ASSERT_TRUE(page.read) << folder << "/" << name;
                EXPECT_FALSE(page.text.trimmed().isEmpty()) << name;
                for (const char* anchor : topic.anchors)
                    EXPECT_TRUE(page.anchors.contains(QLatin1String(anchor))) << name << "#" << anchor;
            }
        }
    }
}

TEST(HelpPages, LinksResolveAndEachContentsReachesItsLanguage)
{
    for (const char* folder : {"Help", "Help_en"}) {
        const QStringList files = QDir(Shipped(folder)).entryList({QStringLiteral("*.htm")}, QDir::Files);
        EXPECT_EQ(files.size(), 2 * static_cast<qsizetype>(std::size(kTopics))) << "a page no topic opens";
        for (const QString& file : files) {
            for (const QUrl& link : HelpPages::Read(Shipped(folder, file)).links) {
                const HelpPage target = HelpPages::Read(link.toLocalFile());
                EXPECT_TRUE(target.read) << file.toStdString() << " -> " << link.toString().toStdString();
                EXPECT_TRUE(link.fragment().isEmpty() || target.anchors.contains(link.fragment()))
                    << file.toStdString() << " -> " << link.toString().toStdString();
            }
        }
        for (const bool japanese : {false, true}) {
            QStringList expected;
            for (const Topic& topic : kTopics)
                expected += QFileInfo(Shipped(folder, QString::fromUtf8(japanese ? topic.japanese : topic.english)))
                                .absoluteFilePath();
            QStringList reached = HelpPages::Reachable(expected.front());
            reached.sort();
            expected.sort();
            EXPECT_EQ(reached.join('\n').toStdString(), expected.join('\n').toStdString())
                << folder << (japanese ? " Japanese" : " English");
        }
    }
    // Decoded as UTF-8: the Japanese contents page names itself in Japanese.
    EXPECT_EQ(HelpPages::Read(Shipped("Help", QString::fromUtf8(kTopics[0].japanese))).title,
              QString::fromUtf8("KVX \xE3\x82\xBF\xE3\x83\xAB\xE3\x83\x99\xE3\x83\xAA\xE3\x83\xB3 "
                                "\xE3\x83\x98\xE3\x83\xAB\xE3\x83\x97"));
}

TEST(HelpPages, ReadingReachingAndHolding)
{
    char pattern[] = "/tmp/talverin-helpXXXXXX";
    const QDir dir(QString::fromLocal8Bit(::mkdtemp(pattern)));
    const auto write = [&dir](const char* name, const std::string& text) {
        ASSERT_TRUE(plat::WriteFileAtomic(dir.filePath(QLatin1String(name)).toStdString(), text));
    };
    write("a.htm", "<html><head><title> Alpha </title></head><body><a href=\"b.htm#x\">b</a> "
                   "<a href=\"gone.htm\">gone</a> <a href=\"http://example.invalid/c.htm\">web</a> "
                   "<a href=\"notes.txt\">notes</a></body></html>");
    write("b.htm", "<html><body><a name=\"x\"></a>Zeppelin <a href=\"a.htm\">back</a></body></html>");
    write("notes.txt", "zeppelin");
    // A page that names another charset is read in it.
    write("latin.htm", "<html><head><meta charset=\"iso-8859-1\"></head><body>caf\xE9</body></html>");

    const HelpPage a = HelpPages::Read(dir.filePath("a.htm"));
    EXPECT_EQ(a.title, "Alpha");
    ASSERT_EQ(a.links.size(), 3) << "the web link is not a page of the help";
    EXPECT_EQ(a.links[0].fragment(), "x");
    EXPECT_EQ(HelpPages::Read(dir.filePath("b.htm")).anchors, QStringList{"x"});
    EXPECT_EQ(HelpPages::Read(dir.filePath("b.htm")).title, "b.htm");
    EXPECT_EQ(HelpPages::Read(dir.filePath("latin.htm")).text.trimmed(), QString::fromUtf8("caf\xC3\xA9"));
    EXPECT_FALSE(HelpPages::Read(dir.filePath("gone.htm")).read);

    const QStringList reached = HelpPages::Reachable(dir.filePath("a.htm"));
    EXPECT_EQ(reached, (QStringList{dir.filePath("a.htm"), dir.filePath("b.htm")})) << "missing, web and text files left out";
    EXPECT_TRUE(HelpPages::Reachable(dir.filePath("gone.htm")).isEmpty());
    EXPECT_EQ(HelpPages::Holding(reached, "ZEPPELIN"), QStringList{dir.filePath("b.htm")});
    EXPECT_EQ(HelpPages::Holding(reached, "href"), QStringList{}) << "markup is not text";
    QDir(dir).removeRecursively();
}
