// The aircraft profile loader: any file content read as a profile; one the
// loader takes is resolved against the Zibo's names and bound to all four
// drivers, which then take a sweep of reports, fill their caches and build
// their output reports, and let it go again.
#include "bip/backlit_information_panel.h"
#include "fuzz_host.h"
#include "hostsim/hostsim.h"
#include "hostsim/panels/multipanel.h"
#include "hostsim/panels/radiopanel.h"
#include "hostsim/panels/switchpanel.h"
#include "multipanel/multipanel.h"
#include "profile/profile_binding.h"
#include "profile/profile_loader.h"
#include "radiopanel/radiopanel.h"
#include "switchpanel/switchpanel.h"

namespace {

using namespace drovanel;

template <typename Panel>
void feed(Panel &panel, const std::vector<std::uint8_t> &report, std::uint32_t tick) {
    panel.handleEvent(report.data(), static_cast<std::uint32_t>(report.size()), 0, tick);
}

void exercise(profile::Profile &p) {
    namespace mp = hostsim::multipanel;
    namespace sp = hostsim::switchpanel;
    namespace rp = hostsim::radiopanel;
    Multipanel multi(nullptr);
    Switchpanel switches(nullptr);
    Radiopanel radio(nullptr, 0);
    BacklitInformationPanel bip(nullptr);
    AbstractPanel *panels[] = {&multi, &switches, &radio, &bip};
    for (AbstractPanel *panel : panels) panel->bindProfile(&p);

    std::uint32_t tick = 1000;
    for (mp::Selector s : {mp::Selector::Alt, mp::Selector::Vs, mp::Selector::Ias, mp::Selector::Hdg, mp::Selector::Crs}) {
        feed(multi, mp::encoderReport(s, mp::Encoder::Up), tick += 300);
        feed(multi, mp::encoderReport(s, mp::Encoder::Down), tick += 300);
    }
    mp::Controls all;
    all.ap = all.hdg = all.nav = all.ias = all.alt = all.vs = all.apr = all.rev = all.autothrottle = true;
    all.flapsUp = all.trimUp = true;
    feed(multi, mp::inputReport(all), tick += 300);
    feed(multi, mp::inputReport(mp::Controls()), tick += 300);
    sp::Switches on;
    on.battery = on.avionics = on.landing = on.beacon = on.pitotHeat = true;
    on.gear = sp::GearLever::Down;
    for (sp::Magneto m : {sp::Magneto::Off, sp::Magneto::Start, sp::Magneto::Both, sp::Magneto::Left}) {
        on.magneto = m;
        feed(switches, sp::inputReport(on), tick += 300);
        feed(switches, sp::inputReport(sp::Switches()), tick += 300);
    }
    for (rp::Selector s : {rp::Selector::Com1, rp::Selector::Nav2, rp::Selector::Adf, rp::Selector::Xpdr}) {
        for (unsigned c : {rp::kUpperFineUp, rp::kUpperCoarseDown, rp::kUpperActStby}) {
            feed(radio, rp::inputReport(s, s, c), tick += 300);
            feed(radio, rp::inputReport(s, s), tick += 300);
        }
    }
    for (AbstractPanel *panel : panels) {
        panel->update();
        panel->sendReport();
    }
    for (AbstractPanel *panel : panels) {
        panel->bindProfile(nullptr);
        panel->teardown();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    fuzz::prepareHost();
    static const bool zibo = [] {
        hostsim::setUserAircraft(hostsim::prefsFolder() + "/Aircraft/B737-800X/b738.acf");
        hostsim::setIntAt("sim/cockpit/electrical/battery_array_on", 0, 1);
        hostsim::setInt("sim/cockpit/electrical/avionics_on", 1);
        hostsim::setInt("sim/aircraft/engine/acf_num_engines", 2);
        return true;
    }();
    (void)zibo;
    for (const char *panel : {"Multipanel", "Switchpanel", "Radiopanel1", "BacklitInformationPanel"}) {
        std::remove(hostsim::prefsFile(std::string("Drovanel.") + panel + ".prf").c_str());
    }
    static const std::string path = hostsim::prefsFile("fuzz-profile.xml");
    if (!fuzz::writeFile(path, data, size)) return 0;
    profile::Profile p;
    std::vector<profile::Problem> problems;
    if (profile::readProfile(path, &p, &problems)) {
        profile::resolveNames(p, [](const char *, bool) {});
        exercise(p);
    } else if (problems.empty()) {
        __builtin_trap();  // refused without a reason
    }
    fuzz::checkHostInvariants();
    return 0;
}
