#include "multipanel.h"

#include <mutex>

#include "XPLMDataAccess.h"
#include "XPLMUtilities.h"
#include "multipanel_actions.h"
#include "multipanel_codec.h"
#include "multipanel_display.h"
#include "multipanel_profile.h"
#include "profile/profile.h"

namespace drovanel {

using namespace multipanel;

namespace {
constexpr unsigned kCoalescenceDefault = 250;
constexpr unsigned kRepeatDefault = 10;
constexpr unsigned kChangeDefault = 5;

// The panel answers a feature read with its current input state; only byte
// 1 (selector, encoder, AP button) is taken, like a 2-byte input report.
constexpr std::uint32_t kStartupEventLength = 2;

std::atomic<std::uint32_t> startupWaitMs{500};
}  // namespace

Multipanel::Multipanel(HidDevice *device)
    : AbstractPanel(device, "Multipanel", AbstractPanel::standardReader,
                    AbstractPanel::standardRefresh, kCoalescenceDefault, kRepeatDefault,
                    kChangeDefault) {
    initialize();
}

std::uint32_t Multipanel::startupWait() { return startupWaitMs.load(); }
void Multipanel::setStartupWait(std::uint32_t ms) { startupWaitMs.store(ms); }

void Multipanel::initialize() {
    refs = MultipanelRefs{};
    bindReferences(refs);
    // The exchange's pause must not hold the simulator thread: the refresh
    // thread runs it, and the state read back comes through the queue.
    requestDeviceExchange();
}

void Multipanel::deviceExchange() {
    HidDevice *panel = device();
    if (panel == nullptr) return;

    Report blank;
    startupReport(blank);
    panel->setFeature(blank, kReportSize);

    sleepWhileRunning(startupWait());
    if (!running()) return;  // torn down during the pause: nobody would apply it

    // An aircraft loaded from here on is served by the next exchange.
    exchangeReadingBack();
    std::uint8_t state[kReportSize] = {};
    if (!panel->getFeature(state, kReportSize)) return;
    pushEvent(state, kStartupEventLength, kEventReadBack);
}

void Multipanel::fillCache() {
    CachedState &c = cachedState;
    const MultipanelRefs &r = refs;
    c.x737Status = XPLMGetDatai(r.x737StatusRef);
    // The x737 mode shows the x737's own values, profile or not. What the
    // profile shows instead is not read from the simulator.
    if (profile_ != nullptr && c.x737Status != 1) {
        readProfileOverrides(profile_->multi, c.overrides);
    } else {
        c.overrides = ProfileOverrides{};
    }
    const unsigned shown = c.overrides.displayMask;
    const unsigned lit = c.overrides.lampMask;
    const auto builtIn = [](unsigned mask, unsigned bits) { return (mask & bits) != bits; };
    if (builtIn(lit, kLampAp)) c.apMode = XPLMGetDatai(r.apModeRef);
    c.apDisconnect = XPLMGetDatai(r.apDisconnectRef);
    if (builtIn(lit, kLampHdg | kLampNav | kLampIas | kLampAlt | kLampVs | kLampApr)) {
        c.apState = XPLMGetDatai(r.apStateRef);
    }
    if (builtIn(lit, kLampRev)) c.backCourse = XPLMGetDatai(r.backCourseRef);
    if (builtIn(shown, 1u << 0)) c.apAltitude = XPLMGetDataf(r.apAltitudeRef);
    if (builtIn(shown, 1u << 1)) c.apVerticalSpeed = XPLMGetDataf(r.apVerticalSpeedRef);
    if (builtIn(shown, 1u << 2)) {
        c.apAirspeed = XPLMGetDataf(r.apAirspeedRef);
        c.apAirspeedIsMach = XPLMGetDatai(r.apAirspeedIsMachRef);
    }
    if (builtIn(shown, 1u << 3)) c.apHeading = XPLMGetDataf(r.apHeadingRef);
    if (builtIn(shown, 1u << 4)) c.obs = XPLMGetDataf(r.obsRef);
    const int count = XPLMGetDatavi(r.batteryOnRef, c.batteryOn, 0, kBatteryElements);
    c.batteryCount = count < 0 ? 0 : (count > kBatteryElements ? kBatteryElements : count);
    c.apuGeneratorOn = XPLMGetDatai(r.apuGeneratorOnRef);
    c.avionicsOn = XPLMGetDatai(r.avionicsOnRef);
    c.cmdA = XPLMGetDatai(r.cmdARef);
    c.fdA = XPLMGetDatai(r.fdARef);
    c.hdgSel = XPLMGetDatai(r.hdgSelRef);
    c.vorLocArmed = XPLMGetDatai(r.vorLocArmedRef);
    c.vorLoc = XPLMGetDatai(r.vorLocRef);
    c.athrArmed = XPLMGetDatai(r.athrArmedRef);
    c.mcpSpdMode = XPLMGetDatai(r.mcpSpdModeRef);
    c.altHold = XPLMGetDatai(r.altHoldRef);
    c.appToggle = XPLMGetDatai(r.appToggleRef);
    c.vsArm = XPLMGetDatai(r.vsArmRef);
    c.vsEngaged = XPLMGetDatai(r.vsEngagedRef);
    c.mcpAltitude = XPLMGetDataf(r.mcpAltitudeRef);
    c.mcpVerticalSpeed = XPLMGetDataf(r.mcpVerticalSpeedRef);
    c.mcpSpeed = XPLMGetDataf(r.mcpSpeedRef);
    c.mcpSpeedIsMach = XPLMGetDatai(r.mcpSpeedIsMachRef);
    c.mcpHeading = XPLMGetDataf(r.mcpHeadingRef);
    c.mcpOverspeed = XPLMGetDatai(r.mcpOverspeedRef);
}

void Multipanel::bindProfile(profile::Profile *aircraftProfile) {
    if (profile_ != nullptr) releaseProfile(profile_->multi);
    profile_ = aircraftProfile;
}

void Multipanel::update() {
    {
        std::lock_guard<std::mutex> lock(dataLock);
        bindReferences(refs);
        fillCache();
    }
    drainEvents();
}

void Multipanel::handleEvent(const std::uint8_t *bytes, std::uint32_t length, std::uint8_t flag,
                             std::uint32_t tick) {
    if (flag == kEventReadBack) {
        // Logged here, on the simulator thread, where the state takes effect.
        XPLMDebugString("get feature\n");
        flag = kEventLive;
    }
    const RotationClass rotation = classifyRotation(rotary, bytes, length, tick, coalescenceTime());
    bindReferences(refs);

    // Asked afresh at every event: the x737 may come and go at any time.
    const bool x737 = XPLMGetDatai(refs.x737StatusRef) == 1;
    const ModeActions &actions = x737 ? kX737Actions : kDefaultActions;
    ActionContext context{refs, apCycleUp};
    const bool live = flag == kEventLive;
    // The aircraft's profile takes what it binds; the x737 mode stays as it is.
    profile::MultiProfile *bound = profile_ != nullptr && !x737 ? &profile_->multi : nullptr;

    if (length >= 2) {
        const std::uint8_t byte1 = bytes[1];
        const std::uint8_t selector = selectorFromByte(byte1);
        if (selector != 0) selectorPosition.store(selector);
        if (live) {
            // A replayed report restores the selector but never steps.
            for (std::uint8_t direction : {kEncoderDecrease, kEncoderIncrease}) {
                const unsigned steps = rotaryTrigger(rotary, byte1, rotation, direction,
                                                     changeThreshold(), repeatThreshold());
                for (unsigned i = 0; selector != 0 && i < steps; ++i) {
                    const bool up = direction == kEncoderIncrease;
                    if (bound == nullptr || !profileStep(*bound, selector, up)) {
                        actions.step(context, selector, direction);
                    }
                }
            }
            if ((byte1 & kApButton) != 0 && (bound == nullptr || !profileApButton(*bound))) {
                actions.apButton(context);
            }
        }
    }
    if (length >= 3) {
        std::uint8_t byte2 = bytes[2];
        if (bound != nullptr) byte2 = profileButtons(*bound, byte2, live, &context.autothrottleTaken);
        actions.buttons(context, byte2, live);
    }
    if (length >= 4 && live) {
        const std::uint8_t byte3 = bound != nullptr ? profileLevers(*bound, bytes[3]) : bytes[3];
        actions.levers(context, byte3);
    }
}

void Multipanel::sendReport() {
    Report report;
    {
        std::lock_guard<std::mutex> lock(dataLock);
        setRefreshPeriod(refreshPeriodFor(cachedState));
        buildReport(cachedState, selectorPosition.load(), settingByte(kApFlashInFdModeOffset) != 0,
                    flashPhases, report);
    }
    // A refused write is not retried: the next period sends a fresh report.
    if (HidDevice *panel = device()) panel->setFeature(report, kReportSize);
}

}  // namespace drovanel
