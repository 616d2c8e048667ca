// The Multi Panel's binding table driven through the host: each autopilot
// value the rows show and each lamp, for the host's autopilot and the
// x737's, set as a dataref and read back from the panel's display report;
// each control pressed and the command or write it makes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bindings_support.h"
#include "hostsim/panels/multipanel.h"
#include "hostsim/panels/x737.h"
#include "multipanel/multipanel.h"
#include "multipanel/multipanel_display.h"

namespace drovanel {
namespace {

namespace mp = hostsim::multipanel;
using bindings::RecordingDevice;
using mp::Selector;

struct Value {
    const char *path;
    float value;
};

// A distinct value in every dataref the rows can show.
const Value kHostValues[] = {
    {"sim/cockpit/autopilot/altitude", 12300.0f},       {"sim/cockpit/autopilot/vertical_velocity", -700.0f},
    {"sim/cockpit/autopilot/airspeed", 250.0f},         {"sim/cockpit/autopilot/heading_mag", 45.0f},
    {"sim/cockpit2/radios/actuators/hsi_obs_deg_mag_pilot", 271.0f},
};
const Value kX737Values[] = {
    {"x737/systems/afds/ALTHLD_baroalt", 23400.0f}, {"x737/systems/afds/VS_vvi", 1200.0f},
    {"x737/systems/athr/MCPSPD_spd", 280.0f},       {"x737/systems/afds/HDG_magnhdg", 123.0f},
};

struct RowsRow {
    Selector selector;
    const char *top;
    const char *bottom;
};

const RowsRow kHostRows[] = {
    {Selector::Alt, "12300", " -700"}, {Selector::Vs, "12300", " -700"}, {Selector::Ias, "  250", "  250"},
    {Selector::Hdg, "  045", "   45"}, {Selector::Crs, "  271", "  271"},
};
const RowsRow kX737Rows[] = {
    {Selector::Alt, "23400", " 1200"}, {Selector::Ias, "  280", "  280"}, {Selector::Hdg, "  123", "  123"},
    {Selector::Crs, "  271", "  271"},  // the course stays the host's
};

struct LampRow {
    const char *path;
    int value;
    const char *lamps;  // lit lamps, space separated
};

const LampRow kHostLamps[] = {
    {"sim/cockpit/autopilot/autopilot_mode", 2, "AP"},
    {"sim/cockpit/autopilot/autopilot_state", multipanel::kStateHeadingHold, "HDG"},
    {"sim/cockpit/autopilot/autopilot_state", multipanel::kStateNavEngaged, "NAV"},
    {"sim/cockpit/autopilot/autopilot_state", multipanel::kStateSpeedWithPitch, "IAS"},
    {"sim/cockpit/autopilot/autopilot_state", multipanel::kStateAltitudeHold, "ALT"},
    {"sim/cockpit/autopilot/autopilot_state", multipanel::kStateVsClimb, "VS"},
    {"sim/cockpit/autopilot/autopilot_state", multipanel::kStateGlideslopeEngaged, "APR"},
    {"sim/cockpit/autopilot/backcourse_on", 1, "REV"},
};
const LampRow kX737Lamps[] = {
    {"x737/systems/afds/CMD_A", 1, "AP"},       {"x737/systems/afds/HDG", 1, "HDG"},
    {"x737/systems/afds/VORLOC", 1, "NAV"},     {"x737/systems/athr/MCPSPD_mode", 1, "IAS"},
    {"x737/systems/afds/ALTHLD", 1, "ALT"},     {"x737/systems/afds/VS", 1, "VS"},
    {"x737/systems/afds/APP_toggle", 1, "APR"}, {"sim/cockpit/autopilot/backcourse_on", 1, "REV"},
};

struct ControlRow {
    const char *name;
    bool mp::Controls::*member;
    const char *command;  // fired once by one press
};

const ControlRow kButtons[] = {
    {"HDG", &mp::Controls::hdg, "sim/autopilot/heading"},
    {"NAV", &mp::Controls::nav, "sim/autopilot/NAV"},
    {"IAS", &mp::Controls::ias, "sim/autopilot/airspeed_sync"},
    {"ALT", &mp::Controls::alt, "sim/autopilot/altitude_hold"},
    {"VS", &mp::Controls::vs, "sim/autopilot/vertical_speed"},
    {"APR", &mp::Controls::apr, "sim/autopilot/approach"},
    {"REV", &mp::Controls::rev, "sim/autopilot/back_course"},
    {"flaps up", &mp::Controls::flapsUp, "sim/flight_controls/flaps_up"},
    {"flaps down", &mp::Controls::flapsDown, "sim/flight_controls/flaps_down"},
};

class MultipanelBindingsTest : public testing::Test {
protected:
    void SetUp() override {
        hostsim::reset();
        hostsim::setInt("sim/cockpit/electrical/avionics_on", 1);
        hostsim::setIntAt("sim/cockpit/electrical/battery_array_on", 0, 1);
        Multipanel::setStartupWait(0);
        device_ = new RecordingDevice;
        panel_ = new Multipanel(device_);
    }
    void TearDown() override {
        panel_->teardown();
        delete panel_;
        Multipanel::setStartupWait(500);
        EXPECT_EQ(hostsim::nullCommandFaults(), 0);
        hostsim::reset();
    }
    void send(const mp::Controls &controls) {
        tick_ += 1000;
        const auto report = mp::inputReport(controls);
        panel_->handleEvent(report.data(), static_cast<std::uint32_t>(report.size()), 0, tick_);
    }
    // What the panel shows after a flight loop with the selector there.
    mp::Display shown(Selector selector) {
        mp::Controls controls;
        controls.selector = selector;
        send(controls);
        panel_->update();
        panel_->sendReport();
        return mp::decodeDisplay(device_->latest());
    }
    static std::string lamps(const mp::Display &display) {
        std::string text;
        for (const std::string &lamp : display.lamps) text += (text.empty() ? "" : " ") + lamp;
        return text;
    }
    void checkRows(const RowsRow *rows, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            const mp::Display display = shown(rows[i].selector);
            EXPECT_EQ(display.top, rows[i].top) << "row " << i;
            EXPECT_EQ(display.bottom, rows[i].bottom) << "row " << i;
        }
    }
    void checkLamps(const LampRow *rows, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            hostsim::setInt(rows[i].path, rows[i].value);
            EXPECT_EQ(lamps(shown(Selector::Alt)), rows[i].lamps) << rows[i].path;
            hostsim::setInt(rows[i].path, 0);
        }
    }

