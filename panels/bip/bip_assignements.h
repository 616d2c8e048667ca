// The special kinds of lens binding. Each overrides only evaluate() (the
// autopilot kind not even that) and resolves its own datarefs.
#ifndef DROVANEL_PANELS_BIP_BIP_ASSIGNEMENTS_H
#define DROVANEL_PANELS_BIP_BIP_ASSIGNEMENTS_H

#include <cstdint>

#include "bip_assignement.h"

namespace drovanel {

// Engine indexes of the half-of-the-engines bindings.
constexpr std::int32_t kLeftEngines = -1;
constexpr std::int32_t kRightEngines = -2;

// An int array indexed by engine: one engine (index 0-7) or either half of
// the engines (kLeftEngines, kRightEngines).
class BipEngineAssignement : public BipAssignement {
public:
    BipEngineAssignement(const char *key, LensColour colour, std::int32_t index);
    void evaluate() override;

    const std::int32_t index;

private:
    XPLMDataRef numEngRef;
};

// Low fuel in one tank (0 left, 1 centre, 2 right): the level is below 10 %
// of the tank's share of the total capacity.
class BipFuelAssignement : public BipAssignement {
public:
    BipFuelAssignement(LensColour colour, std::uint32_t tank);
    void evaluate() override;

    const std::uint32_t tank;

private:
    XPLMDataRef numTanksRef;
    XPLMDataRef fuelTotalRef;
    XPLMDataRef tankRatioRef;
};

// Lit while an int dataref holds one value (a selector position).
class BipEnumAssignement : public BipAssignement {
public:
    BipEnumAssignement(const char *key, LensColour colour, std::int32_t value);
    void evaluate() override;

    const std::int32_t value;
};

// Gear handle down (down = true) or up (down = false).
class BipGearAssignement : public BipAssignement {
public:
    BipGearAssignement(LensColour colour, bool down);
    void evaluate() override;

    const bool down;
};

// Parking brake set at all.
class BipBreakAssignement : public BipAssignement {
public:
    explicit BipBreakAssignement(LensColour colour);
    void evaluate() override;
};

// Autopilot mode non-zero. Evaluates once when made.
class BipApAssignement : public BipAssignement {
public:
    explicit BipApAssignement(LensColour colour);
};

// Any radio indicating DME. Evaluates once when made.
class BipDMEAssignement : public BipAssignement {
public:
    explicit BipDMEAssignement(LensColour colour);
    void evaluate() override;

    static constexpr int kHasDmeCount = 6;

private:
    XPLMDataRef hasDmeRefs[kHasDmeCount];
};

// The three marker beacons on one lens: the outer marker in the configured
// colour, the middle and inner markers in two others. Evaluates once when
// made.
class BipMarkerAssignement : public BipAssignement {
public:
    explicit BipMarkerAssignement(LensColour colour);
    void evaluate() override;

private:
    XPLMDataRef middleRef;
    XPLMDataRef innerRef;
};

}  // namespace drovanel

#endif
