// The four drivers with an aircraft profile bound: each binding kind takes
// its control, names the simulator lacks fall back to the built-in binding,
// and a profile that names nothing changes nothing, byte for byte.
#include <gtest/gtest.h>

#include "bip/backlit_information_panel.h"
#include "hostsim/hostsim.h"
#include "hostsim/panels/bip.h"
#include "hostsim/panels/multipanel.h"
#include "hostsim/panels/radiopanel.h"
#include "hostsim/panels/switchpanel.h"
#include "multipanel/multipanel.h"
#include "multipanel/multipanel_display.h"
#include "profile/profile_binding.h"
#include "profile/profile_loader.h"
#include "radiopanel/radiopanel.h"
#include "switchpanel/switchpanel.h"
#include "tests/recording_device.h"

namespace drovanel {
namespace {

namespace mp = hostsim::multipanel;
namespace sp = hostsim::switchpanel;
namespace rp = hostsim::radiopanel;
using testing_devices::journalLines;
using testing_devices::RecordingDevice;
using Lines = std::vector<std::string>;

// A profile from its body, its names resolved as at an aircraft load.
std::unique_ptr<profile::Profile> makeProfile(const std::string &body) {
    TiXmlDocument xml;
    xml.Parse(("<DrovanelProfile>" + body + "</DrovanelProfile>").c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    auto p = std::make_unique<profile::Profile>();
    std::vector<profile::Problem> problems;
    EXPECT_TRUE(profile::parseProfile(xml, p.get(), &problems)) << profile::describe(problems.front());
    profile::resolveNames(*p, [](const char *, bool) {});
    return p;
}

// Commands and writes since the last clear, as text.
Lines record() {
    Lines lines = journalLines();
    for (const hostsim::DatarefWrite &w : hostsim::datarefWrites()) {
        lines.push_back("write " + w.path + "[" + std::to_string(w.index) + "]=" + std::to_string(w.value));
    }
    hostsim::clearCommandJournal();
    hostsim::clearDatarefWrites();
    return lines;
}

class ProfileDrivers : public testing::Test {
protected:
    void SetUp() override {
        hostsim::reset();
        hostsim::setUserAircraft("/Aircraft/B737-800X/b738.acf");
        hostsim::setInt("sim/cockpit/electrical/avionics_on", 1);
        hostsim::setIntAt("sim/cockpit/electrical/battery_array_on", 0, 1);
        hostsim::setInt("sim/aircraft/electrical/num_batteries", 1);
        hostsim::setInt("sim/aircraft/engine/acf_num_engines", 2);
        for (int leg = 0; leg < 3; ++leg) hostsim::setIntAt("sim/aircraft/parts/acf_gear_type", leg, 2);
        Multipanel::setStartupWait(0);
    }
    void TearDown() override {
        Multipanel::setStartupWait(500);
        EXPECT_EQ(hostsim::nullCommandFaults(), 0);
        hostsim::reset();
    }
    template <typename Panel>
    void send(Panel &panel, const std::vector<std::uint8_t> &report) {
        tick_ += 1000;
        panel.handleEvent(report.data(), static_cast<std::uint32_t>(report.size()), 0, tick_);
    }
    std::uint32_t tick_ = 100000;
};

constexpr const char *kMulti = R"(<Multipanel>
  <Knob Selector="HDG" Up="laminar/B738/autopilot/heading_up" Down="laminar/B738/autopilot/heading_dn"/>
  <Knob Selector="ALT" Dataref="laminar/B738/autopilot/mcp_alt_dial" Step="100" Min="0" Max="50000"/>
  <Knob Selector="CRS" Up="laminar/B738/autopilot/course_pilot_upp" Down="laminar/B738/autopilot/course_pilot_dn"/>
  <Display Selector="HDG" Dataref="laminar/B738/autopilot/mcp_hdg_dial"/>
  <Display Selector="IAS" Dataref="laminar/B738/autopilot/mcp_speed_dial_kts_mach"/>
  <Mach Dataref="laminar/B738/autopilot/mcp_speed_dial_kts_mach" Below="1"/>
  <Button Name="AP" Command="laminar/B738/autopilot/cmd_a_press"/>
  <Button Name="HDG" Dataref="laminar/B738/autopilot/mcp_hdg_dial" Value="180"/>
  <Button Name="NAV" Command="laminar/B738/autopilot/vorloc_presss"/>
  <Lamp Name="AP" Dataref="laminar/B738/autopilot/cmd_a_status"/>
  <Lamp Name="REV" Dataref="laminar/B738/autopilot/cmd_a_status" Equals="2"/>
  <Autothrottle Toggle="laminar/B738/autopilot/autothrottle_arm_toggle" State="laminar/B738/autopilot/autothrottle_arm_pos"/>
  <Flaps Do="Nothing"/>
</Multipanel>)";

TEST_F(ProfileDrivers, MultiPanelTakesWhatTheProfileBinds) {
    auto p = makeProfile(kMulti);
    auto *device = new RecordingDevice;
    Multipanel panel(device);
    panel.bindProfile(p.get());
    hostsim::setFloat("sim/cockpit/autopilot/heading_mag", 90.0f);
    hostsim::setFloat("sim/cockpit2/radios/actuators/hsi_obs_deg_mag_pilot", 10.0f);
    hostsim::setFloat("laminar/B738/autopilot/mcp_alt_dial", 10000.0f);
    record();

    send(panel, mp::encoderReport(mp::Selector::Hdg, mp::Encoder::Up));
    send(panel, mp::encoderReport(mp::Selector::Alt, mp::Encoder::Down));
    // Course up names a command the aircraft lacks: the built-in step.
    send(panel, mp::encoderReport(mp::Selector::Crs, mp::Encoder::Up));
    mp::Controls c;
    c.ap = c.hdg = c.nav = c.flapsUp = c.trimUp = true;
    send(panel, mp::inputReport(c));
    // The A/T switch is the profile's: the simulator's A/T commands never fire.
    EXPECT_EQ(record(), (Lines{"once laminar/B738/autopilot/heading_up",
                               "once laminar/B738/autopilot/cmd_a_press", "once sim/autopilot/NAV",
                               "write laminar/B738/autopilot/mcp_alt_dial[0]=9900.000000",
                               "write sim/cockpit2/radios/actuators/hsi_obs_deg_mag_pilot[0]=11.000000",
                               "write laminar/B738/autopilot/mcp_hdg_dial[0]=180.000000",
                               "write sim/cockpit2/controls/elevator_trim[0]=0.001000"}));
}

TEST_F(ProfileDrivers, MultiPanelDisplaysAndLamps) {
    auto p = makeProfile(kMulti);
    auto *device = new RecordingDevice;
    Multipanel panel(device);
    panel.bindProfile(p.get());
    hostsim::setFloat("laminar/B738/autopilot/mcp_hdg_dial", 270.0f);
    hostsim::setFloat("laminar/B738/autopilot/mcp_speed_dial_kts_mach", 0.78f);
    hostsim::setInt("sim/cockpit/autopilot/autopilot_state", multipanel::kStateHeadingHold);
    struct Row {
        float cmdA;
        mp::Selector selector;
        const char *display;  // Display::text()
    };
    const Row rows[] = {
        {0, mp::Selector::Hdg, "[  270] [  270] HDG"},
        {1, mp::Selector::Ias, "[  0.78] [   78] AP HDG"},
        {2, mp::Selector::Hdg, "[  270] [  270] AP HDG REV"},
    };
    for (const Row &row : rows) {
        hostsim::setFloat("laminar/B738/autopilot/cmd_a_status", row.cmdA);
        send(panel, mp::selectorReport(row.selector));
        panel.update();
        panel.sendReport();
        EXPECT_EQ(mp::decodeDisplay(device->latest()).text(), row.display) << row.cmdA;
    }
}

TEST_F(ProfileDrivers, AutothrottleToggleFiresOnlyWhenTheAircraftDiffers) {
    auto p = makeProfile(kMulti);
    Multipanel panel(new RecordingDevice);
    panel.bindProfile(p.get());
    record();
    mp::Controls on;
    on.autothrottle = true;
    send(panel, mp::inputReport(on));
    hostsim::setFloat("laminar/B738/autopilot/autothrottle_arm_pos", 1.0f);
    send(panel, mp::inputReport(on));
    send(panel, mp::inputReport(mp::Controls()));
    EXPECT_EQ(record(), (Lines{"once laminar/B738/autopilot/autothrottle_arm_toggle",
                               "once laminar/B738/autopilot/autothrottle_arm_toggle"}));
}

// The same reports through a panel without a profile and one with a profile
// that binds nothing give the same commands, writes and display reports.
TEST_F(ProfileDrivers, AProfileThatNamesNothingChangesNothing) {
    auto empty = makeProfile("<Multipanel/><Switchpanel/><Radiopanel/><Bip/>");
    std::vector<std::vector<std::uint8_t>> multiReports = {
        mp::encoderReport(mp::Selector::Hdg, mp::Encoder::Up), mp::encoderReport(mp::Selector::Crs, mp::Encoder::Down),
        mp::encoderReport(mp::Selector::Alt, mp::Encoder::Up)};
    mp::Controls all;
    all.ap = all.hdg = all.nav = all.ias = all.alt = all.vs = all.apr = all.rev = all.autothrottle = true;
    all.flapsDown = all.trimDown = true;
    multiReports.push_back(mp::inputReport(all));
    sp::Switches on;
    on.battery = on.generator = on.avionics = on.fuelPump = on.deIce = on.pitotHeat = on.cowlFlapsClosed = true;
    on.panelLights = on.beacon = on.nav = on.strobe = on.taxi = on.landing = true;
    on.gear = sp::GearLever::Down;
    std::vector<std::vector<std::uint8_t>> switchReports;
    for (sp::Magneto m : {sp::Magneto::Off, sp::Magneto::Right, sp::Magneto::Left, sp::Magneto::Both,
                          sp::Magneto::Start, sp::Magneto::Both}) {
        on.magneto = m;
        switchReports.push_back(sp::inputReport(on));
        switchReports.push_back(sp::inputReport(sp::Switches()));
    }
    Lines withProfile[2];
    std::vector<std::vector<std::uint8_t>> shown[2];
    for (int bound = 0; bound < 2; ++bound) {
        TearDown();
        SetUp();
        hostsim::setFloat("sim/cockpit/autopilot/heading_mag", 90.0f);
        hostsim::setFloatAt("sim/aircraft/parts/acf_gear_deploy", 0, 0.5f);
        auto *multiDevice = new RecordingDevice;
        auto *switchDevice = new RecordingDevice;
        Multipanel multi(multiDevice);
        Switchpanel switches(switchDevice);
        if (bound != 0) {
            multi.bindProfile(empty.get());
            switches.bindProfile(empty.get());
        }
        record();
        for (const auto &r : multiReports) send(multi, r);
        for (const auto &r : switchReports) send(switches, r);
        multi.update();
        multi.sendReport();
        switches.update();
        switches.sendReport();
        withProfile[bound] = record();
        shown[bound] = {multiDevice->latest(), switchDevice->latest()};
        multi.teardown();
        switches.teardown();
    }
    EXPECT_GT(withProfile[0].size(), 50u);
    EXPECT_EQ(withProfile[1], withProfile[0]);
    EXPECT_EQ(shown[1], shown[0]);
}

constexpr const char *kSwitch = R"(<Switchpanel>
  <Magneto Position="Off" Do="Nothing"/>
  <Magneto Position="Start" Command="laminar/B738/push_button/gear_up" Hold="yes"/>
  <Switch Name="Landing" Toggle="laminar/B738/spring_switch/landing_lights_all"
          State="laminar/B738/spring_switch/landing_lights_all_on"/>
  <Switch Name="PitotHeat" Position="On" Dataref="laminar/B738/toggle_switch/capt_probes_pos" Value="1"/>
  <Switch Name="Beacon" Position="On" Command="laminar/B738/push_button/gear_upp"/>
  <Gear Position="Down" Command="laminar/B738/push_button/gear_down"/>
  <GearLamp Lamp="2" Colour="Green" Dataref="laminar/B738/annunciator/left_gear_safe"/>
  <GearLamp Lamp="2" Colour="Red" Dataref="laminar/B738/annunciator/left_gear_transit"/>
</Switchpanel>)";

TEST_F(ProfileDrivers, SwitchPanelPositionsOfEachKind) {
    auto p = makeProfile(kSwitch);
    Switchpanel panel(new RecordingDevice);
    panel.bindProfile(p.get());
    panel.update();
    record();
    // Only the switches the profile binds are looked at here.
    const auto bound = [](const Lines &lines) {
        Lines kept;
        for (const std::string &l : lines) {
            if (l.find("laminar/") != std::string::npos || l.find("magnetos") != std::string::npos ||
                l.find("shut_down") != std::string::npos || l.find("ENGN_mixt") != std::string::npos ||
                l.find("landing_") != std::string::npos || l.find("beacon") != std::string::npos ||
                l.find("pitot") != std::string::npos) {
                kept.push_back(l);
            }
        }
        return kept;
    };
    sp::Switches s;
    s.magneto = sp::Magneto::Off;
    send(panel, sp::inputReport(s));  // OFF does nothing at all
    EXPECT_EQ(bound(record()), (Lines{"once sim/ice/pitot_heat0_off", "once sim/lights/beacon_lights_off",
                                      "once sim/flight_controls/landing_gear_up",
                                      "write sim/cockpit2/ice/ice_pitot_heat_on_pilot[0]=0.000000"}))
        << "the unbound off positions keep their built-in bindings";

    s.magneto = sp::Magneto::Start;
    s.landing = s.pitotHeat = s.beacon = true;
    s.gear = sp::GearLever::Down;
    send(panel, sp::inputReport(s));
    send(panel, sp::inputReport(s));  // replayed: still held, toggled once
    hostsim::setFloat("laminar/B738/spring_switch/landing_lights_all_on", 1.0f);
    s.magneto = sp::Magneto::Both;
    send(panel, sp::inputReport(s));
    EXPECT_EQ(bound(record()),
              (Lines{"once sim/lights/beacon_lights_on", "once laminar/B738/spring_switch/landing_lights_all",
                     "once laminar/B738/push_button/gear_down", "begin laminar/B738/push_button/gear_up",
                     "once sim/lights/beacon_lights_on", "once laminar/B738/spring_switch/landing_lights_all",
                     "once laminar/B738/push_button/gear_down", "end laminar/B738/push_button/gear_up",
                     "once sim/lights/beacon_lights_on", "once laminar/B738/push_button/gear_down",
                     "once sim/magnetos/magnetos_both_1", "once sim/magnetos/magnetos_both_2",
                     "write laminar/B738/toggle_switch/capt_probes_pos[0]=1.000000",
                     "write laminar/B738/toggle_switch/capt_probes_pos[0]=1.000000",
                     "write laminar/B738/toggle_switch/capt_probes_pos[0]=1.000000"}));

    // Going to START and then unbinding releases what the profile holds.
    s.magneto = sp::Magneto::Start;
    send(panel, sp::inputReport(s));
    record();
    panel.bindProfile(nullptr);
    EXPECT_EQ(record(), (Lines{"end laminar/B738/push_button/gear_up"}));
    panel.teardown();
}

TEST_F(ProfileDrivers, SwitchPanelGearLampsFromTheAircraft) {
    auto p = makeProfile(kSwitch);
    auto *device = new RecordingDevice;
    Switchpanel panel(device);
    panel.bindProfile(p.get());
    hostsim::setFloatAt("sim/aircraft/parts/acf_gear_deploy", 0, 1.0f);  // lamp 1: built-in, down
    struct Row {
        float safe, transit;
        const char *lamps;
    };
    const Row rows[] = {{0, 0, "1 down, 2 off, 3 off"}, {1, 0, "1 down, 2 down, 3 off"},
                        {0, 1, "1 down, 2 in transit, 3 off"}, {1, 1, "1 down, 2 down+in transit, 3 off"}};
    for (const Row &row : rows) {
        hostsim::setFloat("laminar/B738/annunciator/left_gear_safe", row.safe);
        hostsim::setFloat("laminar/B738/annunciator/left_gear_transit", row.transit);
        panel.update();
        panel.sendReport();
        EXPECT_EQ(sp::gearLampsText(device->latest()), row.lamps);
    }
    panel.bindProfile(nullptr);
    panel.update();
    panel.sendReport();
    EXPECT_EQ(sp::gearLampsText(device->latest()), "1 down, 2 off, 3 off");
    panel.teardown();
}

TEST_F(ProfileDrivers, RadioPanelRadiosOfTheAircraft) {
    auto p = makeProfile(R"(<Radiopanel>
      <Radio Selector="COM1" Active="laminar/B738/autopilot/mcp_alt_dial" Standby="laminar/B738/autopilot/mcp_hdg_dial"
             FineUp="laminar/B738/autopilot/heading_up" CoarseDown="laminar/B738/autopilot/heading_dn"
             Swap="laminar/B738/autopilot/cmd_a_press"/>
    </Radiopanel>)");
    auto *device = new RecordingDevice;
    Radiopanel panel(device, 0);
    panel.bindProfile(p.get());
    hostsim::setInt("sim/cockpit/radios/com1_stdby_freq_hz", 12000);
    hostsim::setFloat("laminar/B738/autopilot/mcp_alt_dial", 12345.0f);
    hostsim::setFloat("laminar/B738/autopilot/mcp_hdg_dial", 11800.0f);
    Lines lines;
    // Each control after the knobs rest; FINE DOWN is not bound.
    for (unsigned control : {rp::kUpperFineUp, rp::kUpperCoarseDown, rp::kUpperFineDown, rp::kUpperActStby}) {
        send(panel, rp::inputReport(rp::Selector::Com1, rp::Selector::Nav1));
        record();
        send(panel, rp::inputReport(rp::Selector::Com1, rp::Selector::Nav1, control));
        for (const std::string &line : record()) {
            if (line.find("nav_com_adf_mode") == std::string::npos) lines.push_back(line);
        }
    }
    EXPECT_EQ(lines, (Lines{"once laminar/B738/autopilot/heading_up", "once laminar/B738/autopilot/heading_dn",
                            "write sim/cockpit/radios/com1_stdby_freq_hz[0]=11999.000000",
                            "once laminar/B738/autopilot/cmd_a_press"}));
    panel.update();
    panel.sendReport();
    rp::Displays d;
    ASSERT_TRUE(rp::decodeDisplays(device->latest(), &d));
    EXPECT_EQ(d.upperActive + " " + d.upperStandby, "123.45 118.00");
    panel.teardown();
}

TEST_F(ProfileDrivers, BipLensesFromTheAircraftOverTheLayout) {
    auto p = makeProfile(R"(<Bip>
      <Lens Number="0" Colour="Red" Dataref="laminar/B738/annunciator/fire_bell_annun"/>
      <Lens Number="1" Colour="Amber" Dataref="laminar/B738/annunciator/master_caution_light" Above="0.5"/>
      <Lens Number="2" Colour="Green" Dataref="laminar/B738/annunciator/no_such_light"/>
    </Bip>)");
    BacklitInformationPanel panel(new RecordingDevice);
    panel.bindProfile(p.get());
    hostsim::setFloat("laminar/B738/annunciator/fire_bell_annun", 1.0f);
    hostsim::setFloat("laminar/B738/annunciator/master_caution_light", 0.4f);
    panel.update();
    EXPECT_EQ(panel.shownColour(0), kLensRed);
    EXPECT_EQ(panel.shownColour(1), kLensOff);
    EXPECT_FALSE(panel.lensBound(2)) << "an unknown name leaves the layout's binding (none here)";
    hostsim::setFloat("laminar/B738/annunciator/master_caution_light", 0.6f);
    panel.update();
    EXPECT_EQ(panel.shownColour(1), kLensAmber);
    panel.bindProfile(nullptr);
    panel.update();
    EXPECT_FALSE(panel.lensBound(0));
    panel.teardown();
}

}  // namespace
}  // namespace drovanel