    RecordingDevice *device_ = nullptr;  // owned by the panel
    Multipanel *panel_ = nullptr;
    std::uint32_t tick_ = 100000;
};

TEST_F(MultipanelBindingsTest, HostAutopilotValuesAndLamps) {
    for (const Value &v : kHostValues) hostsim::setFloat(v.path, v.value);
    checkRows(kHostRows, std::size(kHostRows));
    hostsim::setFloat("sim/cockpit/autopilot/airspeed", 0.75f);
    hostsim::setInt("sim/cockpit/autopilot/airspeed_is_mach", 1);
    EXPECT_EQ(shown(Selector::Ias).top, "  0.75") << "Mach";
    checkLamps(kHostLamps, std::size(kHostLamps));

    // The disconnect annunciator darkens the mode lamps.
    hostsim::setInt("sim/cockpit/autopilot/autopilot_state", multipanel::kStateHeadingHold);
    hostsim::setInt("sim/cockpit/warnings/annunciators/autopilot_disconnect", 1);
    EXPECT_FALSE(shown(Selector::Alt).lit("HDG"));
}

TEST_F(MultipanelBindingsTest, X737ValuesAndLamps) {
    for (const Value &v : kHostValues) hostsim::setFloat(v.path, v.value);
    hostsim::x737::arrive(1);
    for (const Value &v : kX737Values) hostsim::setFloat(v.path, v.value);
    checkRows(kX737Rows, std::size(kX737Rows));
    hostsim::setFloat("x737/systems/athr/MCPSPD_spd", 0.25f);
    hostsim::setInt("x737/systems/athr/MCPSPD_ismach", 1);
    EXPECT_EQ(shown(Selector::Ias).top, "  0.25") << "Mach";
    checkLamps(kX737Lamps, std::size(kX737Lamps));
    hostsim::x737::leave();
}

