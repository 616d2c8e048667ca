#include <cmath>

#include "bip_assignements.h"
#include "bip_log.h"
#include "single_precision.h"

namespace drovanel {

namespace {
constexpr const char *kFuelQuantityKey = "sim/cockpit2/fuel/fuel_quantity";
constexpr const char *kNumTanksKey = "sim/aircraft/overflow/acf_num_tanks";
constexpr const char *kFuelTotalKey = "sim/aircraft/weight/acf_m_fuel_tot";
constexpr const char *kTankRatioKey = "sim/aircraft/overflow/acf_tank_rat";

// The host's tank arrays hold 9 tanks.
constexpr int kMaxTanks = 9;
// The total capacity is published in pounds, the tank levels in kilograms.
constexpr float kKilogramsPerPound = 0.45359237f;
constexpr float kLowFuelShare = 0.1f;
}  // namespace

BipFuelAssignement::BipFuelAssignement(LensColour colour, std::uint32_t tank)
    : BipAssignement(kFuelQuantityKey, colour),
      tank(tank),
      numTanksRef(XPLMFindDataRef(kNumTanksKey)),
      fuelTotalRef(XPLMFindDataRef(kFuelTotalKey)),
      tankRatioRef(XPLMFindDataRef(kTankRatioKey)) {}

void BipFuelAssignement::evaluate() {
    if (ref == nullptr || tank >= static_cast<std::uint32_t>(kMaxTanks)) {
        shown = kLensOff;
        return;
    }
    float levels[kMaxTanks] = {};
    int r1 = XPLMGetDatavf(ref, levels, 0, kMaxTanks);
    if (static_cast<std::uint32_t>(r1) <= tank) {
        bipLog("Drovanel : number of fuel levels [%d] is below index [%d]\n", r1, static_cast<int>(tank));
        shown = kLensOff;
        return;
    }
    float capacity = XPLMGetDataf(fuelTotalRef) * kKilogramsPerPound;
    int t = XPLMGetDatai(numTanksRef);
    if (static_cast<std::uint32_t>(t) <= tank) {
        bipLog("Drovanel : number of tanks [%d] is below index [%d]\n", t, static_cast<int>(tank));
        shown = kLensOff;
        return;
    }
    float ratios[kMaxTanks] = {};
    int r2 = XPLMGetDatavf(tankRatioRef, ratios, 0, kMaxTanks);
    if (static_cast<std::uint32_t>(r2) <= tank) {
        bipLog("Drovanel : number of tank ratios [%d] is below index [%d]\n", r2, static_cast<int>(tank));
        shown = kLensOff;
        return;
    }
    float share = levels[tank] / (capacity * ratios[tank]);
    // An empty share (ratio 0) gives an infinite or NaN quotient: never low.
    bool low = std::isfinite(share) && share < kLowFuelShare;
    if (low || lampTest()) {
        light();
    } else {
        darken();
    }
}

}  // namespace drovanel
