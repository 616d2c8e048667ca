// Soak: all five panels under random input at a real panel's pace while the
// simulator thread runs flight loops, reloads aircraft, lets the x737 come
// and go, edits the preferences and toggles "Ignore Switchpanel". Run under
// ThreadSanitizer (linux-tsan) it must report no race; in every build no
// SDK call may leave the simulator thread and every settings file must end
// whole. DROVANEL_SOAK_SECONDS sets the length (default 20).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

#include "XPStandardWidgets.h"
#include "five_panels.h"
#include "hostsim/hostsim.h"
#include "hostsim/panels/multipanel.h"
#include "hostsim/panels/radiopanel.h"
#include "hostsim/panels/switchpanel.h"
#include "plugin/plugin_core.h"

namespace drovanel {
namespace soak {
namespace {

using Clock = std::chrono::steady_clock;

int soakSeconds() {
    const char *text = std::getenv("DROVANEL_SOAK_SECONDS");
    const int seconds = text != nullptr ? std::atoi(text) : 20;
    return seconds > 0 ? seconds : 20;
}

// Any report a panel can send: random bits in every byte after the report
// id, so selectors, encoders, buttons and switches all move.
std::vector<std::uint8_t> randomReport(std::mt19937 &random) {
    return {0, static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()),
            static_cast<std::uint8_t>(random())};
}

// Named-control reports mixed in, so that real turns and switch flips (not
// just noise) reach the drivers.
std::vector<std::uint8_t> namedReport(int device, std::mt19937 &random) {
    namespace mp = hostsim::multipanel;
    namespace rp = hostsim::radiopanel;
    namespace sp = hostsim::switchpanel;
    switch (device) {
        case kMultiDevice:
            return mp::encoderReport(static_cast<mp::Selector>(1 + random() % 5),
                                     random() % 2 ? mp::Encoder::Up : mp::Encoder::Down);
        case kSwitchDevice: {
            sp::Switches s;
            s.battery = random() % 2;
            s.avionics = random() % 2;
            s.magneto = static_cast<sp::Magneto>(random() % 5);
            s.gear = random() % 2 ? sp::GearLever::Up : sp::GearLever::Down;
            return sp::inputReport(s);
        }
        default:
            return rp::inputReport(static_cast<rp::Selector>(random() % 7), static_cast<rp::Selector>(random() % 7),
                                   1u << (random() % 10));
    }
}

// The panels' side: each input panel sends a report every 5 to 40 ms, as a
// knob spun by hand does.
void feedPanels(std::atomic<bool> *stop, std::atomic<long> *sent) {
    std::mt19937 random(1234);
    const int devices[] = {kMultiDevice, kSwitchDevice, kRadio1Device, kRadio2Device};
    while (!stop->load()) {
        const int device = devices[random() % 4];
        hostsim::queueInput(device, random() % 3 == 0 ? randomReport(random) : namedReport(device, random));
        sent->fetch_add(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(2 + random() % 10));
    }
}

// A person editing the preferences window: random text in random fields,
// then OK, Cancel or Default.
void editPreferences(std::mt19937 &random) {
    hostsim::pickMenuItem("drovanel", "Preferences...");
    std::vector<hostsim::WidgetId> fields;
    for (const auto &widget : hostsim::widgets()) {
        if (widget.widgetClass == xpWidgetClass_TextField && widget.visible) fields.push_back(widget.id);
    }
    static const char *const kTexts[] = {"0", "250", "1000", "-5", "99999999", "12abc", "", "  7"};
    for (int i = 0; i < 3 && !fields.empty(); ++i) {
        hostsim::typeInto(fields[random() % fields.size()], kTexts[random() % 8]);
    }
    static const char *const kButtons[] = {"OK", "Cancel", "Default"};
    hostsim::pressButton(hostsim::findWidget(kButtons[random() % 3], xpWidgetClass_Button));
}

TEST(SoakTest, FivePanelsUnderRandomInputReloadsAndEdits) {
    ASSERT_EQ(startFivePanels(10), 24);
    std::atomic<bool> stop{false};
    std::atomic<long> sent{0};
    std::thread panels(feedPanels, &stop, &sent);

    std::mt19937 random(42);
    long loops = 0, reloads = 0, x737Changes = 0, edits = 0, toggles = 0;
    bool x737Here = false;
    const auto end = Clock::now() + std::chrono::seconds(soakSeconds());
    auto nextToggle = Clock::now() + std::chrono::seconds(4);
    while (Clock::now() < end) {
        flightLoop();
        ++loops;
        if ((loops & 255) == 0) hostsim::clearLog();
        hostsim::clearDatarefWrites();
        hostsim::clearCommandJournal();
        // The simulator's own state moves too.
        hostsim::setFloat("sim/cockpit/autopilot/heading_mag", static_cast<float>(random() % 360));
        hostsim::setInt("sim/cockpit/radios/com1_freq_hz", 11800 + static_cast<int>(random() % 1000));
        hostsim::setInt("sim/cockpit/warnings/annunciators/autopilot_disconnect", random() % 2);

        switch (random() % 40) {
            case 0:
                aircraftLoaded();
                ++reloads;
                break;
            case 1:
                x737Here ? x737Leaves() : x737Arrives();
                x737Here = !x737Here;
                ++x737Changes;
                break;
            case 2:
                editPreferences(random);
                ++edits;
                break;
            case 3: hostsim::pickMenuItem("drovanel", random() % 2 ? "1. Radiopanel DME in 2nd segment"
                                                                   : "2. Radiopanel DME in 2nd segment");
                break;
            default: break;
        }
        // Each toggle tears every panel down (one refresh period each) and
        // finds them again: a few per run.
        if (Clock::now() > nextToggle) {
            hostsim::pickMenuItem("drovanel", "Ignore Switchpanel");
            ++toggles;
            nextToggle = Clock::now() + std::chrono::seconds(4);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (ignoreSwitchPanelSet()) hostsim::pickMenuItem("drovanel", "Ignore Switchpanel");
    stop.store(true);
    panels.join();
    stopPlugin();

    std::printf("soak: %ld flight loops, %ld reports sent, %ld reloads, %ld x737 changes, %ld edits, %ld toggles\n",
                loops, sent.load(), reloads, x737Changes, edits, toggles);
    EXPECT_GT(toggles, 0);
    EXPECT_GT(edits, 0);
    EXPECT_TRUE(hostsim::offThreadCalls().empty()) << hostsim::offThreadCalls().front();
    EXPECT_EQ(hostsim::nullCommandFaults(), 0);
    EXPECT_EQ(settingsFileSizes(), std::vector<long>(kDeviceCount, 1024));
}

}  // namespace
}  // namespace soak
}  // namespace drovanel