TEST_F(MultipanelBindingsTest, PowerDatarefsLightTheDisplay) {
    hostsim::setIntAt("sim/cockpit/electrical/battery_array_on", 0, 0);
    EXPECT_TRUE(shown(Selector::Alt).dark) << "no battery";
    hostsim::setInt("sim/cockpit/electrical/generator_apu_on", 1);
    EXPECT_FALSE(shown(Selector::Alt).dark) << "the APU generator";
    hostsim::setInt("sim/cockpit/electrical/avionics_on", 0);
    EXPECT_TRUE(shown(Selector::Alt).dark) << "no avionics";
}

TEST_F(MultipanelBindingsTest, EachControlFiresItsCommandOrWrite) {
    for (const ControlRow &row : kButtons) {
        send(mp::Controls());  // released
        hostsim::clearCommandJournal();
        mp::Controls pressed;
        pressed.*row.member = true;
        send(pressed);
        const std::vector<std::string> expected = {"once sim/autopilot/autothrottle_off", std::string("once ") + row.command};
        EXPECT_EQ(bindings::journalLines(), expected) << row.name;
    }
    mp::Controls throttle;
    throttle.autothrottle = true;
    hostsim::clearCommandJournal();
    send(throttle);
    EXPECT_EQ(bindings::journalLines(), std::vector<std::string>{"once sim/autopilot/autothrottle_on"});

    // One encoder notch at each position: a command, or a write of the value.
    struct Notch {
        Selector selector;
        const char *command;
        const char *path;
        float before, after;
    };
    const Notch notches[] = {
        {Selector::Alt, "once sim/autopilot/altitude_up", nullptr, 0, 0},
        {Selector::Vs, "once sim/autopilot/vertical_speed_up", nullptr, 0, 0},
        {Selector::Ias, "once sim/autopilot/airspeed_up", nullptr, 0, 0},
        {Selector::Hdg, nullptr, "sim/cockpit/autopilot/heading_mag", 90.0f, 91.0f},
        {Selector::Crs, nullptr, "sim/cockpit2/radios/actuators/hsi_obs_deg_mag_pilot", 10.0f, 11.0f},
    };
    for (const Notch &n : notches) {
        if (n.path != nullptr) hostsim::setFloat(n.path, n.before);
        hostsim::clearCommandJournal();
        const auto report = mp::encoderReport(n.selector, mp::Encoder::Up);
        tick_ += 1000;
        panel_->handleEvent(report.data(), static_cast<std::uint32_t>(report.size()), 0, tick_);
        const std::vector<std::string> lines = bindings::journalLines();
        if (n.command != nullptr) {
            EXPECT_NE(std::find(lines.begin(), lines.end(), n.command), lines.end()) << n.command;
        } else {
            EXPECT_EQ(hostsim::getFloat(n.path), n.after) << n.path;
        }
    }

    // The AP button cycles the host's autopilot mode; the trim wheel writes the trim.
    mp::Controls ap;
    ap.ap = true;
    send(mp::Controls());
    send(ap);
    EXPECT_EQ(hostsim::getInt("sim/cockpit/autopilot/autopilot_mode"), 1);
    mp::Controls trim;
    trim.trimUp = true;
    send(trim);
    EXPECT_GT(hostsim::getFloat("sim/cockpit2/controls/elevator_trim"), 0.0f);
}

}  // namespace
}  // namespace drovanel
