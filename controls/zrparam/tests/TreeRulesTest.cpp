// Tree marks, export, path search, help pages and pane layout on a tree without widgets.
#include <zrparam/HelpPages.h>
#include <zrparam/PaneLayout.h>
#include <zrparam/TreeExport.h>
#include <zrparam/TreeMarks.h>
#include <zrparam/TreePath.h>

#include <gtest/gtest.h>

#include <map>

using namespace zrparam;

namespace {

// Items are the list's nodes in order (id = index + 1), the structure their parents.
class FakeTree : public ItemTree {
public:
    explicit FakeTree(const std::vector<std::string>& lines)
    {
        std::vector<CZRParamClass*> open;
        for (const std::string& line : lines) {
            if (line == "{") {
                open.push_back(list.back().get());
                continue;
            }
            if (line == "}") {
                open.pop_back();
                continue;
            }
            auto node = std::make_unique<CZRParamClass>();
            node->SetFromText(line);
            node->m_parent = open.empty() ? nullptr : open.back();
            list.push_back(std::move(node));
        }
    }
    ItemId FirstChild(ItemId item) const override { return find(item ? node(item) : nullptr, 0); }
    ItemId NextSibling(ItemId item) const override { return item ? find(node(item)->m_parent, static_cast<std::size_t>(item)) : 0; }
    ItemId Parent(ItemId item) const override
    {
        const CZRParamClass* parent = item ? node(item)->m_parent : nullptr;
        for (std::size_t i = 0; parent && i < list.size(); ++i) {
            if (list[i].get() == parent)
                return static_cast<ItemId>(i + 1);
        }
        return 0;
    }
    CZRParamClass* Node(ItemId item) const override { return item ? node(item) : nullptr; }
    std::string Text(ItemId item) const override { return node(item)->GetLabel(); }
    ImagePair Images(ItemId item) const override { return images.count(item) ? images.at(item) : ImagePair{}; }
    void SetImages(ItemId item, ImagePair pair) override { images[item] = pair; }

    ItemId byName(const std::string& label) const
    {
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (list[i]->GetLabel().starts_with(label))
                return static_cast<ItemId>(i + 1);
        }
        return 0;
    }
    ImageRole role(const std::string& label) const { return Images(byName(label)).normal; }

    NodeList list;
    std::map<ItemId, ImagePair> images;

private:
    CZRParamClass* node(ItemId item) const { return list[static_cast<std::size_t>(item - 1)].get(); }
    // The first item from index `from` whose parent is `parent`.
    ItemId find(const CZRParamClass* parent, std::size_t from) const
    {
        for (std::size_t i = from; i < list.size(); ++i) {
            if (list[i]->m_parent == parent)
                return static_cast<ItemId>(i + 1);
        }
        return 0;
    }
};

const std::vector<std::string> kNested = {
    "*,,,,,,Outer", "{", "*,,,,,,Inner", "{", "WR,AAA,0,,0,0,Alpha,0-9,,1,0,0", "WR,BBB,0,,0,0,Beta,0-9,,1,0,0", "}",
    "WR,CCC,0,,0,0,Gamma,0-9,,1,0,0", "I,INP,0,,0,0,Input,0-1,,1,0,0", "}", "#,,,,,,Monitor",
};

std::map<ItemId, ImagePair> recounted(FakeTree& tree)
{
    auto saved = tree.images;
    TreeMarks::Recount(tree, 0);
    std::swap(saved, tree.images);
    return saved;
}

} // namespace

TEST(TreeMarksTest, GroupsAreMarkedExactlyWhileAParameterBelowIsChangedAndARecountAgrees)
{
    FakeTree tree(kNested);
    TreeMarks::Recount(tree, 0);
    auto commit = [&](const std::string& name, double value) {
        CZRParamClass* node = tree.Node(tree.byName(name));
        node->m_record->m_currentValue = value;
        TreeMarks::AfterCommit(tree, node->m_record->m_name);
        EXPECT_EQ(tree.images, recounted(tree)) << "after " << name;
    };
    commit("AAA", 5);
    EXPECT_EQ(tree.role("AAA"), ImageRole::Changed);
    EXPECT_EQ(tree.role("Inner"), ImageRole::GroupChanged);
    EXPECT_EQ(tree.role("Outer"), ImageRole::GroupChanged); // two levels up
    commit("BBB", 0); // unchanged: its group keeps the mark for AAA
    EXPECT_EQ(tree.role("Inner"), ImageRole::GroupChanged);
    commit("CCC", 1);
    commit("AAA", 0);
    EXPECT_EQ(tree.role("Inner"), ImageRole::Group);
    EXPECT_EQ(tree.role("Outer"), ImageRole::GroupChanged); // CCC still
    commit("CCC", 0);
    EXPECT_EQ(tree.role("Outer"), ImageRole::Group);
    EXPECT_EQ(tree.Images(tree.byName("INP")).normal, ImageRole::Group); // input items keep theirs
    EXPECT_EQ(tree.Images(tree.byName("Outer")).selected, ImageRole::GroupSelected);
}

