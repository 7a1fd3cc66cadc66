// The oscilloscope screen without a driver: its first activation and layout, zoom, the value
// edits' checks with scripted boxes, the View record and the exports through the real scope.
#include "AppFixture.h"

#include "common/CommandIds.h"
#include "screens/oscillo/CViewOscillo.h"
#include "screens/oscillo/OscilloCapture.h"
#include "screens/oscillo/OscilloIds.h"

#include <model/DataFile.h>

#include <platform/qt/pump.h>

#include <testsupport/temp_folder.h>

#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

using talverin::CViewOscillo;
using namespace talverin::OscilloId;

namespace {

class ViewOscilloGui : public apptest::AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ::setenv("TALVERIN_COMPONENTS", TALVERIN_BIN_DIR "/components.ini", 0);
        ASSERT_TRUE(Start());
        frame().resize(1000, 700);
        frame().show();
        frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
        // View > Oscilloscope (Ctrl+1), as the program offers it.
        ASSERT_TRUE(frame().Commands().execute(talverin::ID_VIEW_OSCILLO));
        ASSERT_EQ(frame().GetCurrentViewId(), talverin::VIEW_OSCILLO);
        view = dynamic_cast<CViewOscillo*>(frame().GetView(talverin::VIEW_OSCILLO));
        ASSERT_NE(view, nullptr);
        plat::qt::PumpAllPending();
    }

    QWidget* w(int id) { return view->Form()->findChild<QWidget*>(QString::number(id)); }
    QRect at(int id) { return w(id)->geometry(); }
    std::string text(int id) { return view->controlText(id); }
    talverin::CZRSLIDER slider(int id) { return talverin::CZRSLIDER(view->Form(), id); }

    // Types into the edit and moves the focus on, as a user leaving the box.
    void type(int id, const char* value, int next = CursorB)
    {
        auto* e = static_cast<QLineEdit*>(w(id));
        e->setFocus();
        plat::qt::PumpAllPending();
        e->setText(QString::fromLatin1(value));
        w(next)->setFocus();
        plat::qt::PumpAllPending();
    }

    CViewOscillo* view = nullptr;
};

} // namespace

TEST_F(ViewOscilloGui, FirstActivationAndLayout)
{
    // The set-up values.
    EXPECT_EQ(text(TriggerPosition), "50.0");
    EXPECT_EQ(text(Level), "0.00");
    EXPECT_EQ(text(Time), "0.1");
    EXPECT_EQ(text(Resolution), "50");
    EXPECT_EQ(text(HorizontalPosition), "0.0");
    EXPECT_EQ(text(CursorA), "0.5");
    EXPECT_EQ(text(CursorB), "1.5");
    EXPECT_EQ(text(CursorAB), "1.0");
    EXPECT_EQ(text(ZeroPosition1), "60.00");
    EXPECT_EQ(text(ZeroPosition1 + 3), "-60.00");
    EXPECT_EQ(slider(PositionSlider).GetValue(13), 500000);
    EXPECT_EQ(slider(ZeroSlider).GetValue(2), 8000);
    EXPECT_TRUE(view->isChecked(Trigger1));
    EXPECT_TRUE(view->isChecked(EdgeDown));
    EXPECT_TRUE(view->isChecked(Cont));
    EXPECT_TRUE(view->isChecked(Zoom1));
    EXPECT_EQ(text(talverin::OscilloId::Run), "Start");
    EXPECT_FALSE(w(talverin::OscilloId::Run)->isEnabled());
    EXPECT_FALSE(w(HorizontalPosition)->isEnabled());
    // The sources: an empty entry, then the unit's [WV] lines.
    auto* source = static_cast<QComboBox*>(w(Source1));
    ASSERT_GE(source->count(), 2);
    EXPECT_EQ(source->itemText(0), QString());
    EXPECT_EQ(source->itemText(1).toStdString(), store().m_waveSources.at(0));

    // The scope is snapped to 20 n + 1; the sliders are glued to it.
    const QRect scope = at(1003);
    EXPECT_EQ(scope.width() % 20, 1);
    EXPECT_EQ(scope.height() % 20, 1);
    EXPECT_EQ(at(1126), QRect(scope.left() - 6, scope.top() - 12, scope.width() + 12, 12));
    EXPECT_EQ(at(1127), QRect(scope.left() - 12, scope.top() - 6, 12, scope.height() + 12));
    EXPECT_EQ(at(1128), QRect(scope.left() - 6, scope.top() + scope.height(), scope.width() + 12, 12));
    EXPECT_EQ(at(1129), QRect(scope.left() + scope.width(), scope.top() - 6, 12, scope.height() + 12));
    EXPECT_EQ(at(1105).right() + 1, scope.left() + scope.width());
    EXPECT_EQ(at(1101).top(), scope.top() + scope.height() + 18);

    // Growing the window grows the scope; the right column moves with it.
    const QRect group = at(GroupTrigger);
    frame().resize(1200, 800);
    plat::qt::PumpAllPending();
    EXPECT_GT(at(1003).width(), scope.width());
    EXPECT_EQ(at(1003).width() % 20, 1);
    EXPECT_EQ(at(GroupTrigger).left() - group.left(), at(1003).width() - scope.width());
    EXPECT_EQ(at(1129).left(), at(1003).left() + at(1003).width());
    // A window smaller than the form scrolls: nothing shrinks below the form.
    frame().resize(200, 150);
    plat::qt::PumpAllPending();
    EXPECT_GE(view->Form()->width(), view->MinimumClientSize().width());
}

