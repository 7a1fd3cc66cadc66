// The driver model's command families through the line, one table each; the state carries from
// one row to the next.
#include "ModelFixture.h"

using namespace drivesim;

namespace {

class ModelFamilyPty : public ModelTest {};

TEST_F(ModelFamilyPty, IdentificationLockAndLineWords)
{
    startModel();
    run({{"MI", "KVX100A 1.00\r\nSYS 1.00\r\n:"},
         {"m i", "KVX100A 1.00\r\nSYS 1.00\r\n:"},   // blanks and case do not count
         {"?KP", "KP0\r\n:"},
         {"KP", "NOT OMISSIBLE\r\n:"},
         {"KP2", "RANGE OVER\r\n:"},
         {"KPX", "UNKNOWN OPTION\r\n:"},
         {"KP1", ":"},
         {"?kp", "KP1\r\n:"},
         {"WWC", ":"},
         {"", ":"},
         {"NOSUCH", "NOSUCH?\r\n:"},
         {":A@B", "?A?B?\r\n:"}});   // quoted text never looks like a prompt or a marker
}

TEST_F(ModelFamilyPty, ParametersReadWriteAndTheirErrors)
{
    startModel();
    model.setLocked(false);
    ASSERT_TRUE(model.setValue("VF", "-120"));
    run({{"?SPD", "SPD100\r\n:"},
         {"SPD250", ":"},
         {"SPD5000", "RANGE OVER\r\n:"},
         {"SPD", "NOT OMISSIBLE\r\n:"},
         {"SPD12X", "RANGE OVER\r\n:"},
         {"SPD120.0", ":"},                      // trailing zeros are representable
         {"gain 1.5", ":"},
         {"?GAIN", "GAIN1.50\r\n:"},
         {"GAIN1.555", "RANGE OVER\r\n:"},
         {"GAIN0.00", "RANGE OVER\r\n:"},
         {"OFS(-1000)", "RANGE OVER\r\n:"},
         {"OFS-1000", ":"},
         {"DIR2", "RANGE OVER\r\n:"},
         {"SWON", ":"},
         {"SWMAYBE", "RANGE OVER\r\n:"},
         {"MODEMANUAL", ":"},
         {"MODEA1", "RANGE OVER\r\n:"},
         {"MODEA", "RANGE OVER\r\n:"},
         {"?MODE", "MODEMANUAL\r\n:"},
         {"VF10", "READ ONLY\r\n:"},
         {"?VF", "VF-120\r\n:"},
         {"?TRQ", "TRQ0.0\r\n:"},
         {"?RESET", "READ HIBIT\r\n:"},
         {"RESET5", "RANGE OVER\r\n:"},
         {"MOV", "NOT OMISSIBLE\r\n:"},
         {"MOV1.5", "RANGE OVER\r\n:"},
         {"MOV+1000", ":"},
         {"END", ":"},
         {"?EXTRA", "?EXTRA?\r\n:"}});
    EXPECT_EQ(model.value("SPD"), "120");
    EXPECT_EQ(model.value("OFS"), "-1000");
    EXPECT_EQ(model.value("SW"), "ON");
}

TEST_F(ModelFamilyPty, AlarmsAndTheirReset)
{
    startModel();
    run({{"TA/HI", ":"}});
    ASSERT_TRUE(model.raiseAlarm(31, "OVER CURRENT"));
    ASSERT_TRUE(model.raiseAlarm(12, "OVERLOAD"));
    EXPECT_FALSE(model.raiseAlarm(0, "NONE"));
    EXPECT_FALSE(model.raiseAlarm(7, "BAD@TEXT"));
    run({{"?ALM", "ALM12\r\n:"},
         {"RESET", ":"},   // an action: the lock lets it through
         {"?ALM", "ALM0\r\n:"},
         {"TA/HI", "1 AL012 OVERLOAD\r\n2 AL031 OVER CURRENT\r\n:"}});
    for (int i = 0; i < 9; ++i)
        model.raiseAlarm(100 + i, "X");
    EXPECT_EQ(model.alarmHistory().size(), 8u);
    EXPECT_EQ(model.alarmHistory().front(), (AlarmEntry{108, "X"}));
}

TEST_F(ModelFamilyPty, ChannelCommandsOutsideTheBlocks)
{
    startModel();
    model.setLocked(false);
    ASSERT_TRUE(model.setChannel(3, {"SPD500", "MOV+1000", "END"}));
    ASSERT_TRUE(model.setChannel(5, {"SPD500", "END"}));
    run({{"TC3", "0000>SPD500\r\n0001>MOV+1000\r\n0002>END\r\n:"},
         {"TC4", ":"},
         {"CI3", ":"},
         {"TC3", ":"},
         {"TC4", "0000>SPD500\r\n0001>MOV+1000\r\n0002>END\r\n:"},
         {"CD3", ":"},
         {"TC3", "0000>SPD500\r\n0001>MOV+1000\r\n0002>END\r\n:"},
         {"CC3", ":"},
         {"TC3", ":"},
         {"TC300", "RANGE OVER\r\n:"},
         {"CD256", "RANGE OVER\r\n:"},
         {"TC", "NOT OMISSIBLE\r\n:"},
         {"TCX", "UNKNOWN OPTION\r\n:"},
         {"CH256", "RANGE OVER\r\n:"},
         {"CC/AL", ":"},
         {"TC5", ":"}});
    EXPECT_EQ(model.channelLineTotal(), 0);
    EXPECT_FALSE(model.setChannel(0, {"XYZ10"}));
}

TEST_F(ModelFamilyPty, PinQueriesMonitorsAndResets)
{
    startModel();
    model.setLocked(false);
    model.setInputLevel(2, true);
    model.setOutputState(0, true);
    ASSERT_TRUE(model.setPin(PinSide::Input, 2, {"4", true, "0"}));
    run({{"TPI0", "PI0\r\nFN1\r\nAB0\r\nNW0\r\n:"},
         {"TPI2", "PI2\r\nFN4\r\nAB1\r\nNW0\r\n:"},
         {"TPO1", "PO1\r\nFN3\r\nGC1\r\nST1\r\n:"},
         {"TPI17", "RANGE OVER\r\n:"},
         {"TPO8", "RANGE OVER\r\n:"},
         {"IO0", "INPUT  GFEDCBA9876543210\r\nOUTPUT 76543210\r\n00000000000000100\r\n00000011\r\n:"},
         {"IO1", "INPUT  GFEDCBA9876543210\r\nOUTPUT 76543210\r\n00000000000000010\r\n00000001\r\n:"},
         {"IO2", "RANGE OVER\r\n:"},
         {"PI2/RS", ":"},   // input 2 has no factory line
         {"TPI2", "PI2\r\nFN\r\nAB0\r\nNW\r\n:"},
         {"PI/CL", ":"},
         {"TPI0", "PI0\r\nFN\r\nAB0\r\nNW\r\n:"},
         {"PI0/RS", ":"},
         {"TPI0", "PI0\r\nFN1\r\nAB0\r\nNW0\r\n:"},
         {"PO/CL", ":"},
         {"TPO1", "PO1\r\nFN\r\nGC0\r\nST\r\n:"}});
    EXPECT_TRUE(model.pin(PinSide::Input, 2).level);   // the level is not part of the setting
}

TEST_F(ModelFamilyPty, OscilloscopeSettings)
{
    startModel();
    run({{"?WHR", "WHR201\r\n:"},   {"?WHL", "WHL200.0\r\n:"}, {"?WVA", "WVAVF\r\n:"},
         {"?WVC", "WVC-1\r\n:"},     {"?WTC", "WTCA\r\n:"},     {"?WTH", "WTH50.0\r\n:"},
         {"?WTV", "WTV0\r\n:"},      {"?WLA", "WLA0\r\n:"},     {"?WTS", "WTS0\r\n:"},
         {"WVBTRQ", "WLB0\r\n:"},    {"WLB12.5", ":"},          {"?WLB", "WLB12.5\r\n:"},
         {"WVBTRQ", "WLB12.5\r\n:"}, {"WVBVF", "WLB0\r\n:"},    {"WLB999999", "RANGE OVER\r\n:"},
         {"WVCVF", "WLC0\r\n:"},     {"WVC-1", "WLC\r\n:"},     {"?WLC", "WLC\r\n:"},
         {"WLC5", "CONDITION MISMATCH\r\n:"},
         {"WVE1", "UNKNOWN OPTION\r\n:"}, {"WVAXX", "UNKNOWN OPTION\r\n:"}, {"WVA", "NOT OMISSIBLE\r\n:"},
         {"WTCD", ":"},              {"?WTC", "WTCD\r\n:"},     {"WTCE", "UNKNOWN OPTION\r\n:"},
         {"WHL1.9", "RANGE OVER\r\n:"}, {"WHL10000.0", ":"},    {"WHL2.05", "RANGE OVER\r\n:"},
         {"WHR4082", "RANGE OVER\r\n:"}, {"WHR2", ":"},         {"WTV1", ":"},
         {"WTH100.1", "RANGE OVER\r\n:"}, {"WTH0.5", ":"},      {"WTR0", "CONDITION MISMATCH\r\n:"},
         {"WTR2", "RANGE OVER\r\n:"}, {"WCD", "CONDITION MISMATCH\r\n:"}, {"WTS3", "READ ONLY\r\n:"},
         {"?WCD", "READ HIBIT\r\n:"}, {"WTA", ":"}});
    const ScopeSettings s = model.scope();
    EXPECT_EQ(s.sources, (std::array<std::string, 4>{"VF", "VF", "", ""}));
    EXPECT_EQ(s.trigger, 'D');
    EXPECT_EQ(s.recordTime, "10000.0");
    EXPECT_EQ(s.position, "0.5");
    EXPECT_EQ(s.samples, 2);
    ScopeSettings bad = s;
    bad.sources[3] = "NOPE";
    std::string error;
    EXPECT_FALSE(model.setScope(bad, &error));
    EXPECT_EQ(error, "WVDNOPE: UNKNOWN OPTION");
    EXPECT_EQ(model.scope(), s);
}

} // namespace