TEST(TreeMarksTest, CommitsTogetherMarkAsCommitsOneByOne)
{
    // A group reset counts the marks once for all its items: the images and counters must be those
    // of one commit after the other.
    const std::vector<std::pair<std::vector<std::string>, double>> cases = {
        {{"AAA", "CCC"}, 3}, {{"AAA", "AAA", "BBB"}, 2}, {{"INP", "BBB"}, 0}, {{"CCC", "NONE", ""}, 4}, {{}, 1}};
    for (const auto& [names, value] : cases) {
        FakeTree single(kNested);
        FakeTree together(kNested);
        for (FakeTree* tree : {&single, &together}) {
            TreeMarks::Recount(*tree, 0);
            tree->Node(tree->byName("BBB"))->m_record->m_currentValue = 1; // marked before
            TreeMarks::AfterCommit(*tree, "BBB");
            for (const std::string& name : names)
                if (const ItemId item = tree->byName(name))
                    tree->Node(item)->m_record->m_currentValue = value;
        }
        for (const std::string& name : names)
            TreeMarks::AfterCommit(single, name);
        TreeMarks::AfterCommits(together, std::vector<std::string_view>(names.begin(), names.end()));
        EXPECT_EQ(together.images, single.images) << names.size();
        for (std::size_t i = 0; i < single.list.size(); ++i)
            EXPECT_EQ(together.list[i]->m_record->m_treeUseCount, single.list[i]->m_record->m_treeUseCount) << i;
    }
}

TEST(TreeExportTest, LinesNestInBracesAndABufferTooSmallAnywhereFails)
{
    FakeTree tree(kNested);
    char buffer[512];
    const long end = TreeExport::Write(tree, tree.FirstChild(0), buffer, sizeof buffer);
    ASSERT_GT(end, 0);
    std::vector<std::string> lines;
    for (long at = 0; at < end; at += static_cast<long>(lines.back().size()) + 1)
        lines.emplace_back(buffer + at);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0], "*,,0,,,0,Outer,,1,0,,0");
    EXPECT_EQ(lines[1], "{");
    EXPECT_EQ(lines[3], "{");
    EXPECT_EQ(lines[6], "}");
    EXPECT_EQ(lines[9], "}");
    EXPECT_EQ(buffer[end], '\0');
    EXPECT_EQ(buffer[end - 1], '\0');
    for (long size : {end - 1, 20L, 1L})
        EXPECT_EQ(TreeExport::Write(tree, tree.FirstChild(0), buffer, size), -1) << size;
    EXPECT_EQ(TreeExport::Write(tree, tree.FirstChild(0), nullptr, 512), -1);
    EXPECT_EQ(TreeExport::Write(tree, 0, buffer, 1), 0);
}

TEST(TreePathTest, LabelsArePrefixesLevelByLevelAndTheLastIsCutAtItsColon)
{
    FakeTree tree(kNested);
    std::vector<ItemId> found;
    EXPECT_EQ(TreePath::Find(tree, "Out\\Inn\\BBB:whatever", &found), tree.byName("BBB"));
    EXPECT_EQ(found, (std::vector<ItemId>{tree.byName("Outer"), tree.byName("Inner"), tree.byName("BBB")}));
    EXPECT_EQ(TreePath::Find(tree, "Monitor"), tree.byName("Monitor"));
    for (const char* miss : {"", "Nope", "Outer\\Nope", "Inner"})
        EXPECT_EQ(TreePath::Find(tree, miss), 0) << miss;
}

