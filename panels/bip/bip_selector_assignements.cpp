// The bindings of selectors, switches and radio indicators: enum, gear,
// parking brake, autopilot, DME and marker beacons.
#include "bip_assignements.h"

namespace drovanel {

namespace {
constexpr const char *kGearHandleKey = "sim/cockpit/switches/gear_handle_status";
constexpr const char *kParkingBrakeKey = "sim/cockpit2/controls/parking_brake_ratio";
constexpr const char *kAutopilotModeKey = "sim/cockpit/autopilot/autopilot_mode";
constexpr const char *kHsiSourceKey = "sim/cockpit2/radios/actuators/HSI_source_select_pilot";
constexpr const char *kHasDmeKeys[BipDMEAssignement::kHasDmeCount] = {
    "sim/cockpit2/radios/indicators/nav1_has_dme", "sim/cockpit2/radios/indicators/nav2_has_dme",
    "sim/cockpit2/radios/indicators/gps_has_dme",  "sim/cockpit2/radios/indicators/adf1_has_dme",
    "sim/cockpit2/radios/indicators/adf2_has_dme", "sim/cockpit2/radios/indicators/dme_has_dme",
};
constexpr const char *kOuterMarkerKey = "sim/cockpit/misc/outer_marker_lit";
constexpr const char *kMiddleMarkerKey = "sim/cockpit/misc/middle_marker_lit";
constexpr const char *kInnerMarkerKey = "sim/cockpit/misc/inner_marker_lit";

// The middle and inner markers show in the two colours other than the
// outer marker's.
LensColour middleMarkerColour(LensColour colour) {
    switch (colour) {
        case kLensRed:
        case kLensGreen: return kLensAmber;
        case kLensAmber: return kLensRed;
        default: return colour;
    }
}

LensColour innerMarkerColour(LensColour colour) {
    switch (colour) {
        case kLensRed:
        case kLensAmber: return kLensGreen;
        case kLensGreen: return kLensRed;
        default: return colour;
    }
}
}  // namespace

BipEnumAssignement::BipEnumAssignement(const char *key, LensColour colour, std::int32_t value)
    : BipAssignement(key, colour), value(value) {}

void BipEnumAssignement::evaluate() {
    if (ref == nullptr) {
        shown = kLensOff;
        return;
    }
    if (XPLMGetDatai(ref) == value || lampTest()) {
        light();
    } else {
        darken();
    }
}

BipGearAssignement::BipGearAssignement(LensColour colour, bool down)
    : BipAssignement(kGearHandleKey, colour), down(down) {}

void BipGearAssignement::evaluate() {
    if (ref == nullptr) {
        shown = kLensOff;
        return;
    }
    if ((XPLMGetDatai(ref) != 0) == down || lampTest()) {
        light();
    } else {
        darken();
    }
}

BipBreakAssignement::BipBreakAssignement(LensColour colour) : BipAssignement(kParkingBrakeKey, colour) {}

void BipBreakAssignement::evaluate() {
    if (ref == nullptr) {
        shown = kLensOff;
        return;
    }
    // Any ratio but exactly 0 (a NaN included) means the brake is set.
    if (!(XPLMGetDataf(ref) == 0.0f) || lampTest()) {
        light();
    } else {
        darken();
    }
}

BipApAssignement::BipApAssignement(LensColour colour) : BipAssignement(kAutopilotModeKey, colour) {
    evaluate();
}

BipDMEAssignement::BipDMEAssignement(LensColour colour) : BipAssignement(kHsiSourceKey, colour) {
    for (int i = 0; i < kHasDmeCount; ++i) hasDmeRefs[i] = XPLMFindDataRef(kHasDmeKeys[i]);
    evaluate();
}

void BipDMEAssignement::evaluate() {
    // The HSI source dataref only tells that the aircraft has the radios.
    if (ref == nullptr) {
        shown = kLensOff;
        return;
    }
    bool hasDme = false;
    for (int i = 0; i < kHasDmeCount && !hasDme; ++i) hasDme = XPLMGetDatai(hasDmeRefs[i]) != 0;
    if (hasDme || lampTest()) {
        light();
    } else {
        darken();
    }
}

BipMarkerAssignement::BipMarkerAssignement(LensColour colour)
    : BipAssignement(kOuterMarkerKey, colour),
      middleRef(XPLMFindDataRef(kMiddleMarkerKey)),
      innerRef(XPLMFindDataRef(kInnerMarkerKey)) {
    evaluate();
}

void BipMarkerAssignement::evaluate() {
    if (ref == nullptr) {
        shown = kLensOff;
        return;
    }
    // The middle and inner colours neither start nor stop a flash: one begun
    // over the outer marker runs on until the lens darkens.
    if (XPLMGetDatai(ref) != 0 || lampTest()) {
        light();
    } else if (XPLMGetDatai(middleRef) != 0) {
        shown = middleMarkerColour(colour);
    } else if (XPLMGetDatai(innerRef) != 0) {
        shown = innerMarkerColour(colour);
    } else {
        darken();
    }
}

}  // namespace drovanel
