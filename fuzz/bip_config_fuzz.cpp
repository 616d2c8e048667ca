// The BIP's XML lens layout: any file content loaded by a BIP driver, whose
// bindings are then evaluated and turned into lamp reports.
#include <filesystem>

#include "bip/backlit_information_panel.h"
#include "fuzz_host.h"
#include "hostsim/hostsim.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace drovanel;
    fuzz::prepareHost();
    static const std::string layout = hostsim::prefsFile("fuzz-layout.xml");
    std::remove(hostsim::prefsFile("Drovanel.BacklitInformationPanel.prf").c_str());
    if (!fuzz::writeFile(layout, data, size)) return 0;

    BacklitInformationPanel panel(nullptr);
    panel.setConfigurationFile(layout.c_str());
    for (int i = 0; i < 4; ++i) {
        panel.update();
        panel.sendReport();
        for (int lens = 0; lens < kLensCount; ++lens) (void)panel.shownColour(lens);
        fuzz::advanceTick(300);
    }
    // An aircraft reload reads the file again when lens 0 is unbound.
    panel.initialize();
    panel.update();
    // The same bytes as the layout of an aircraft's own, then an aircraft
    // without one: both ways of binding read them.
    static const std::string aircraftFolder = hostsim::prefsFolder() + "/Aircraft/Fuzz";
    static const bool made = std::filesystem::create_directories(aircraftFolder);
    if (made && fuzz::writeFile(aircraftFolder + "/Drovanel.BacklitInformationPanel.xml", data, size)) {
        hostsim::setUserAircraft(aircraftFolder + "/Fuzz.acf");
        panel.initialize();
        panel.update();
        panel.sendReport();
        hostsim::setUserAircraft(hostsim::defaultAircraft());
        panel.initialize();
        panel.update();
    }
    panel.teardown();
    fuzz::checkHostInvariants();
    return 0;
}
