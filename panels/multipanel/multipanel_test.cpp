// The driver against the host simulator: inputs through handleEvent with
// chosen ticks, the host's dataref and command journals, and the virtual
// panel's feature reports.
#include "multipanel.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "XPLMProcessing.h"
#include "hid/list_device_services.h"
#include "hostsim/hostsim.h"
#include "hostsim/panels/multipanel.h"
#include "hostsim/panels/x737.h"
#include "tick.h"

namespace drovanel {
namespace {

using hostsim::multipanel::Controls;
using hostsim::multipanel::Encoder;
using hostsim::multipanel::Selector;
using Bytes = std::vector<std::uint8_t>;

const char *const kHeading = "sim/cockpit/autopilot/heading_mag";
const char *const kObs = "sim/cockpit2/radios/actuators/hsi_obs_deg_mag_pilot";
const char *const kApMode = "sim/cockpit/autopilot/autopilot_mode";
const char *const kTrim = "sim/cockpit2/controls/elevator_trim";

std::uint32_t startupTick() { return 50000; }

HidDevice *openPanel(int listIndex) {
    auto *services = dynamic_cast<ListDeviceServices *>(&systemDeviceServices());
    if (services == nullptr) return nullptr;
    std::string path;
    std::uint16_t vendor = 0, product = 0;
    if (!services->listEntry(listIndex, &path, &vendor, &product)) return nullptr;
    std::uint32_t error = 0;
    return services->openPath(path, &error);
}

std::vector<std::string> commandPaths() {
    std::vector<std::string> paths;
    for (const hostsim::CommandCall &call : hostsim::commandJournal()) paths.push_back(call.path);
    return paths;
}

int countCommand(const std::string &path) {
    int n = 0;
    for (const std::string &p : commandPaths()) n += p == path ? 1 : 0;
    return n;
}

class MultipanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        hostsim::reset();
        Multipanel::setStartupWait(0);
        setTickSource(startupTick);
        device = hostsim::attach(hostsim::PanelKind::Multi);
        hostsim::setFeatureAnswer(device, hostsim::multipanel::stateAnswer(Selector::Hdg));
        hostsim::setInt("sim/cockpit/electrical/avionics_on", 1);
        hostsim::setIntAt("sim/cockpit/electrical/battery_array_on", 0, 1);
    }

    void TearDown() override {
        if (panel != nullptr) {
            panel->teardown();
            delete panel;
        }
        Multipanel::setStartupWait(500);
        setTickSource(nullptr);
        EXPECT_EQ(hostsim::nullCommandFaults(), 0);
        EXPECT_TRUE(hostsim::offThreadCalls().empty());
    }

    Multipanel &create() {
        panel = new Multipanel(openPanel(0));
        hostsim::clearCommandJournal();
        hostsim::clearDatarefWrites();
        return *panel;
    }

    // One report after a pause, so it starts a fresh turn.
    void send(const Bytes &report, std::uint8_t flag = 0) {
        tick += 1000;
        panel->handleEvent(report.data(), static_cast<std::uint32_t>(report.size()), flag, tick);
    }
    // One report 40 ms after the previous one.
    void follow(const Bytes &report) {
        tick += 40;
        panel->handleEvent(report.data(), static_cast<std::uint32_t>(report.size()), 0, tick);
    }

    int device = -1;
    Multipanel *panel = nullptr;
    std::uint32_t tick = 100000;
};

template <typename Done>
bool waitFor(Done done, int timeoutMs = 2000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

const Bytes kBlankStartupReport = {0x00, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x00, 0x00};

// The start-up exchange runs on the panel's refresh thread; what it reads
// back waits in the queue for the simulator thread's next update.
TEST_F(MultipanelTest, StartupExchangeBlanksPanelAndItsReadBackWaitsForUpdate) {
    hostsim::clearLog();
    create();
    EXPECT_TRUE(hostsim::featureReports(device).empty()) << "nothing written before the threads start";
    panel->start();
    ASSERT_TRUE(waitFor([&] { return panel->queuedEvents() >= 1; }));
    const auto reports = hostsim::featureReports(device);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports[0], kBlankStartupReport);
    EXPECT_EQ(hostsim::log(), "") << "logged where it takes effect";
    EXPECT_EQ(panel->currentSelector(), 0);
    panel->update();
    EXPECT_EQ(hostsim::log(), "get feature\n");
    EXPECT_EQ(panel->currentSelector(), 0x08);
}

