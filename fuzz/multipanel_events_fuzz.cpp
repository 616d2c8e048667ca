// The Multi Panel driver fed any sequence of input reports, host values and
// x737 comings and goings.
#include "fuzz_host.h"
#include "multipanel/multipanel.h"
#include "multipanel/multipanel_refs.h"
#include "panel_events.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace drovanel;
    fuzz::prepareHost();
    static const std::vector<fuzz::FuzzDataref> datarefs = [] {
        const char *paths[multipanel::kReferenceCount];
        for (std::size_t i = 0; i < multipanel::kReferenceCount; ++i) paths[i] = multipanel::referencePath(i);
        return fuzz::knownDatarefs(paths, multipanel::kReferenceCount);
    }();
    fuzz::forgetSettings("Multipanel");
    Multipanel::setStartupWait(0);
    Multipanel panel(nullptr);
    fuzz::FuzzInput in(data, size);
    fuzz::runPanelProgram(panel, in, datarefs);
    panel.teardown();
    return 0;
}
