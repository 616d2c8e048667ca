// A Radio Panel driver (either unit) fed any sequence of input reports and
// host values: frequencies, DME readouts and the transponder code.
#include "fuzz_host.h"
#include "panel_events.h"
#include "radiopanel/radiopanel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace drovanel;
    fuzz::prepareHost();
    static const std::vector<fuzz::FuzzDataref> datarefs =
        fuzz::knownDatarefs(radio::kDatarefPaths, radio::kDatarefCount);
    fuzz::FuzzInput in(data, size);
    const int unit = in.byte() & 1;
    fuzz::forgetSettings(radiopanelName(unit));
    Radiopanel panel(nullptr, unit);
    fuzz::runPanelProgram(panel, in, datarefs);
    panel.teardown();
    return 0;
}