TEST_F(ViewOscilloGui, ZoomRangesTheTriggerCursorAndThePositionSlider)
{
    for (auto [id, max] : {std::pair{Zoom1 + 4, 62500}, {Zoom1 + 1, 500000}, {Zoom1, 1000000}}) {
        static_cast<QPushButton*>(w(id))->click();
        std::int64_t low = -1, high = -1;
        slider(PositionSlider).GetRangeValueI64(13, &low, &high);
        EXPECT_EQ(high, max);
        EXPECT_TRUE(view->isChecked(id));
        EXPECT_EQ(w(HorizontalPosition)->isEnabled(), id != Zoom1);
    }
    plat::LONG low = -1, high = -1;
    slider(PositionScroll).GetRangeValue(1, &low, &high);
    EXPECT_EQ(high, 100); // zoom 1
}

TEST_F(ViewOscilloGui, ValueEditsAreCheckedWhenTheyLoseTheFocus)
{
    // Channels 1 and 2 show VF (no decimals, -5000 ... 5000): their edits are open.
    for (int ch : {0, 1}) {
        auto* source = static_cast<QComboBox*>(w(Source1 + ch));
        source->setCurrentIndex(1);
        emit source->activated(1);
    }
    EXPECT_TRUE(w(Scale1)->isEnabled());
    struct Case {
        int id;
        const char* typed;
        const char* caption; // empty: accepted
        const char* shown;
    } cases[] = {
        {Time, "0.05", "Range error", "0.05"},
        {Time, "500.1", "Range error", "500.1"},
        {Time, "abc", "Range error", "abc"},
        {Time, "10", "", "10.0"},
        {Resolution, "205", "Range error", "205"},
        {Resolution, "204.9", "", "204"},
        {CursorA, "999999", "Range Error", "999999"},
        {CursorA, "12.34", "", "12.3"},
        {TriggerPosition, "150", "", "100.0"},
        {TriggerPosition, "xyz", "", "0.0"},
        {ZeroPosition1 + 1, "-250", "", "-100.00"},
        {Scale1, "000050", "", "50"},
        {Scale1, "", "", "50"},          // an empty scale is put back
        {Scale1, "99999", "", "5000"},   // kept within the parameter's range
        {Scale1, "abc", "", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.id) + " " + c.typed);
        const std::size_t before = m_boxes.count();
        if (*c.caption)
            m_boxes.answer(plat::IDOK);
        type(c.id, c.typed);
        EXPECT_EQ(text(c.id), c.shown);
        EXPECT_EQ(m_boxes.count(), before + (*c.caption ? 1u : 0u));
        if (*c.caption) {
            EXPECT_EQ(m_boxes.last().caption, c.caption);
            EXPECT_EQ(QApplication::focusWidget(), w(c.id)) << "the focus goes back to the bad value";
            static_cast<QLineEdit*>(w(c.id))->setText(QString::fromStdString(view->controlText(c.id)));
            // Put a good value back so that the next case starts clean.
            const char* good = c.id == Time ? "10.0" : c.id == Resolution ? "50" : "1.0";
            static_cast<QLineEdit*>(w(c.id))->setText(QString::fromLatin1(good));
            w(CursorB)->setFocus();
            plat::qt::PumpAllPending();
        }
    }
    EXPECT_EQ(m_boxes.shown()[0].text, "HORIZONAL/TIME setting is out of range.\nSetting range is 0.1 through 500.0");
    // 100.0 and -100 reached the sliders.
    EXPECT_EQ(slider(ZeroSlider).GetValue(2), 20000);
}

TEST_F(ViewOscilloGui, TimeChangeRescalesThePositionOnce)
{
    type(Time, "10");
    static_cast<QPushButton*>(w(Zoom1 + 1))->click();
    static_cast<QLineEdit*>(w(HorizontalPosition))->setEnabled(true);
    type(HorizontalPosition, "3.3");
    EXPECT_EQ(text(HorizontalPosition), "3.3");
    type(Time, "20");
    EXPECT_EQ(text(HorizontalPosition), "6.6");
}