// The host sends its aircraft-loaded notice for every aircraft it loads, AI
// aircraft included: the loads made while an exchange waits or runs share
// it, so the panel is blanked and read back once.
TEST_F(MultipanelTest, RepeatedAircraftLoadsShareOneStartupExchange) {
    Multipanel::setStartupWait(150);
    hostsim::clearLog();
    create();  // the constructor's own request
    for (int i = 0; i < 5; ++i) panel->initialize();
    panel->start();
    ASSERT_TRUE(waitFor([&] {
        panel->update();
        return !hostsim::log().empty();
    }));
    for (int i = 0; i < 5; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
        panel->update();
    }
    EXPECT_EQ(hostsim::log(), "get feature\n");
    int blanks = 0;
    for (const Bytes &report : hostsim::featureReports(device)) blanks += report == kBlankStartupReport ? 1 : 0;
    EXPECT_EQ(blanks, 1);
}

TEST_F(MultipanelTest, FailedStartupReadIsSilent) {
    hostsim::failGetFeature(device, true);
    hostsim::clearLog();
    create();
    panel->start();
    // The stored last report is replayed once the exchange is over.
    ASSERT_TRUE(waitFor([&] { return panel->queuedEvents() >= 1; }));
    panel->update();
    EXPECT_EQ(hostsim::log(), "");
    EXPECT_EQ(panel->currentSelector(), 0);
}

// From the cached dataref to the digits: Mach 0.78 is scaled in single
// precision and shows 78 (double math would truncate 77.99999 to 77).
TEST_F(MultipanelTest, MachSpeedShowsItsHundredths) {
    hostsim::setFloat("sim/cockpit/autopilot/airspeed", 0.78f);
    hostsim::setInt("sim/cockpit/autopilot/airspeed_is_mach", 1);
    create();
    send(hostsim::multipanel::selectorReport(Selector::Ias));
    panel->update();
    panel->sendReport();
    const hostsim::multipanel::Display display =
        hostsim::multipanel::decodeDisplay(hostsim::latestFeature(device, 0, 13));
    EXPECT_EQ(display.top + "|" + display.bottom, "  0.78|   78") << display.text();
}

// An aircraft load's exchange: the state read back (CRS with AP held) is
// applied between the live report that came before it and the one after.
TEST_F(MultipanelTest, ReadBackIsAppliedInOrderWithLiveReportsAtTheNextUpdate) {
    Bytes answer(13, 0);
    answer[1] = 0x10 | 0x80;
    hostsim::setFeatureAnswer(device, answer);
    hostsim::setFloat(kHeading, 90.0f);
    create();
    panel->start();
    ASSERT_TRUE(waitFor([&] { return panel->queuedEvents() >= 1; }));
    panel->update();
    ASSERT_EQ(hostsim::getInt(kApMode), 1);
    hostsim::clearDatarefWrites();
    hostsim::clearLog();

    hostsim::queueInput(device, hostsim::multipanel::encoderReport(Selector::Hdg, Encoder::Up));
    ASSERT_TRUE(waitFor([&] { return !panel->replayPending(); }));
    const std::uint32_t before = panel->queuedEvents();
    panel->initialize();
    ASSERT_TRUE(waitFor([&] { return panel->queuedEvents() == before + 1; }));
    hostsim::queueInput(device, hostsim::multipanel::encoderReport(Selector::Hdg, Encoder::Down));
    ASSERT_TRUE(waitFor([&] { return panel->queuedEvents() == before + 2; }));
    EXPECT_TRUE(hostsim::datarefWrites().empty()) << "nothing applied before the update";
    EXPECT_EQ(hostsim::log(), "");

    panel->update();
    std::vector<std::string> written;
    for (const hostsim::DatarefWrite &write : hostsim::datarefWrites()) written.push_back(write.path);
    EXPECT_EQ(written, std::vector<std::string>({kHeading, kApMode, kHeading}));
    EXPECT_EQ(hostsim::getInt(kApMode), 2);
    EXPECT_FLOAT_EQ(hostsim::getFloat(kHeading), 90.0f);
    EXPECT_EQ(panel->currentSelector(), 0x08) << "the last live report's selector";
    EXPECT_EQ(hostsim::log(), "get feature\n");
}

