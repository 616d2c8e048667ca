#include "panel_events.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "fuzz_host.h"
#include "hostsim/hostsim.h"
#include "hostsim/panels/x737.h"

namespace drovanel {
namespace fuzz {

namespace {

enum Op : std::uint8_t { kEvent, kUpdate, kSetDataref, kSendReport, kInitialize, kX737, kSettings, kOpCount };

// Floats go only into float datarefs: the host's own setter converts a float
// into an int dataref as C does, which is undefined out of range.
void setDataref(const FuzzDataref &dataref, FuzzInput &in) {
    const int element = in.byte() % 8;
    const std::uint32_t bits = in.u32();
    float asFloat;
    std::memcpy(&asFloat, &bits, sizeof asFloat);
    // Arrays take the element; scalars and short arrays fall back to 0.
    for (int index : {element, 0}) {
        try {
            if (dataref.isFloat) {
                hostsim::setFloatAt(dataref.path, index, asFloat);
            } else {
                hostsim::setIntAt(dataref.path, index, static_cast<int>(bits));
            }
            return;
        } catch (const std::out_of_range &) {
        }
    }
}

}  // namespace

std::vector<FuzzDataref> knownDatarefs(const char *const *paths, std::size_t count) {
    std::vector<FuzzDataref> known;
    for (std::size_t i = 0; i < count; ++i) {
        if (paths[i] == nullptr || !hostsim::isKnown(paths[i])) continue;
        // An int dataref keeps 0 of a written 0.5.
        const float kept = hostsim::getFloatAt(paths[i], 0);
        hostsim::setFloatAt(paths[i], 0, 0.5f);
        known.push_back({paths[i], hostsim::getFloatAt(paths[i], 0) != 0.0f});
        hostsim::setFloatAt(paths[i], 0, kept);
    }
    return known;
}

void forgetSettings(const char *panelName) {
    std::remove(hostsim::prefsFile(std::string("Drovanel.") + panelName + ".prf").c_str());
}

void runPanelProgram(AbstractPanel &panel, FuzzInput &in, const std::vector<FuzzDataref> &datarefs) {
    while (!in.empty()) {
        switch (in.byte() % kOpCount) {
            case kEvent: {
                const std::uint8_t shape = in.byte();
                std::uint8_t report[4];
                in.bytes(report, sizeof report);
                advanceTick(in.byte());
                panel.pushEvent(report, shape % 5, static_cast<std::uint8_t>((shape >> 3) & 1));
                break;
            }
            case kUpdate: panel.update(); break;
            case kSetDataref:
                if (!datarefs.empty()) setDataref(datarefs[in.byte() % datarefs.size()], in);
                break;
            case kSendReport: panel.sendReport(); break;
            case kInitialize: panel.initialize(); break;
            case kX737:
                if (in.byte() & 1) {
                    hostsim::x737::arrive(static_cast<int>(in.byte() % 3));
                } else {
                    hostsim::x737::leave();
                }
                break;
            case kSettings: {
                // What the preferences window and the menu may write.
                const std::size_t index = 4 + in.byte() % 64;
                panel.setSettingByte(index, in.byte());
                break;
            }
            default: break;
        }
        advanceTick(in.byte() % 64);
    }
    panel.update();
    panel.sendReport();
    hostsim::x737::leave();
    checkHostInvariants();
}

}  // namespace fuzz
}  // namespace drovanel