TEST_F(ViewOscilloGui, EnterInAValueEditChecksItAndMovesOn)
{
    auto hook = plat::qt::KeyboardHookChain::instance().install(
        [this](const plat::qt::KeyInput& key) { return view->HandleHookKey(key); });
    auto* time = static_cast<QLineEdit*>(w(Time));
    time->setFocus();
    time->setText(QStringLiteral("20"));
    QTest::keyClick(time, Qt::Key_Return);
    plat::qt::PumpAllPending();
    EXPECT_NE(QApplication::focusWidget(), time);
    EXPECT_EQ(text(Time), "20.0");
    EXPECT_EQ(slider(TimeSlider).GetValue(1), 200);

    // A refused value: one box, and the focus comes back to it.
    time->setFocus();
    time->setText(QStringLiteral("0"));
    m_boxes.answer(plat::IDOK);
    QTest::keyClick(time, Qt::Key_Return);
    plat::qt::PumpAllPending();
    EXPECT_EQ(m_boxes.count(), 1u);
    EXPECT_EQ(QApplication::focusWidget(), time);
    // Enter elsewhere is left alone.
    EXPECT_FALSE(view->HandleHookKey({plat::qt::VK_RETURN, 0, true, false, 1, {}, w(CursorAB)}));
}

TEST_F(ViewOscilloGui, BitmapExportWritesTheFaceAndThePanel)
{
    EXPECT_FALSE(view->Commands().isEnabled(talverin::OscilloCommand::SaveCsv));
    // An empty View record entry reads "not recorded." and cannot be restored.
    EXPECT_EQ(view->Commands().state(talverin::OscilloCommand::ViewRecord1).text(), QStringLiteral("not recorded."));
    EXPECT_FALSE(view->Commands().isEnabled(talverin::OscilloCommand::ViewRecord1));

    plat::test::TempFolder folder;
    const std::string path = folder.file("scope.bmp");
    m_files.accept(path);
    ASSERT_TRUE(view->Commands().execute(talverin::OscilloCommand::SaveBitmap));
    const std::string bytes = plat::test::readBytes(path);
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    const QImage picture = QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()));
    EXPECT_EQ(picture.width(), 641 + 348);
    EXPECT_EQ(picture.pixelColor(641 + 300, 630), QColor(Qt::white)); // the panel's blank bottom

    // A folder that does not exist: the save error box, no file.
    m_files.accept(folder.file("missing/scope.bmp"));
    m_boxes.answer(plat::IDOK);
    view->Commands().execute(talverin::OscilloCommand::SaveBitmap);
    EXPECT_EQ(m_boxes.last().caption, "File save error");
    EXPECT_FALSE(plat::test::fileExists(folder.file("missing/scope.bmp")));
}

TEST_F(ViewOscilloGui, DroppedParameterLinesChooseASourceByTheirName)
{
    auto* box = static_cast<QComboBox*>(w(Source1));
    const auto dropOn = [box](const QString& text) {
        QMimeData data;
        data.setText(text);
        const QPoint at = box->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(box, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(box, &drop);
        return enter.isAccepted() && drop.isAccepted();
    };
    EXPECT_FALSE(dropOn(QStringLiteral("VF")));       // one field
    EXPECT_FALSE(dropOn(QStringLiteral("R,NONE,1"))); // not in the list
    EXPECT_EQ(box->currentIndex(), 0);
    EXPECT_TRUE(dropOn(QStringLiteral("R,vf,0,rpm")));
    EXPECT_EQ(view->controlText(Source1), "VF");
    EXPECT_TRUE(w(Scale1)->isEnabled());
}

TEST_F(ViewOscilloGui, AFormWithoutItsCornerMarkIsNotLaidOut)
{
    CViewOscillo bare(frame());
    bare.Form()->findChild<QWidget*>(QStringLiteral("1225"))->move(0, 40);
    bare.resize(900, 600);
    bare.show();
    bare.OnViewSwitch(true, talverin::VIEW_OSCILLO);
    plat::qt::PumpAllPending();
    const QRect scope = bare.Form()->findChild<QWidget*>(QStringLiteral("1003"))->geometry();
    bare.resize(1300, 900);
    plat::qt::PumpAllPending();
    EXPECT_EQ(bare.Form()->findChild<QWidget*>(QStringLiteral("1003"))->geometry(), scope);
    EXPECT_EQ(bare.controlText(TriggerPosition), "50.0"); // set up all the same
}
