// The driver model as a whole: blocks in the order the line carried them, the lock, the read-all
// dump read back by the model library, a capture, the line rate across connections, the program.
#include "ModelFixture.h"

#include <model/DataFile.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace drivesim;

namespace {

class ModelPty : public ModelTest {
protected:
    std::vector<std::string> transcriptFrom(std::size_t from)
    {
        std::vector<std::string> out;
        const auto all = sim->transcript();
        for (std::size_t i = from; i < all.size(); ++i)
            out.push_back(all[i].str());
        return out;
    }
};

TEST_F(ModelPty, BlocksWithARefusedLineInTheOrderOfTheLine)
{
    startModel();
    run({{"KP1", ":"},
         {"CH5", "0000?"},
         {"SPD500", "0001?"},
         {"XYZ10", "XYZ10?\r\n0001?"},
         {"END", "0002?"},
         {"", ":"},
         {"PI2", "0000?"},
         {"FN4", "0001?"},
         {"AB2", "0002?"},
         {"NW1.5", "0003?"},
         {"", "AB2?\r\nRANGE OVER\r\n:"},
         {"PO3", "0000?"},
         {"GC", "0001?"},
         {"", "GC?\r\nNOT OMISSIBLE\r\n:"}});
    EXPECT_EQ(transcriptFrom(1), (std::vector<std::string>{"L CH5", "A SPD500", "A XYZ10", "A END", "A ",
                                                           "L PI2", "A FN4", "A AB2", "A NW1.5", "A ", "L PO3",
                                                           "A GC", "A "}));
    EXPECT_EQ(model.channel(5), (std::vector<std::string>{"SPD500", "END"}));
    EXPECT_EQ(model.pin(PinSide::Input, 2), (PinState{"4", false, "1.5", false}));   // the valid fields are taken

    // A block abandoned with a backspace ends with the prompt; lines taken so far stay.
    client->write("CH6\r");
    EXPECT_EQ(client->readUntil("?"), "CH6\r\n0000?");
    client->write("SPD1\r");
    EXPECT_EQ(client->readUntil("?"), "SPD1\r\n0001?");
    client->write("\b");
    EXPECT_EQ(client->readUntil(":"), "\r\n:");
    EXPECT_EQ(model.channel(6), std::vector<std::string>{"SPD1"});

    // Appended at the next free line; the total limit refuses what is over it.
    for (int ch = 10; ch < 10 + 1023 / 100; ++ch)
        ASSERT_TRUE(model.setChannel(ch, std::vector<std::string>(100, "END")));
    ASSERT_TRUE(model.setChannel(20, std::vector<std::string>(1024 - 3 - 1000, "END")));
    EXPECT_EQ(model.channelLineTotal(), 1024);
    EXPECT_FALSE(model.setChannel(21, {"END"}));
    run({{"CH6", "0001?"}, {"END", "END?\r\n0001?"}, {"", ":"}});
}

TEST_F(ModelPty, TheLockRefusesSettingsOnly)
{
    startModel();
    run({{"SPD200", "PASSWORD REQUIRED\r\n:"}, {"MM1", "PASSWORD REQUIRED\r\n:"}, {"CC0", "PASSWORD REQUIRED\r\n:"},
         {"CH0", "PASSWORD REQUIRED\r\n:"},    {"CI0", "PASSWORD REQUIRED\r\n:"}, {"CD0", "PASSWORD REQUIRED\r\n:"},
         {"CC/AL", "PASSWORD REQUIRED\r\n:"},  {"PI2", "PASSWORD REQUIRED\r\n:"}, {"PO2", "PASSWORD REQUIRED\r\n:"},
         {"PI0/RS", "PASSWORD REQUIRED\r\n:"}, {"PI/CL", "PASSWORD REQUIRED\r\n:"}, {"PO/CL", "PASSWORD REQUIRED\r\n:"},
         // Never refused: reads, actions and the oscilloscope.
         {"?SPD", "SPD100\r\n:"}, {"TC0", ":"}, {"TPI1", "PI1\r\nFN2\r\nAB1\r\nNW0\r\n:"}, {"MOV-5", ":"},
         {"WHR401", ":"}, {"KP1", ":"}, {"SPD200", ":"}, {"KP0", ":"}, {"SPD300", "PASSWORD REQUIRED\r\n:"}});
    EXPECT_EQ(model.value("SPD"), "200");
    EXPECT_EQ(model.pin(PinSide::Input, 0).function, "1");
}

TEST_F(ModelPty, TheReadAllDumpLoadsBackIntoTheSameValues)
{
    startModel();
    ASSERT_TRUE(model.setValue("SPD", "120"));
    ASSERT_TRUE(model.setValue("OFS", "-100"));
    ASSERT_TRUE(model.setValue("MODE", "MANUAL"));
    ASSERT_TRUE(model.setChannel(0, {"SPD500", "MOV+1000", "END"}));
    ASSERT_TRUE(model.setChannel(255, {"GAIN2.5"}));
    ASSERT_TRUE(model.setPin(PinSide::Output, 7, {"9", true, "-2"}));
    EXPECT_EQ(client->exchange("?SW,MODE,TX0\r"), "?SW,MODE,TX0\r\nSWOFF\r\nMODEMANUAL\r\n" + model.dumpText() + ":");

    std::string text = model.dumpText();
    std::erase(text, '\r');
    const std::string path = (std::filesystem::temp_directory_path() / "drivesim-dump.txt").string();
    std::ofstream(path, std::ios::binary) << text;
    model::CDataFile store;
    int code = -1;
    ASSERT_EQ(model::CheckDocumentSections(path, code), 1) << code;
    ASSERT_EQ(store.LoadDefinition(DRIVESIM_SAMPLE_UNIT), 1);
    ASSERT_EQ(store.LoadDocument(path, code), 1) << code;
    std::remove(path.c_str());
    for (const char* name : {"SPD", "ACC", "GAIN", "DIR", "OFS"})
        EXPECT_DOUBLE_EQ(store.FindParameter(name)->m_currentValue, std::stod(*model.value(name))) << name;
    EXPECT_EQ(store.FindParameter("MODE")->m_currentText, "MANUAL");
    std::string ch0;
    for (const auto& line : store.GetChannelProgram(0)->m_lines)
        ch0 += line.text + "|";
    EXPECT_EQ(ch0, "SPD\t500|MOV\t+1000|END\t|");
    EXPECT_EQ(store.GetChannelProgram(255)->m_lines.at(0).text, "GAIN\t2.5");
    int outputs = 0;
    for (int pin = 1; pin <= 50; ++pin) {
        const model::CN2PinRecord* r = store.GetPinRecord(pin);
        if (r && r->IsOutput() && r->m_io == 7) {
            ++outputs;
            EXPECT_EQ(r->m_function, "9");
            EXPECT_EQ(r->m_logic, "N");
        }
    }
    EXPECT_EQ(outputs, 1);
}

TEST_F(ModelPty, ACaptureOnAShortenedTimeScale)
{
    startModel();
    model.setCaptureTimeScale(0);
    model.setStatusScript({1, 2});
    ScopeSettings s = model.scope();
    s.sources = {"VF", "TRQ", "VF", "TRQ"};
    s.samples = 5;
    ASSERT_TRUE(model.setScope(s));
    run({{"?WTS", "WTS0\r\n:"},   // idle polls are not scripted
         {"WTR0", ":"},
         {"?WTS", "WTS1\r\n:"},
         {"?WTS", "WTS2\r\n:"},
         {"?WTS", "WTS3\r\n:"},
         {"WCD", "VF,TRQ,VF,TRQ\r\n1000,-300.0,1000,-300.0\r\n0,-150.0,0,-150.0\r\n-1000,0.0,-1000,0.0\r\n"
                 "0,150.0,0,150.0\r\n1000,300.0,1000,300.0\r\n:"},
         {"WTA", ":"},
         {"?WTS", "WTS0\r\n:"},
         {"WCD", "VF,TRQ,VF,TRQ\r\n1000,-300.0,1000,-300.0\r\n0,-150.0,0,-150.0\r\n-1000,0.0,-1000,0.0\r\n"
                 "0,150.0,0,150.0\r\n1000,300.0,1000,300.0\r\n:"}});
    // A level the trigger signal never reaches keeps the capture armed; WTR1 does not wait.
    model.setSignal("VF", [](int i, int) { return i * 10; });
    model.setCaptureTimeScale(1000);
    run({{"WLA50", ":"}, {"WTR0", ":"}, {"?WTS", "WTS1\r\n:"}, {"WTR1", ":"}, {"?WTS", "WTS2\r\n:"}});
    model.setStatusScript({3});
    run({{"?WTS", "WTS3\r\n:"}, {"WCD", "VF,TRQ,VF,TRQ\r\n0,-300.0,0,-300.0\r\n10,-150.0,10,-150.0\r\n"
                                        "20,0.0,20,0.0\r\n30,150.0,30,150.0\r\n40,300.0,40,300.0\r\n:"}});
}

TEST_F(ModelPty, TheCaptureRateStaysAcrossAConnectionUntilAPowerCycle)
{
    Options o;
    o.initialRate = 9600;
    startModel(o);
    run({{"KP1", ":"}, {"BDT10000.0", ":"}, {"/TRX ON", ":"}});
    client->write("BDR3\r");
    EXPECT_EQ(client->readUntil("\r\n"), "BDR3\r\n");
    ASSERT_TRUE(sim->waitForStats([](const Stats& st) { return st.currentRate == 57600; }, 2s));
    client = std::make_unique<PtyClient>(sim->slavePath(), 57600);   // a new connection
    run({{"BDV", ":"}, {"?KP", "KP1\r\n:"}});
    model.powerCycle();
    ASSERT_TRUE(sim->waitForStats([](const Stats& st) { return st.currentRate == 9600; }, 2s));
    ASSERT_TRUE(client->setSpeed(9600));
    run({{"?KP", "KP0\r\n:"}});
}

TEST_F(ModelPty, TheProgramWithAUnitAStateAndItsOptionErrors)
{
    const std::string program = DRIVESIM_PROGRAM;
    const std::string unit = DRIVESIM_SAMPLE_UNIT;
    // The shell prints its process id and becomes the program, which prints its device.
    FILE* out = ::popen(("echo $$; exec " + program + " --unit " + unit + " --lock 1 --page-lines 400 --state " +
                         DRIVESIM_SAMPLE_DOCUMENT)
                            .c_str(),
                        "r");
    ASSERT_NE(out, nullptr);
    char buf[256];
    ASSERT_NE(std::fgets(buf, sizeof buf, out), nullptr);
    const int pid = std::atoi(buf);
    ASSERT_NE(std::fgets(buf, sizeof buf, out), nullptr);
    std::string path = buf;
    path.pop_back();
    DriverModel same;
    ASSERT_TRUE(same.load(unit));
    ASSERT_TRUE(same.loadState(DRIVESIM_SAMPLE_DOCUMENT));
    const std::string dump = same.dumpText();
    std::size_t page = 0;
    for (int i = 0; i < 400; ++i)
        page = dump.find("\r\n", page) + 2;
    {
        PtyClient c(path);
        EXPECT_EQ(c.exchange("?KP\r"), "?KP\r\nKP1\r\n:");
        EXPECT_EQ(c.exchange("TC0\r"), "TC0\r\n0000>SPD500\r\n0001>MOV+1000\r\n0002>END\r\n:");
        c.write("TX0\r");
        EXPECT_EQ(c.readUntil(";"), "TX0\r\n" + dump.substr(0, page) + ";");
        EXPECT_EQ(c.readFor(20ms), "");   // the page waits for its blank
        c.write(" ");
        EXPECT_EQ(c.readUntil(":"), dump.substr(page) + ":");
    }
    ::kill(pid, SIGTERM);
    EXPECT_EQ(::pclose(out), 0);

    const std::string bad = (std::filesystem::temp_directory_path() / "drivesim-bad.zrd").string();
    std::ofstream(bad) << ";comment\nSPD100\nCH3\nSPD500\nXYZ10\n";
    const std::pair<std::string, std::string> cases[] = {
        {" --unit " + unit + " --state " + bad, bad + ": line 5: XYZ10: UNKNOWN OPTION"},
        {" --unit /no/such.ini", "/no/such.ini: No such file or directory"},
        {" --lock 1", "--lock, --state, --capture-time-scale and --page-lines need --unit"},
        {" --unit " + unit + " --lock 2", "--lock takes 0 (locked) or 1 (unlocked)"},
        {" --unit " + unit + " --page-lines 0", "--page-lines takes a whole number from 1"},
        {" --unit " + unit + " --capture-time-scale x", "--capture-time-scale takes a number of 0 or more"}};
    for (const auto& [args, message] : cases) {
        FILE* err = ::popen((program + args + " 2>&1 >/dev/null; echo rc=$?").c_str(), "r");
        std::string text;
        while (std::fgets(buf, sizeof buf, err))
            text += buf;
        ::pclose(err);
        EXPECT_EQ(text.substr(0, text.find('\n')), "talverin-drivesim: " + message) << args;
        EXPECT_NE(text.find("rc=2"), std::string::npos) << args;
    }
    std::remove(bad.c_str());
}

TEST(ModelUnit, UnitFilesItCannotUse)
{
    const std::pair<const char*, const char*> cases[] = {
        {"[Other]\nX=1\n", "no [Parameter] section with parameters"},
        {"[Parameter]\nWRT,SPD,0,,100,0,,0-3000\nWRT,SPD,0,,100,0,,0-3000\n", "line 3: the parameter SPD is defined twice"},
        {"[Parameter]\nWRT,GAIN,0,,1.00,x,,0-1\n", "line 2: GAIN: decimals must be 0..6"},
        {"[Parameter]\nWRT,GAIN,0,,1.005,2,,0-2\n", "line 2: GAIN: the default \"1.005\" is not a number with 2 decimals"},
        {"[Parameter]\nWRT,SPD,0,,1,0,,5-1\n", "line 2: SPD: the range item \"5-1\" is not an interval of numbers with 0 decimals"},
        {"[Parameter]\nWRT,,0\n", "line 2: a parameter needs a name that begins with a letter"},
        {"[Parameter\n", "line 1: a section name needs its ']'"},
        {"[Parameter]\nR,VF,0,,0,0,,0-1\n[CN2]\nPI17/FN1\n", "[CN2] PI17/FN1: no pin PI0..PI16 or PO0..PO7"},
        {"[Parameter]\nR,VF,0,,0,0,,0-1\n[CN2]\nPI1/FN40\n", "[CN2] PI1/FN40: FN40: RANGE OVER"}};
    for (const auto& [text, message] : cases) {
        DriverModel m;
        std::string error;
        EXPECT_FALSE(m.loadText(text, &error)) << text;
        EXPECT_EQ(error, message) << text;
        EXPECT_FALSE(m.loaded());
    }
}

} // namespace
