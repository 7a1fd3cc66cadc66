// The channel editor's cores: texts, steps, the line budget, the table changes and the list edits.
#include "screens/channel/ChannelListCore.h"
#include "screens/channel/ChannelStep.h"
#include "screens/channel/ChannelTable.h"
#include "screens/channel/ChannelText.h"

#include <model/ChannelProgram.h>
#include <model/ZRParamData.h>

#include <gtest/gtest.h>

using namespace talverin;

namespace {

std::string cells(const ChannelListCore& core)
{
    std::string out;
    for (const ChannelRow& r : core.rows().rows())
        out += r.command + "/" + r.data + (r.rejected ? "!" : "") + " ";
    return out;
}

// A core over a store of 256 channels of which `others` lines sit outside the current channel.
struct ListFixture {
    explicit ListFixture(int outside = 0) : others(outside)
    {
        core.setLabelLookup([](std::string_view c) { return c == "SPD" ? std::string("Speed") : std::string(); });
        core.setTallySource([this](int used) { return LineTally{others + (used >= 0 ? used : stored), false}; });
        core.setDocumentModified([this] { ++documentChanges; });
    }
    void list(std::initializer_list<const char*> lines)
    {
        model::CChannelProgram p;
        for (const char* l : lines)
            p.AddLine(l);
        stored = static_cast<int>(p.m_lines.size());
        core.List(p);
    }
    int others = 0;
    ChannelListCore core;
    int stored = 0;
    int documentChanges = 0;
};

} // namespace

TEST(ChannelText, InputAndReplyForms)
{
    QString typed = QStringLiteral("A B\u3042C");
    int cursor = 4; // after the Japanese character
    EXPECT_EQ(StripBlanks(typed, &cursor), 2);
    EXPECT_EQ(typed, "ABC");
    EXPECT_EQ(cursor, 2);
    std::string utf8 = "M\xE3\x81\x82V\t1";
    EXPECT_EQ(StripBlanks(utf8), 2);
    EXPECT_EQ(utf8, "MV1");

    struct { const char* reply; const char* text; } reads[] = {
        {"", "CH4\r"},
        {"0000>SPD500\r0001>END", "CH4\rSPD500\rEND\r"},
        {"SPD500\r\r0001>\r>>MOV+5", "CH4\rSPD500\r>MOV+5\r"}, // bare lines, empty pieces, only the first '>'
    };
    for (const auto& c : reads)
        EXPECT_EQ(ReadReplyToProgramText(4, c.reply), c.text) << c.reply;
    EXPECT_TRUE(IsChannelWriteRejected("0000\r0001?", 0));
    EXPECT_TRUE(IsChannelWriteRejected("0000", 1));
    EXPECT_FALSE(IsChannelWriteRejected("0000\r0001", 0));
    struct { const char* reply; int lines; int written; } progress[] = {
        {"", 3, 0}, {"0000SPD500", 3, 0}, {"0000SPD500\r0001XYZ\rXYZ?\r0001END", 3, 2}, {"0000A\r0001B\r0002\r", 2, 2},
    };
    for (const auto& c : progress)
        EXPECT_EQ(WrittenLineCount(c.reply, c.lines), c.written) << c.reply;

    struct { const char* text; int channel; } boxes[] = {{"300", -1}, {"", -1}, {"12a", -1}, {"255", 255}, {"007", 7}, {"256", -1}};
    for (const auto& c : boxes)
        EXPECT_EQ(ParseChannelNumber(c.text, 256), c.channel) << c.text;

    struct { const char* line; bool row; const char* command; const char* data; } imports[] = {
        {"jmp 10", true, "JMP", "10"}, {"mov   -5", true, "MOV-", "5"}, {";CH=3", true, ";CH=", "3"},
        {"  end", true, "END", ""},    {"123", false, "", ""},          {" \t", false, "", ""},
        {"wait 1/2", true, "WAIT", "1/2"},
    };
    for (const auto& c : imports) {
        ChannelRow row;
        ASSERT_EQ(SplitImportLine(c.line, row), c.row) << c.line;
        if (c.row) {
            EXPECT_EQ(row.command + "|" + row.data, std::string(c.command) + "|" + c.data) << c.line;
        }
    }
    EXPECT_TRUE(IsImportFileName("PROG.TXT"));
    EXPECT_FALSE(IsImportFileName("prog.csv"));
    EXPECT_TRUE(IsParameterDragText("WRC,SPD,0,rpm"));
    EXPECT_FALSE(IsParameterDragText("WR,SPD,C"));

    const PasteText whole = ParsePasteText(";CH=3\r\n0\tS PD\t5 0\tlabel\n1\t\t\t\r2\tEND\t\t\r\njunk");
    EXPECT_TRUE(whole.replace);
    ASSERT_EQ(whole.rows.size(), 2u);
    EXPECT_EQ(whole.rows[0], (ChannelRow{"SPD", "50", "label", 0}));
    EXPECT_EQ(whole.rows[1].command, "END");
    EXPECT_FALSE(ParsePasteText("0\tEND\t\t\r\n").replace);
    EXPECT_FALSE(HasPasteLine("\r\n"));
    EXPECT_EQ(SplitChannelTag(2017).kind, kKindClear);
    EXPECT_EQ(SplitChannelTag(2017).channel, 17);
}