// The pause is far longer than the bound: teardown ends it and nothing is
// read back or queued.
TEST_F(MultipanelTest, TeardownDuringTheStartupPauseEndsItAndReadsNothing) {
    Multipanel::setStartupWait(60000);
    create();
    panel->start();
    ASSERT_FALSE(hostsim::waitFeature(device, 0, 13, 0, 2000).empty());
    const auto begin = std::chrono::steady_clock::now();
    panel->teardown();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5));
    EXPECT_EQ(panel->queuedEvents(), 0u);
    EXPECT_EQ(hostsim::featureReports(device).size(), 1u) << "only the blank report";
}

TEST_F(MultipanelTest, HeadingRunsOneTo360AndCourseZeroTo359) {
    create();
    hostsim::setFloat(kHeading, 1.0f);
    send(hostsim::multipanel::encoderReport(Selector::Hdg, Encoder::Down));
    EXPECT_FLOAT_EQ(hostsim::getFloat(kHeading), 360.0f);
    send(hostsim::multipanel::encoderReport(Selector::Hdg, Encoder::Up));
    EXPECT_FLOAT_EQ(hostsim::getFloat(kHeading), 1.0f);
    hostsim::setFloat(kHeading, 359.25f);
    send(hostsim::multipanel::encoderReport(Selector::Hdg, Encoder::Up));
    EXPECT_FLOAT_EQ(hostsim::getFloat(kHeading), 360.25f - 360.0f);

    hostsim::setFloat(kObs, 0.0f);
    send(hostsim::multipanel::encoderReport(Selector::Crs, Encoder::Down));
    EXPECT_FLOAT_EQ(hostsim::getFloat(kObs), 359.0f);
    send(hostsim::multipanel::encoderReport(Selector::Crs, Encoder::Up));
    EXPECT_FLOAT_EQ(hostsim::getFloat(kObs), 0.0f);
}

TEST_F(MultipanelTest, FastTurnFiresMultipliedCommands) {
    create();
    // After the resting report has been kept, one pulse, then the resting
    // report again: 1 step at once, 36 at the 13th.
    send(hostsim::multipanel::selectorReport(Selector::Alt));
    follow(hostsim::multipanel::selectorReport(Selector::Alt));
    send(hostsim::multipanel::encoderReport(Selector::Alt, Encoder::Up));
    for (int i = 2; i <= 13; ++i) follow(hostsim::multipanel::selectorReport(Selector::Alt));
    EXPECT_EQ(countCommand("sim/autopilot/altitude_up"), 37);
    EXPECT_EQ(countCommand("sim/autopilot/altitude_down"), 0);

    hostsim::clearCommandJournal();
    send(hostsim::multipanel::encoderReport(Selector::Vs, Encoder::Down));
    send(hostsim::multipanel::encoderReport(Selector::Ias, Encoder::Up));
    EXPECT_EQ(commandPaths(), std::vector<std::string>({"sim/autopilot/vertical_speed_down",
                                                        "sim/autopilot/autothrottle_off",
                                                        "sim/autopilot/airspeed_up",
                                                        "sim/autopilot/autothrottle_off"}));
}

TEST_F(MultipanelTest, ReplayRestoresSelectorAndAutothrottleOnly) {
    create();
    hostsim::setFloat(kHeading, 100.0f);
    Controls c;
    c.selector = Selector::Crs;
    c.encoder = Encoder::Up;
    c.ap = true;
    c.hdg = true;
    c.autothrottle = true;
    c.flapsDown = true;
    send(hostsim::multipanel::inputReport(c), 1);
    EXPECT_EQ(panel->currentSelector(), 0x10);
    EXPECT_EQ(commandPaths(), std::vector<std::string>({"sim/autopilot/autothrottle_on"}));
    EXPECT_TRUE(hostsim::datarefWrites().empty());

    // A report without a selector bit keeps the last position.
    send(Bytes{0, 0, 0, 0});
    EXPECT_EQ(panel->currentSelector(), 0x10);
}

