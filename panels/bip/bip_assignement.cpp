#include "bip_assignement.h"

#include <algorithm>

#include "bip_log.h"
#include "tick.h"

namespace drovanel {

namespace {
constexpr const char *kLampTestKey = "sim/cockpit/warnings/annunciator_test_pressed";
constexpr const char *kNumBatteriesKey = "sim/aircraft/electrical/num_batteries";
constexpr const char *kNumGeneratorsKey = "sim/aircraft/electrical/num_generators";
constexpr const char *kBatteryOnKey = "sim/cockpit/electrical/battery_array_on";
constexpr const char *kGeneratorOnKey = "sim/cockpit/electrical/generator_on";
constexpr const char *kApuGeneratorOnKey = "sim/cockpit/electrical/generator_apu_on";
constexpr const char *kApuRunningKey = "sim/cockpit/engine/APU_running";

// Batteries and generators looked at; the host's arrays hold 8.
constexpr int kMaxPowerSources = 8;

// Whether any of the first `count` elements (capped at 8) of an int array
// dataref is non-zero.
bool anyOn(XPLMDataRef countRef, XPLMDataRef arrayRef) {
    int n = std::min(XPLMGetDatai(countRef), kMaxPowerSources);
    if (n <= 0) return false;
    int values[kMaxPowerSources] = {};
    int got = std::min(XPLMGetDatavi(arrayRef, values, 0, n), n);
    for (int i = 0; i < got; ++i) {
        if (values[i] != 0) return true;
    }
    return false;
}

// 0 marks "no flash running", so a phase that begins at tick 0 is moved by
// one millisecond.
std::uint32_t flashTick(std::uint32_t now) { return now != 0 ? now : 1; }
}  // namespace

BipAssignement::BipAssignement(const char *key, LensColour colour) : BipAssignement(colour) {
    ref = XPLMFindDataRef(key);
    if (ref == nullptr) bipLog("Drovanel : ref is null for key %s\n", key);
}

BipAssignement::BipAssignement(LensColour colour)
    : colour(colour),
      ref(nullptr),
      testRef(XPLMFindDataRef(kLampTestKey)),
      numBatteriesRef(XPLMFindDataRef(kNumBatteriesKey)),
      numGeneratorsRef(XPLMFindDataRef(kNumGeneratorsKey)),
      batteryOnRef(XPLMFindDataRef(kBatteryOnKey)),
      generatorOnRef(XPLMFindDataRef(kGeneratorOnKey)),
      apuGeneratorOnRef(XPLMFindDataRef(kApuGeneratorOnKey)),
      apuRunningRef(XPLMFindDataRef(kApuRunningKey)) {}

void BipAssignement::evaluate() {
    if (ref == nullptr) {
        shown = kLensOff;
        return;
    }
    if (XPLMGetDatai(ref) != 0 || lampTest()) {
        light();
    } else {
        darken();
    }
}

bool BipAssignement::isPowered() const {
    if (anyOn(numBatteriesRef, batteryOnRef)) return true;
    if (anyOn(numGeneratorsRef, generatorOnRef)) return true;
    return XPLMGetDatai(apuGeneratorOnRef) != 0 && XPLMGetDatai(apuRunningRef) != 0;
}

void BipAssignement::startFlash() {
    if (flashOn == 0 || flashOff == 0) return;
    flashPhase = true;
    flashStart = flashTick(currentTick());
}

bool BipAssignement::stepFlash(std::uint32_t now) {
    if (!flashRunning()) return true;
    // Elapsed time as an unsigned difference, so the tick's wrap after
    // 49.7 days does not cut a phase short.
    std::uint32_t elapsed = now - flashStart;
    if (flashPhase) {
        if (elapsed >= flashOn) {
            flashPhase = false;
            flashStart = flashTick(now);
        }
    } else if (elapsed >= flashOff) {
        flashPhase = true;
        flashStart = flashTick(now);
    }
    return flashPhase;
}

void BipAssignement::light() {
    if (shown != colour) startFlash();
    shown = colour;
}

void BipAssignement::darken() {
    flashStart = 0;
    shown = kLensOff;
}

bool BipAssignement::lampTest() const { return XPLMGetDatai(testRef) != 0; }

}  // namespace drovanel
