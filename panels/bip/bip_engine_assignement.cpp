#include <algorithm>

#include "bip_assignements.h"
#include "bip_log.h"

namespace drovanel {

namespace {
constexpr const char *kNumEnginesKey = "sim/aircraft/engine/acf_num_engines";
// The host's per-engine arrays hold 8 engines.
constexpr int kMaxEngines = 8;
}  // namespace

BipEngineAssignement::BipEngineAssignement(const char *key, LensColour colour, std::int32_t index)
    : BipAssignement(key, colour), index(index), numEngRef(XPLMFindDataRef(kNumEnginesKey)) {
    if (numEngRef == nullptr) bipLog("Drovanel : numEngRef is null for %s\n", key);
}

void BipEngineAssignement::evaluate() {
    if (ref == nullptr || numEngRef == nullptr) {
        shown = kLensOff;
        return;
    }
    int n = XPLMGetDatai(numEngRef);
    if (n == 0) {
        bipLog("Drovanel : number of engines is 0\n");
        shown = kLensOff;
        return;
    }
    n = std::min(n, kMaxEngines);
    if (index >= 0 && index >= n) {
        bipLog("Drovanel : number of engines is smaller than index\n");
        shown = kLensOff;
        return;
    }
    int values[kMaxEngines] = {};
    int r = XPLMGetDatavi(ref, values, 0, std::max(n, 0));
    if (index >= 0 && index >= r) {
        bipLog("Drovanel : ret is smaller than index\n");
        shown = kLensOff;
        return;
    }
    // Only elements the host returned count, and never beyond the buffer.
    int available = std::min(std::min(r, n), kMaxEngines);

    bool on = false;
    if (index >= 0) {
        on = values[index] != 0;
    } else if (index == kLeftEngines || index == kRightEngines) {
        int half = n / 2;
        int first = index == kLeftEngines ? 0 : half;
        int end = index == kLeftEngines ? half : n;
        for (int i = std::max(first, 0); i < end && i < available; ++i) {
            if (values[i] != 0) on = true;
        }
    }
    if (on || lampTest()) {
        light();
    } else {
        darken();
    }
}

}  // namespace drovanel