TEST_F(MultipanelTest, ApButtonCyclesModes) {
    create();
    Controls press;
    press.ap = true;
    const Bytes report = hostsim::multipanel::inputReport(press);
    std::vector<int> modes;
    for (int i = 0; i < 6; ++i) {
        send(report);
        modes.push_back(hostsim::getInt(kApMode));
    }
    EXPECT_EQ(modes, std::vector<int>({1, 2, 1, 0, 1, 2}));

    hostsim::setInt(kApMode, 3);
    send(report);
    EXPECT_EQ(hostsim::getInt(kApMode), 3);
}

TEST_F(MultipanelTest, ButtonsFireInTheirOrderOnLiveReports) {
    create();
    hostsim::setInt("sim/cockpit2/autopilot/altitude_hold_status", 2);
    Controls c;
    c.hdg = c.nav = c.ias = c.alt = c.vs = c.apr = c.rev = true;
    c.autothrottle = true;
    send(hostsim::multipanel::inputReport(c));
    EXPECT_EQ(commandPaths(),
              std::vector<std::string>({"sim/autopilot/autothrottle_on", "sim/autopilot/altitude_arm",
                                        "sim/autopilot/approach", "sim/autopilot/vertical_speed",
                                        "sim/autopilot/heading", "sim/autopilot/airspeed_sync",
                                        "sim/autopilot/NAV", "sim/autopilot/back_course"}));

    hostsim::clearCommandJournal();
    hostsim::setInt("sim/cockpit2/autopilot/altitude_hold_status", 1);
    Controls alt;
    alt.alt = true;
    send(hostsim::multipanel::inputReport(alt));
    EXPECT_EQ(commandPaths(), std::vector<std::string>({"sim/autopilot/autothrottle_off",
                                                        "sim/autopilot/altitude_hold"}));

    // A 2-byte event carries only byte 1: no switch, no button.
    hostsim::clearCommandJournal();
    send(Bytes{0, 0x01, 0xFF, 0xFF});
    send(Bytes{0, 0x01});
    EXPECT_EQ(countCommand("sim/autopilot/autothrottle_on"), 1);
}

TEST_F(MultipanelTest, FlapsAndTrim) {
    create();
    Controls c;
    c.flapsDown = c.flapsUp = true;
    send(hostsim::multipanel::inputReport(c));
    EXPECT_EQ(commandPaths(), std::vector<std::string>({"sim/autopilot/autothrottle_off",
                                                        "sim/flight_controls/flaps_down",
                                                        "sim/flight_controls/flaps_up"}));
    hostsim::setFloat(kTrim, -0.4995f);
    Controls trim;
    trim.trimDown = true;
    send(hostsim::multipanel::inputReport(trim));
    EXPECT_FLOAT_EQ(hostsim::getFloat(kTrim), -0.5f);
    send(hostsim::multipanel::inputReport(trim));
    EXPECT_FLOAT_EQ(hostsim::getFloat(kTrim), -0.5f);
    Controls up;
    up.trimUp = true;
    send(hostsim::multipanel::inputReport(up));
    EXPECT_FLOAT_EQ(hostsim::getFloat(kTrim), -0.499f);
}

class X737Test : public MultipanelTest {
protected:
    void SetUp() override {
        MultipanelTest::SetUp();
        hostsim::x737::arrive();
    }
};

TEST_F(X737Test, VerticalSpeedAndAltitudeSteps) {
    create();
    const char *vs = "x737/systems/afds/VS_vvi";
    hostsim::setFloat(vs, -800.0f);
    send(hostsim::multipanel::encoderReport(Selector::Vs, Encoder::Down));
    EXPECT_FLOAT_EQ(hostsim::getFloat(vs), -950.0f);

    const char *alt = "x737/systems/afds/ALTHLD_baroalt";
    hostsim::setFloat(alt, 1000.0f);
    send(hostsim::multipanel::encoderReport(Selector::Alt, Encoder::Up));
    EXPECT_FLOAT_EQ(hostsim::getFloat(alt), 1100.0f);

    const char *kias = "x737/systems/athr/MCPSPD_spdkias";
    hostsim::setFloat(kias, 250.0f);
    send(hostsim::multipanel::encoderReport(Selector::Ias, Encoder::Up));
    EXPECT_FLOAT_EQ(hostsim::getFloat(kias), 251.0f);

    const char *hdg = "x737/systems/afds/HDG_magnhdg";
    hostsim::setFloat(hdg, 0.0f);
    send(hostsim::multipanel::encoderReport(Selector::Hdg, Encoder::Down));
    EXPECT_FLOAT_EQ(hostsim::getFloat(hdg), 359.0f);
    EXPECT_FLOAT_EQ(hostsim::getFloat(kHeading), 0.0f);  // the host's bug is untouched
    EXPECT_EQ(countCommand("sim/autopilot/altitude_up"), 0);
}