TEST(ChannelStep, ButtonsWalkTheRange)
{
    model::CZRParamData alt("WR,POS,0,,0,0,Position,0-10/20-30,,1/10/100,0,0");
    struct { double v; int b; double want; } cases[] = {
        {10, kStepFineUp, 20},   // into the next alternative at its minimum
        {30, kStepFineUp, 30},   // past the last: its maximum
        {20, kStepFineDown, 10}, // back into the previous at its maximum
        {0, kStepFineDown, 0},   // before the first: its minimum
        {5, kStepFineUp, 6},     // inside stays
        {5, kStepCoarseUp, 30},  // beyond every maximum
        {5, kStepReset, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StepValue(alt, c.v, c.b), c.want) << c.v << " " << c.b;
    model::CZRParamData gain("WRT,GAIN,0,,1.00,2,Position gain,0.01-99.99,,0.01,1.00,0");
    EXPECT_EQ(StepText(gain, "99.95", kStepCoarseUp), "99.99");
    EXPECT_EQ(StepText(gain, "0.05abc", kStepFineDown), "0.04");
    EXPECT_EQ(StepText(gain, "", kStepReset), "1.00");

    model::CZRParamData spd("W,SPD,0,rpm,100,0,Speed,0-3000,,10,100,0");
    const auto captions = StepCaptions(spd);
    EXPECT_EQ(captions[kStepCoarseUp] + captions[kStepMediumUp] + captions[kStepFineUp], "100101");
    EXPECT_EQ(captions[kStepCoarseDown], "-100");
    EXPECT_FALSE(StepResetEnabled(spd));
    EXPECT_TRUE(StepResetEnabled(gain));
    EXPECT_TRUE(HasStepPanel(spd));
    EXPECT_FALSE(HasStepPanel(model::CZRParamData("WRT,SW,0,,OFF,0,Servo switch,ON/OFF,,,OFF,0")));
}

TEST(ChannelTable, LocalChangesShiftNumberAndMark)
{
    model::CDataFile::ChannelArray table(256);
    for (int ch : {0, 3, 4, 255}) {
        table[ch] = std::make_unique<model::CChannelProgram>();
        table[ch]->m_channel = ch;
        table[ch]->AddLine("END\t");
        table[ch]->m_lineCount = 1;
    }
    table[4]->m_lineCount = -1; // never read
    model::CChannelProgram* old4 = table[4].get();

    DeleteChannelLocal(table, 3, true);
    EXPECT_EQ(table[3].get(), old4);
    EXPECT_EQ(table[3]->m_channel, 3);
    EXPECT_EQ(table[3]->m_currentLine, 0); // unread: nothing to write
    EXPECT_EQ(table[254]->m_currentLine, 1);
    EXPECT_EQ(table[255]->m_lineCount, 0);
    EXPECT_EQ(table[255]->m_currentLine, 1);
    EXPECT_EQ(table[0]->m_currentLine, 0);

    InsertChannelLocal(table, 0, false);
    EXPECT_EQ(table[0]->m_lineCount, -1); // the driver's new channel is read from it
    EXPECT_EQ(table[1]->m_channel, 1);
    EXPECT_EQ(table[4].get(), old4);
    EXPECT_EQ(table.size(), 256u);
    InsertChannelLocal(table, 0, true);
    EXPECT_EQ(table[0]->m_lineCount, 0); // known empty, written later: never read over
    EXPECT_EQ(table[0]->m_currentLine, 1);

    ClearAllChannelsLocal(table, false);
    for (int ch = 0; ch < 256; ++ch)
        ASSERT_TRUE(table[ch] && table[ch]->m_lines.empty() && table[ch]->m_lineCount == 0 && table[ch]->m_channel == ch);
}

TEST(ChannelLineBudget, TallyClampAndRecount)
{
    model::CDataFile::ChannelArray table(256);
    for (auto& slot : table) {
        slot = std::make_unique<model::CChannelProgram>();
        slot->m_lineCount = 4;
        slot->m_lines.resize(4);
    }
    LineTally t = ChannelLineBudget::Tally(&table, 7, -1);
    EXPECT_EQ(t.lines, 1024);
    EXPECT_FALSE(t.unread);
    t = ChannelLineBudget::Tally(&table, 7, 9);
    EXPECT_EQ(t.lines, 1029);
    table[9].reset();
    EXPECT_TRUE(ChannelLineBudget::Tally(&table, 7, -1).unread);

    int lines = 1029;
    ChannelLineBudget budget([&] { return LineTally{lines, false}; });
    budget.Recount();
    EXPECT_TRUE(budget.mustDeleteLines());
    EXPECT_EQ(budget.remaining(), 0);
    lines = 1020;
    budget.ConsumeLines(-1); // over the limit: counted afresh
    EXPECT_EQ(budget.remaining(), 4);
    budget.ConsumeLines(6);
    EXPECT_EQ(budget.remaining(), 0);
    EXPECT_TRUE(budget.overLimit());
}

TEST(ChannelListCore, ListCommitInsertDelete)
{
    ListFixture f(1020);
    f.list({"SPD\t5\t", "END\t\tmy end"});
    EXPECT_EQ(cells(f.core), "SPD/5 END/ / ");
    EXPECT_EQ(f.core.rows().at(0).comment, "Speed");
    EXPECT_EQ(f.core.remaining(), 2);

    // Nothing typed into the blank row takes no line.
    EXPECT_FALSE(f.core.Commit(2, kColumnCommand, "  ").changed);
    EXPECT_EQ(f.core.rows().size(), 3);
    auto r = f.core.Commit(2, kColumnCommand, " SPD ");
    EXPECT_TRUE(r.changed && r.appended);
    EXPECT_EQ(f.core.rows().at(2).comment, "Speed");
    EXPECT_EQ(f.core.remaining(), 1);
    EXPECT_TRUE(f.core.listModified());

    f.core.setCurrentRow(1);
    ASSERT_TRUE(f.core.InsertLine()); // the last line: no blank row after it
    EXPECT_EQ(cells(f.core), "SPD/5 / END/ SPD/ ");
    EXPECT_EQ(f.core.remaining(), 0);
    EXPECT_FALSE(f.core.CanInsertLine());

    f.core.setCurrentRow(4);
    EXPECT_EQ(f.core.DeleteLines({1, 3, 4, 9}), 2); // the blank last row stays
    EXPECT_EQ(f.core.currentRow(), 2);
    EXPECT_EQ(cells(f.core), "SPD/5 END/ / ");
    EXPECT_EQ(f.core.remaining(), 2);
    EXPECT_GE(f.documentChanges, 3);

    model::CChannelProgram stored;
    f.core.Store(stored);
    ASSERT_EQ(stored.m_lines.size(), 2u);
    EXPECT_EQ(stored.m_lines[0].text, "SPD\t5\tSpeed");
    EXPECT_EQ(stored.m_lineCount, 2);
    EXPECT_EQ(stored.m_currentLine, 1);
    EXPECT_FALSE(f.core.listModified());
}

TEST(ChannelListCore, PasteImportAndDropWithinTheLimit)
{
    ListFixture f(1022);
    f.list({"SPD\t5\t"});
    f.core.setCurrentRow(0);
    // One line left: one of three pasted rows goes in, and no blank row is left.
    EXPECT_EQ(f.core.Paste(ParsePasteText("0\tA\t1\t\r\n1\tB\t2\t\r\n2\tC\t3\t\r\n")).added, 1);
    EXPECT_EQ(cells(f.core), "A/1 SPD/5 ");
    EXPECT_EQ(f.core.currentRow(), 1);
    EXPECT_EQ(f.core.Paste(ParsePasteText("0\tD\t\t")).added, 0);

    // A whole channel gives its rows' lines back before it fills the list.
    ListFixture h(1021);
    h.list({"A\t1\t", "B\t2\t"});
    EXPECT_EQ(h.core.Paste(ParsePasteText(";CH=1\r\n0\tX\t\t\r\n1\tY\t\t\r\n2\tZ\t\t\r\n")).added, 3);
    EXPECT_EQ(cells(h.core), "X/ Y/ Z/ ");

    ListFixture g(1019);
    g.list({"A\t1\t", "B\t2\t"});
    g.core.setCurrentRow(2);
    std::vector<std::string> file = {"spd 10", "", "mov-5", "end", "one", "two"};
    std::size_t next = 0;
    const int imported = g.core.Import([&](ChannelRow& row) {
        while (next < file.size()) {
            if (SplitImportLine(file[next++], row))
                return true;
        }
        return false;
    }).added;
    EXPECT_EQ(imported, 3); // stops at the limit
    EXPECT_EQ(cells(g.core), "A/1 B/2 SPD/10 MOV-/5 END/ ");
    EXPECT_EQ(g.core.rows().at(2).comment, "Speed");
    EXPECT_EQ(g.core.currentRow(), 4); // kept within the list
    EXPECT_EQ(g.core.InsertAfterUsed(ChannelRow{"SPD", "1", "Speed", 0}).added, 0);
}

TEST(ChannelListCore, MarksDropsAndCopies)
{
    ListFixture f;
    f.list({"JMP\t10\t", "END\t\t"});
    f.core.MarkRows("JMP10\r?\rEND");
    EXPECT_EQ(cells(f.core), "JMP/10! END/ / ");
    f.core.MarkRows("?\r0000\r0001\r0002\r0003\r0004"); // marks before the first row and past the last are ignored
    EXPECT_EQ(cells(f.core), "JMP/10 END/ / ");
    f.core.MarkRows("0000\r0001\rEND?");
    model::CChannelProgram program;
    f.core.Store(program);
    program.AddLine("MOV\t5\t"); // neither rejected nor blank: kept
    EXPECT_TRUE(f.core.DropRejectedLines(program));
    ASSERT_EQ(program.m_lines.size(), 2u);
    EXPECT_EQ(program.m_lines[1].text, "MOV\t5\t");

    f.list({"JMP\t10\t", "END\t\t"});
    EXPECT_EQ(f.core.CopyText({1, 0, 2}), "0\tJMP\t10\t\r\n1\tEND\t\t\r\n");
    EXPECT_EQ(f.core.ChannelCopyText(3), ";CH=3\r\n0\tJMP\t10\t\r\n1\tEND\t\t\r\n");
}
