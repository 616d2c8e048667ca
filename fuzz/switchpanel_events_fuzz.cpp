// The Switch Panel driver fed any sequence of input reports and host values
// (engine count, gear and power state).
#include "fuzz_host.h"
#include "panel_events.h"
#include "switchpanel/switchpanel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace drovanel;
    fuzz::prepareHost();
    static const std::vector<fuzz::FuzzDataref> datarefs =
        fuzz::knownDatarefs(switchpanel::kDatarefPaths, switchpanel::kDatarefCount);
    fuzz::forgetSettings("Switchpanel");
    Switchpanel panel(nullptr);
    fuzz::FuzzInput in(data, size);
    fuzz::runPanelProgram(panel, in, datarefs);
    panel.teardown();
    return 0;
}