TEST_F(X737Test, ApButtonCyclesDirectorAndCommand) {
    create();
    Controls press;
    press.ap = true;
    const Bytes report = hostsim::multipanel::inputReport(press);
    std::vector<std::string> states;
    for (int i = 0; i < 5; ++i) {
        send(report);
        states.push_back(std::to_string(hostsim::getInt("x737/systems/afds/fdA_status")) +
                         std::to_string(hostsim::getInt("x737/systems/afds/CMD_A")));
    }
    EXPECT_EQ(states, std::vector<std::string>({"10", "11", "10", "00", "10"}));
    EXPECT_EQ(hostsim::getInt(kApMode), 0);
}

TEST_F(X737Test, ButtonsToggleAndCycleX737Modes) {
    create();
    Controls vs;
    vs.vs = true;
    std::vector<std::string> vsStates;
    for (int i = 0; i < 3; ++i) {
        send(hostsim::multipanel::inputReport(vs));
        vsStates.push_back(std::to_string(hostsim::getInt("x737/systems/afds/VS_arm")) +
                           std::to_string(hostsim::getInt("x737/systems/afds/VS")));
    }
    EXPECT_EQ(vsStates, std::vector<std::string>({"10", "11", "00"}));

    Controls nav;
    nav.nav = true;
    send(hostsim::multipanel::inputReport(nav));
    send(hostsim::multipanel::inputReport(nav));
    EXPECT_EQ(hostsim::getInt("x737/systems/afds/VORLOC"), 1);

    Controls toggles;
    toggles.hdg = toggles.alt = toggles.ias = toggles.apr = toggles.rev = true;
    send(hostsim::multipanel::inputReport(toggles));
    EXPECT_EQ(hostsim::getInt("x737/systems/afds/HDG"), 1);
    EXPECT_EQ(hostsim::getInt("x737/systems/afds/ALTHLD"), 1);
    EXPECT_EQ(hostsim::getInt("x737/systems/athr/MCPSPD_mode"), 1);
    EXPECT_EQ(hostsim::getInt("x737/systems/afds/APP_toggle"), 1);
    send(hostsim::multipanel::inputReport(toggles));
    EXPECT_EQ(hostsim::getInt("x737/systems/afds/HDG"), 0);
    EXPECT_EQ(hostsim::getInt("x737/systems/afds/APP_toggle"), 1);
    // REV stays the host's command; no host autopilot command is fired.
    EXPECT_EQ(commandPaths(), std::vector<std::string>({"sim/autopilot/back_course",
                                                        "sim/autopilot/back_course"}));
}

TEST_F(X737Test, AutothrottleFollowsEverySwitchReportAndTrimSteps) {
    create();
    Controls c;
    c.autothrottle = true;
    send(hostsim::multipanel::inputReport(c), 1);
    EXPECT_EQ(hostsim::getInt("x737/systems/athr/athr_armed"), 1);
    send(hostsim::multipanel::inputReport(Controls{}), 1);
    EXPECT_EQ(hostsim::getInt("x737/systems/athr/athr_armed"), 0);

    hostsim::setFloat(kTrim, 0.498f);
    Controls up;
    up.trimUp = true;
    send(hostsim::multipanel::inputReport(up));
    EXPECT_FLOAT_EQ(hostsim::getFloat(kTrim), 0.5f);
    Controls down;
    down.trimDown = true;
    send(hostsim::multipanel::inputReport(down));
    EXPECT_FLOAT_EQ(hostsim::getFloat(kTrim), 0.495f);
}

