// A panel's settings file with any size and content: the first input byte
// picks the driver, the rest is the file. The driver loads it, replays the
// stored last report as its refresh thread would, runs, and writes it back.
// For the BIP the file also names the layout it loads.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "bip/backlit_information_panel.h"
#include "fuzz_host.h"
#include "fuzz_input.h"
#include "hostsim/hostsim.h"
#include "multipanel/multipanel.h"
#include "radiopanel/radiopanel.h"
#include "switchpanel/switchpanel.h"

namespace {

using namespace drovanel;

AbstractPanel *makePanel(int kind) {
    switch (kind) {
        case 0: return new Multipanel(nullptr);
        case 1: return new Switchpanel(nullptr);
        case 2: return new Radiopanel(nullptr, 0);
        case 3: return new Radiopanel(nullptr, 1);
        default: return new BacklitInformationPanel(nullptr);
    }
}

const char *const kNames[] = {"Multipanel", "Switchpanel", "Radiopanel1", "Radiopanel2", "BacklitInformationPanel"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    fuzz::prepareHost();
    Multipanel::setStartupWait(0);
    fuzz::FuzzInput in(data, size);
    const int kind = in.byte() % 5;
    std::size_t fileSize = 0;
    const std::uint8_t *file = in.rest(&fileSize);
    const std::string path = hostsim::prefsFile(std::string("Drovanel.") + kNames[kind] + ".prf");
    if (!fuzz::writeFile(path, file, fileSize)) return 0;

    std::unique_ptr<AbstractPanel> panel(makePanel(kind));
    panel->update();
    std::uint8_t last[4];
    for (int i = 0; i < 4; ++i) last[i] = panel->settingByte(static_cast<std::size_t>(i));
    panel->pushEvent(last, 4, 1);
    panel->update();
    panel->sendReport();
    panel->initialize();
    panel->update();
    panel->teardown();
    panel.reset();

    // Teardown writes the whole block back over the start of the file.
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || st.st_size < 1024) {
        std::fprintf(stderr, "settings file not written back whole\n");
        std::abort();
    }
    fuzz::checkHostInvariants();
    return 0;
}
