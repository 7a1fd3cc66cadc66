// AppFixture with the machine's serial devices replaced by a list (empty unless a test sets
// m_devices before Start).
#pragma once

#include "AppFixture.h"

#include "connection/SerialDeviceEnumerator.h"

#include <utility>
#include <vector>

namespace apptest {

class FrameFixture : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        m_savedEnumerator = talverin::SetSerialDeviceEnumerator([this] { return m_devices; });
    }
    void TearDown() override
    {
        AppFixture::TearDown();
        talverin::SetSerialDeviceEnumerator(std::move(m_savedEnumerator));
    }
    // Counts the runs of a command the frame does not handle yet.
    void CountCommand(plat::UINT id) { frame().Commands().add(id, [this, id] { ++m_ran[id]; }); }

    std::vector<std::string> m_devices;
    std::map<plat::UINT, int> m_ran;

private:
    talverin::SerialDeviceEnumerator m_savedEnumerator;
};

} // namespace apptest