TEST_F(X737Test, StatusOtherThanOneKeepsTheHostAutopilot) {
    create();
    hostsim::setInt(hostsim::x737::kStatusPath, 2);
    Controls press;
    press.ap = true;
    send(hostsim::multipanel::inputReport(press));
    EXPECT_EQ(hostsim::getInt(kApMode), 1);
    EXPECT_EQ(hostsim::getInt("x737/systems/afds/fdA_status"), 0);
}

TEST_F(MultipanelTest, LateX737IsPickedUpWithoutSetup) {
    create();
    Controls press;
    press.ap = true;
    send(hostsim::multipanel::inputReport(press));
    EXPECT_EQ(hostsim::getInt(kApMode), 1);
    hostsim::x737::arrive();
    send(hostsim::multipanel::inputReport(press));
    EXPECT_EQ(hostsim::getInt(kApMode), 1);
    EXPECT_EQ(hostsim::getInt("x737/systems/afds/fdA_status"), 1);
}

// ---------------------------------------------------------------- threads

float flightLoop(float, float, int, void *refcon) {
    static_cast<Multipanel *>(refcon)->update();
    return 0.05f;
}

class MultipanelThreadTest : public MultipanelTest {
protected:
    void SetUp() override {
        MultipanelTest::SetUp();
        setTickSource(nullptr);
    }
    void TearDown() override {
        XPLMUnregisterFlightLoopCallback(flightLoop, panel);
        MultipanelTest::TearDown();
    }
    // Returns once the start-up exchange is over (its state queued), so that
    // the blank start-up report is not taken for a periodic one.
    void startWithFlightLoop() {
        create();
        XPLMRegisterFlightLoopCallback(flightLoop, 0.05f, panel);
        panel->start();
        ASSERT_TRUE(waitFor([&] { return panel->queuedEvents() >= 1; }));
    }
};

TEST_F(MultipanelThreadTest, EncoderNotchMovesHeadingAndDisplayFollows) {
    hostsim::setFloat(kHeading, 90.0f);
    startWithFlightLoop();
    hostsim::runFlightLoops(1);

    hostsim::queueInput(device, hostsim::multipanel::encoderReport(Selector::Hdg, Encoder::Up));
    // The reader clears replayPending once its first read is queued.
    ASSERT_TRUE(waitFor([&] { return !panel->replayPending(); }));
    hostsim::runFlightLoops(1);
    EXPECT_FLOAT_EQ(hostsim::getFloat(kHeading), 91.0f);
    // update() caches before it drains: the next flight loop, 50 ms later,
    // caches the new heading for the display.
    hostsim::runFlightLoops(1);

    // A report built from the old cache may still be on its way: wait, for
    // at most two refresh periods, for one that shows the new heading.
    hostsim::multipanel::Display display;
    ASSERT_TRUE(waitFor([&] {
        const Bytes report = hostsim::latestFeature(device, 0, 13);
        display = hostsim::multipanel::decodeDisplay(report);
        return display.top == "  091";
    }, 1000)) << display.text();
    EXPECT_EQ(display.bottom, "   91");
}

TEST_F(MultipanelThreadTest, DisconnectFlashesApLampAt170Ms) {
    hostsim::setInt("sim/cockpit/warnings/annunciators/autopilot_disconnect", 1);
    startWithFlightLoop();
    hostsim::runFlightLoops(1);
    std::size_t seen = hostsim::featureReports(device).size();
    std::vector<bool> apLit;
    for (int i = 0; i < 4; ++i) {
        const Bytes report = hostsim::waitFeature(device, 0, 13, seen, 600);
        ASSERT_EQ(report.size(), 13u);
        seen = hostsim::featureReports(device).size();
        apLit.push_back(hostsim::multipanel::decodeDisplay(report).lit("AP"));
    }
    EXPECT_EQ(panel->refreshPeriod(), 170u);
    EXPECT_NE(apLit[0], apLit[1]);
    EXPECT_NE(apLit[1], apLit[2]);
    EXPECT_NE(apLit[2], apLit[3]);
}

}  // namespace
}  // namespace drovanel
