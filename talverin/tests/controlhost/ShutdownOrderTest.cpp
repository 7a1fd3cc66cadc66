// A handler that destroys the form whose control fired, and the shut-down order: forms and their
// controls first, then the loader, which finds no live object left.
#include "recorder_fixture.h"

#include "controlhost/CZRCN2.h"
#include "controlhost/EventSinkMap.h"

#include <component/plugin_api.h>
#include <controls/ZRCN2Members.h>

#include <platform/qt/pump.h>

#include <QWidget>

#include <memory>

using namespace talverin;

namespace {

class ShutdownGuiTest : public RecorderFixture {
protected:
    comp::HRESULT canUnload()
    {
        void* h = dlopen(RECORDER_PLUGIN, RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
        auto fn = h ? reinterpret_cast<comp::DllCanUnloadNowFn>(dlsym(h, comp::kDllCanUnloadNow)) : nullptr;
        return fn ? fn() : comp::E_FAIL;
    }
};

} // namespace

TEST_F(ShutdownGuiTest, AHandlerClosingItsFormDefersTheControlAndTheLoaderEndsClean)
{
    auto form = std::make_unique<QWidget>();
    ControlSite* site = CZRCN2::Create(form.get(), {0, 0, 40, 20}, 1201);
    ASSERT_NE(site, nullptr);
    CZRCN2 wrapper(form.get(), 1201);
    ASSERT_TRUE(wrapper.isValid());
    auto map = std::make_unique<EventSinkMap>();
    int fired = 0;
    map->on(1201, ctl::zrcn2::Change, [&](std::span<const comp::Variant>) {
        ++fired;
        map.reset();  // the screen's table goes with the form
        form.reset(); // the form closes from inside its control's event
    });
    site->setEventSinkMap(map.get());
    comp::Control* control = site->control();
    fire(control, ctl::zrcn2::Change, {comp::Variant::fromI4(1)}); // returns into live code
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(wrapper.isValid()); // the guarded site is gone: calls answer 0
    EXPECT_EQ(wrapper.GetState(), 0);

    // The control itself goes once the event is over; then nothing of the plug-in lives on and
    // its exit runs.
    EXPECT_EQ(canUnload(), comp::S_FALSE);
    EXPECT_FALSE(comp::Loader::instance().shutdown());
    plat::qt::PumpAllPending();
    EXPECT_EQ(canUnload(), comp::S_OK);
    EXPECT_TRUE(comp::Loader::instance().shutdown());
}