TEST(HelpPagesTest, PagesAreTriedInOrderWithTheNameInLowerCaseOnly)
{
    std::vector<std::string> tried;
    auto none = [&](const std::string& path) {
        tried.push_back(path);
        return false;
    };
    EXPECT_EQ(HelpPages::Resolve("/h/He/lp", "AB/C", none), "/h/He/lp/cmd_notfound.html");
    EXPECT_EQ(tried, (std::vector<std::string>{"/h/He/lp/cmd_ab/c.html", "/h/He/lp/cmd_ab[S]c.html", "/h/He/lp/cmd_ab.html"}));
    EXPECT_EQ(HelpPages::Resolve("/h/", "ABC", [](const std::string& p) { return p == "/h/cmd_abc.html"; }), "/h/cmd_abc.html");
    tried.clear();
    HelpPages::Resolve("/h", "/X", none);
    EXPECT_EQ(tried.size(), 2u); // a name starting with '/' has no part before it
    EXPECT_TRUE(HelpPages::SameLocation("file:///A\\b.html", "FILE:///a/B.html"));
    EXPECT_FALSE(HelpPages::SameLocation("file:///a.html", "file:///a.htm"));
}

TEST(PaneLayoutTest, CreationResizeSplittersAndSizes)
{
    const int help = kShowHelp;
    Panes p = PaneLayout::Create(800, 600, help);
    EXPECT_EQ(p.tree, (PaneRect{0, 0, 400, 600}));
    EXPECT_EQ(p.list, (PaneRect{404, 0, 396, 600}));
    EXPECT_EQ(PaneLayout::Create(800, 600, kShowStacked).list, (PaneRect{0, 304, 800, 296}));
    p = PaneLayout::Relayout(1000, 600, help, p); // the help pane's height was half the list's
    EXPECT_EQ(p.help, (PaneRect{404, 300, 596, 300}));
    EXPECT_EQ(p.list.h, 296);
    p.help.h = 700; // not below the control's height: half of it again
    EXPECT_EQ(PaneLayout::Relayout(1000, 600, help, p).help.h, 300);
    const Panes stacked = PaneLayout::Relayout(800, 600, kShowStacked, PaneLayout::Create(800, 600, kShowStacked));
    EXPECT_EQ(stacked.tree.bottom() + PaneLayout::kGap, stacked.list.y);
    EXPECT_EQ(stacked.list.bottom(), 600);

    EXPECT_EQ(PaneLayout::DragAt(help, 402, p), kTreeListDrag);
    EXPECT_EQ(PaneLayout::DragAt(help, 600, p), kListHelpDrag);
    EXPECT_FALSE(PaneLayout::Drag(kTreeListDrag, help, 64, 0, 1000, 600, p));
    EXPECT_FALSE(PaneLayout::Drag(kListHelpDrag, help, 0, 536, 1000, 600, p));
    const Panes moved = *PaneLayout::Drag(kTreeListDrag, help, 300, 0, 1000, 600, p);
    EXPECT_EQ(moved.list.x, 304);
    EXPECT_EQ(moved.help.x, 304);
    const Panes lower = *PaneLayout::Drag(kListHelpDrag, help, 0, 500, 1000, 600, p);
    EXPECT_EQ(lower.help, (PaneRect{404, 504, 596, 96}));
    EXPECT_FALSE(PaneLayout::ClosesHelp(help, lower));

    const Panes sized = PaneLayout::SetSizes(200, 590, 1000, 600, help, p);
    EXPECT_EQ(sized.tree.w, 200);
    EXPECT_EQ(sized.list.x, 204);
    EXPECT_EQ(sized.help.h, 6);
    EXPECT_TRUE(PaneLayout::ClosesHelp(help, sized));
    EXPECT_FALSE(PaneLayout::ClosesHelp(0, sized));

    // A narrow control: the tree gives the list what its value column needs, down to its margin.
    const Panes narrow = PaneLayout::Relayout(320, 380, help, PaneLayout::Create(320, 380, help));
    const Panes kept = PaneLayout::KeepListWidth(200, 320, 380, help, narrow);
    EXPECT_EQ(kept.tree.w, 116);
    EXPECT_EQ(kept.list, (PaneRect{120, 0, 200, narrow.list.h}));
    EXPECT_EQ(kept.help.x, 120);
    EXPECT_EQ(PaneLayout::KeepListWidth(300, 320, 380, help, narrow).tree.w, PaneLayout::kEdgeMargin);
    EXPECT_EQ(PaneLayout::KeepListWidth(100, 320, 380, help, narrow), narrow);
    EXPECT_EQ(PaneLayout::KeepListWidth(300, 320, 380, kShowStacked, stacked), stacked);
}
