
#include "five_panels.h"

#include <dirent.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "hostsim/hostsim.h"
#include "hostsim/panels/multipanel.h"
#include "hostsim/panels/radiopanel.h"
#include "hostsim/panels/switchpanel.h"
#include "hostsim/panels/x737.h"
#include "multipanel/multipanel.h"
#include "plugin/plugin_core.h"

namespace drovanel {
namespace soak {

const char *const kSettingsFiles[kDeviceCount] = {
    "Drovanel.Multipanel.prf", "Drovanel.Switchpanel.prf", "Drovanel.Radiopanel1.prf",
    "Drovanel.Radiopanel2.prf", "Drovanel.BacklitInformationPanel.prf"};

std::string sampleBipLayout() { return std::string(DROVANEL_SOURCE_DIR) + "/packaging/bip-sample.xml"; }

BacklitInformationPanel *bipPanel() {
    return dynamic_cast<BacklitInformationPanel *>(panelInSlot(PanelSlot::Bip));
}

int startFivePanels(unsigned startupWaitMs) {
    hostsim::reset();
    Multipanel::setStartupWait(startupWaitMs);
    hostsim::attach(hostsim::PanelKind::Multi);
    hostsim::attach(hostsim::PanelKind::Switch);
    hostsim::attach(hostsim::PanelKind::Radio);
    hostsim::attach(hostsim::PanelKind::Radio);
    hostsim::attach(hostsim::PanelKind::Bip);
    char name[256], signature[256], description[256];
    pluginStart(kLinuxIdentity, name, signature, description);
    pluginEnable();
    int bound = 0;
    if (BacklitInformationPanel *bip = bipPanel()) {
        bip->setConfigurationFile(sampleBipLayout().c_str());
        for (int lens = 0; lens < kLensCount; ++lens) bound += bip->lensBound(lens) ? 1 : 0;
    }
    return bound;
}

void stopPlugin() {
    pluginDisable();
    pluginStop();
}

void flightLoop() {
    static int counter = 0;
    flightLoopCallback(0.05f, 0.05f, ++counter, nullptr);
}

void aircraftLoaded() { hostsim::deliverMessage(pluginReceiveMessage, "X-Plane", 102); }

void x737Arrives() {
    hostsim::x737::arrive();
    hostsim::deliverMessage(pluginReceiveMessage, hostsim::x737::kPluginName, hostsim::x737::kAnnounceMessage);
}

void x737Leaves() {
    hostsim::x737::leave();
    aircraftLoaded();
}

std::string fullProfileText() {
    std::vector<std::string> numbers, writable, commands;
    for (const hostsim::AircraftNameList &list : hostsim::aircraftNames()) {
        if (list.folder != "zibo-737") continue;
        for (const auto &d : list.datarefs) {
            if (d.second == "number" && d.first.find("annunciator") != std::string::npos) numbers.push_back(d.first);
        }
        writable = list.writable;
        commands = list.commands;
    }
    std::size_t n = 0, w = 0, c = 0;
    const auto number = [&] { return numbers[n++ % numbers.size()]; };
    const auto write = [&] { return writable[w++ % writable.size()]; };
    const auto command = [&] { return commands[c++ % commands.size()]; };
    std::string x = "<DrovanelProfile Name=\"Every control\">\n<Multipanel>\n";
    for (const char *s : {"ALT", "VS", "IAS"}) {
        x += std::string("<Knob Selector=\"") + s + "\" Dataref=\"" + write() + "\" Step=\"1\" Min=\"0\" Max=\"100\"/>\n";
    }
    for (const char *s : {"HDG", "CRS"}) {
        x += std::string("<Knob Selector=\"") + s + "\" Up=\"" + command() + "\" Down=\"" + command() + "\"/>\n";
    }
    for (const char *s : {"ALT", "VS", "IAS", "HDG", "CRS"}) {
        x += std::string("<Display Selector=\"") + s + "\" Dataref=\"" + number() + "\"/>\n";
    }
    x += "<Mach Dataref=\"" + number() + "\"/>\n";
    for (const char *b : {"AP", "HDG", "NAV", "IAS", "ALT", "VS", "APR", "REV"}) {
        x += std::string("<Button Name=\"") + b + "\" Command=\"" + command() + "\"/>\n";
        x += std::string("<Lamp Name=\"") + b + "\" Dataref=\"" + number() + "\"/>\n";
    }
    x += "<Autothrottle Toggle=\"" + command() + "\" State=\"" + number() + "\"/>\n";
    for (const char *e : {"Flaps", "Trim"}) {
        for (const char *p : {"Up", "Down"}) {
            x += std::string("<") + e + " Position=\"" + p + "\" Command=\"" + command() + "\"/>\n";
        }
    }
    x += "</Multipanel>\n<Switchpanel>\n";
    for (const char *s : {"Battery", "Generator", "Avionics", "FuelPump", "DeIce", "PitotHeat", "CowlFlaps",
                          "PanelLights", "Beacon", "Nav", "Strobe", "Taxi", "Landing"}) {
        x += std::string("<Switch Name=\"") + s + "\" Toggle=\"" + command() + "\" State=\"" + number() + "\"/>\n";
    }
    for (const char *p : {"Off", "Right", "Left", "Both", "Start"}) {
        x += std::string("<Magneto Position=\"") + p + "\" Command=\"" + command() + "\"/>\n";
    }
    for (const char *p : {"Up", "Down"}) x += std::string("<Gear Position=\"") + p + "\" Command=\"" + command() + "\"/>\n";
    for (const char *colour : {"Green", "Red"}) {
        for (const char *lamp : {"1", "2", "3"}) {
            x += std::string("<GearLamp Lamp=\"") + lamp + "\" Colour=\"" + colour + "\" Dataref=\"" + number() + "\"/>\n";
        }
    }
    x += "</Switchpanel>\n<Radiopanel>\n";
    for (const char *s : {"NAV1", "NAV2", "COM1", "COM2", "ADF", "DME", "XPDR"}) {
        x += std::string("<Radio Selector=\"") + s + "\" Active=\"" + number() + "\" Standby=\"" + number() +
             "\" FineUp=\"" + command() + "\" FineDown=\"" + command() + "\" CoarseUp=\"" + command() +
             "\" CoarseDown=\"" + command() + "\" Swap=\"" + command() + "\"/>\n";
    }
    x += "</Radiopanel>\n<Bip>\n";
    for (int lens = 0; lens < kLensCount; ++lens) {
        x += "<Lens Number=\"" + std::to_string(lens) + "\" Colour=\"Amber\" Dataref=\"" + number() + "\"/>\n";
    }
    return x + "</Bip>\n</DrovanelProfile>\n";
}

bool loadFullyProfiledAircraft() {
    const std::string folder = hostsim::prefsFolder() + "/Aircraft/B737-800X";
    mkdir((hostsim::prefsFolder() + "/Aircraft").c_str(), 0755);
    mkdir(folder.c_str(), 0755);
    const std::string path = folder + "/Drovanel.Profile.xml";
    if (std::FILE *file = std::fopen(path.c_str(), "wb")) {
        const std::string text = fullProfileText();
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    hostsim::setUserAircraft(folder + "/b738.acf");
    aircraftLoaded();
    return hostsim::log().find("Drovanel : profile >" + path + "<\n") != std::string::npos;
}

void loadPlainAircraft() {
    hostsim::setUserAircraft(hostsim::defaultAircraft());
    aircraftLoaded();
}

namespace {

struct Probe {
    std::vector<std::vector<std::uint8_t>> reports;  // the last one rests the control
    const char *writes;
};

Probe probeFor(int device) {
    namespace mp = hostsim::multipanel;
    namespace rp = hostsim::radiopanel;
    namespace sp = hostsim::switchpanel;
    switch (device) {
        case kMultiDevice:
            return {{mp::encoderReport(mp::Selector::Hdg, mp::Encoder::Up), mp::selectorReport(mp::Selector::Hdg)},
                    "sim/cockpit/autopilot/heading_mag"};
        case kSwitchDevice: {
            sp::Switches on;
            on.panelLights = true;
            return {{sp::inputReport(on), sp::inputReport(sp::Switches{})}, "sim/cockpit/electrical/cockpit_lights"};
        }
        default:
            return {{rp::inputReport(rp::Selector::Com1, rp::Selector::Nav1, rp::kUpperFineUp),
                     rp::inputReport(rp::Selector::Com1, rp::Selector::Nav1)},
                    "sim/cockpit/radios/com1_stdby_freq_hz"};
    }
}

bool wrote(const char *path) {
    for (const auto &write : hostsim::datarefWrites()) {
        if (write.path == path) return true;
    }
    return false;
}

}  // namespace

bool panelResponds(int device, int timeoutMs) {
    const Probe probe = probeFor(device);
    flightLoop();
    hostsim::clearDatarefWrites();
    for (const auto &report : probe.reports) hostsim::queueInput(device, report);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        flightLoop();
        if (wrote(probe.writes)) return true;
    }
    return false;
}

std::vector<long> settingsFileSizes() {
    std::vector<long> sizes;
    for (const char *file : kSettingsFiles) {
        struct stat st {};
        sizes.push_back(stat(hostsim::prefsFile(file).c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1);
    }
    return sizes;
}

int countEntries(const char *folder) {
    int n = 0;
    if (DIR *dir = opendir(folder)) {
        while (readdir(dir) != nullptr) ++n;
        closedir(dir);
    }
    return n;
}

int settledTasks(int most) {
    int n = countEntries("/proc/self/task");
    for (int i = 0; i < 100 && n > most; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        n = countEntries("/proc/self/task");
    }
    return n;
}

}  // namespace soak
}  // namespace drovanel
