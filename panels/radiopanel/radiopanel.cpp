#include "radiopanel.h"

#include <mutex>

#include "XPLMUtilities.h"
#include "host_command.h"
#include "profile/profile_binding.h"

namespace drovanel {

using namespace radio;

namespace {

constexpr const char *kUnitNames[] = {"Radiopanel1", "Radiopanel2", "Radiopanel3", "Radiopanel4"};
constexpr int kNamedUnits = sizeof(kUnitNames) / sizeof(kUnitNames[0]);
constexpr const char *kUnnamedUnit = "Radiopanel";

constexpr const char *kCheckPassedMessage = "check buttons passed";

// The option byte of unit u is at 64 + 2u in the settings block.
constexpr std::size_t kDmeSettingStride = 2;

struct TargetRefs {
    DatarefIndex active;
    DatarefIndex standby;
};

// The active and standby datarefs of a radio (not the transponder, whose
// standby code the driver keeps itself).
TargetRefs refsOf(RadioTarget target) {
    switch (target) {
        case RadioTarget::Nav1: return {kNav1FreqRef, kNav1StdbyRef};
        case RadioTarget::Nav2: return {kNav2FreqRef, kNav2StdbyRef};
        case RadioTarget::Com1: return {kCom1FreqRef, kCom1StdbyRef};
        case RadioTarget::Com2: return {kCom2FreqRef, kCom2StdbyRef};
        case RadioTarget::Adf1: return {kAdf1FreqRef, kAdf1StdbyRef};
        case RadioTarget::Adf2: return {kAdf2FreqRef, kAdf2StdbyRef};
        case RadioTarget::Dme: return {kDmeFreqRef, kDmeStdbyRef};
        default: return {kDatarefCount, kDatarefCount};
    }
}

}  // namespace

const char *radiopanelName(int unit) {
    if (unit >= 0 && unit < kNamedUnits) return kUnitNames[unit];
    return kUnnamedUnit;
}

Radiopanel::Radiopanel(HidDevice *device, int unit) : Radiopanel(device, unit, radiopanelName(unit)) {}

Radiopanel::Radiopanel(HidDevice *device, int unit, const char *name)
    : AbstractPanel(device, name, AbstractPanel::standardReader, AbstractPanel::standardRefresh,
                    kDefaultCoalescenceTime, kDefaultRepeatThreshold, kDefaultChangeThreshold),
      unit_(unit) {
    initialize();
}

std::size_t Radiopanel::dmeSettingOffset() const {
    if (unit_ < 0) return kSettingsSize;
    const std::size_t offset = kDriverSettingsOffset + kDmeSettingStride * static_cast<std::size_t>(unit_);
    return offset < kSettingsSize ? offset : kSettingsSize;
}

bool Radiopanel::dmeInSecondSegment() const {
    const std::size_t offset = dmeSettingOffset();
    return offset < kSettingsSize && settingByte(offset) == 1;
}

void Radiopanel::toggleDmeInSecondSegment() {
    const std::size_t offset = dmeSettingOffset();
    if (offset >= kSettingsSize) return;
    setSettingByte(offset, dmeInSecondSegment() ? 0 : 1);
}

void Radiopanel::initialize() {
    // Forget the handles so that the next bind finds them in a newly loaded
    // aircraft's set of datarefs.
    for (XPLMDataRef &handle : handles_) handle = nullptr;

    std::uint8_t check[kCheckReportSize] = {};
    check[0] = kCheckReportId;
    if (device() != nullptr && device()->setFeature(check, static_cast<int>(kCheckReportSize))) {
        XPLMDebugString(kCheckPassedMessage);
    }
}

void Radiopanel::bind() {
    for (std::size_t i = 0; i < kDatarefCount; ++i) {
        if (handles_[i] == nullptr) handles_[i] = XPLMFindDataRef(kDatarefPaths[i]);
    }
}

void Radiopanel::update() {
    {
        std::lock_guard<std::mutex> lock(dataLock);
        bind();
        RadioCache &c = cache_;
        c.upperMode = XPLMGetDatai(ref(kUpperModeRef));
        c.nav1Freq = radioValue(RadioTarget::Nav1, false, kNav1FreqRef);
        c.nav1Stdby = radioValue(RadioTarget::Nav1, true, kNav1StdbyRef);
        c.nav1DmeDist = XPLMGetDataf(ref(kNav1DmeDistRef));
        c.nav1DmeSpeed = XPLMGetDataf(ref(kNav1DmeSpeedRef));
        c.nav2Freq = radioValue(RadioTarget::Nav2, false, kNav2FreqRef);
        c.nav2Stdby = radioValue(RadioTarget::Nav2, true, kNav2StdbyRef);
        c.nav2DmeDist = XPLMGetDataf(ref(kNav2DmeDistRef));
        c.nav2DmeSpeed = XPLMGetDataf(ref(kNav2DmeSpeedRef));
        c.com1Freq = radioValue(RadioTarget::Com1, false, kCom1FreqRef);
        c.com1Stdby = radioValue(RadioTarget::Com1, true, kCom1StdbyRef);
        c.com2Freq = radioValue(RadioTarget::Com2, false, kCom2FreqRef);
        c.com2Stdby = radioValue(RadioTarget::Com2, true, kCom2StdbyRef);
        c.adf1Freq = radioValue(RadioTarget::Adf1, false, kAdf1FreqRef);
        c.adf1Stdby = radioValue(RadioTarget::Adf1, true, kAdf1StdbyRef);
        c.adf1DmeDist = XPLMGetDataf(ref(kAdf1DmeDistRef));
        c.adf1DmeSpeed = XPLMGetDataf(ref(kAdf1DmeSpeedRef));
        c.adf2Freq = radioValue(RadioTarget::Adf2, false, kAdf2FreqRef);
        c.adf2Stdby = radioValue(RadioTarget::Adf2, true, kAdf2StdbyRef);
        c.dmeFreq = radioValue(RadioTarget::Dme, false, kDmeFreqRef);
        c.dmeStdby = radioValue(RadioTarget::Dme, true, kDmeStdbyRef);
        c.standaloneDmeDist = XPLMGetDataf(ref(kStandaloneDmeDistRef));
        c.standaloneDmeSpeed = XPLMGetDataf(ref(kStandaloneDmeSpeedRef));
        c.transponderCode = radioValue(RadioTarget::Transponder, false, kTransponderCodeRef);
        const int count = XPLMGetDatavi(ref(kBatteryArrayRef), c.batteries, 0, kMaxBatteries);
        c.batteryCount = count < 0 ? 0 : (count > kMaxBatteries ? kMaxBatteries : count);
        c.apuGenerator = XPLMGetDatai(ref(kApuGeneratorRef));
        c.avionics = XPLMGetDatai(ref(kAvionicsRef));
    }
    drainEvents();
}

void Radiopanel::sendReport() {
    std::uint8_t report[kDisplayReportSize];
    {
        std::lock_guard<std::mutex> lock(dataLock);
        PanelSelection panel;
        panel.upperTransponder = upperTransponder_.load();
        panel.lowerTransponder = lowerTransponder_.load();
        panel.lowerMode = lowerMode_.load();
        panel.standbyTransponderCode = standbyTransponderCode_.load();
        panel.dmeInSecondSegment = dmeInSecondSegment();
        encodeDisplayReport(cache_, panel, report);
    }
    if (device() != nullptr) device()->setFeature(report, static_cast<int>(kDisplayReportSize));
}

void Radiopanel::handleEvent(const std::uint8_t *bytes, std::uint32_t length, std::uint8_t flag,
                             std::uint32_t tick) {
    bind();
    const RotationClass rotation = classifyRotation(filter_, bytes, length, tick, coalescenceTime());

    // The flags are published once, after the whole report is decoded, so
    // the refresh thread never sees them cleared in between.
    const SelectorState selectors = decodeSelectors(bytes, length, lowerMode_.load());
    for (std::size_t i = 0; i < selectors.upperModeWriteCount; ++i) {
        XPLMSetDatai(ref(kUpperModeRef), selectors.upperModeWrites[i]);
    }
    lowerMode_.store(selectors.lowerMode);
    upperTransponder_.store(selectors.upperTransponder);
    lowerTransponder_.store(selectors.lowerTransponder);

    const bool dme = dmeInSecondSegment();
    const RowParameters upper =
        rowParameters(Row::Upper, XPLMGetDatai(ref(kUpperModeRef)), selectors.upperTransponder, dme);
    const RowParameters lower = rowParameters(Row::Lower, selectors.lowerMode, selectors.lowerTransponder, dme);

    // A replayed report only restores the selector positions: buttons and
    // knobs are momentary.
    if (flag != 0) return;

    if (kButtonByte < length) {
        if ((bytes[kButtonByte] & kLowerActStbyBit) != 0) swapActiveStandby(lower);
        if ((bytes[kButtonByte] & kUpperActStbyBit) != 0) swapActiveStandby(upper);
    }
    if (kEncoderByte < length) {
        const std::uint8_t encoders = bytes[kEncoderByte];
        for (const EncoderBit &bit : kEncoderBits) {
            const int steps =
                encoderSteps(filter_, bit.mask, encoders, rotation, changeThreshold(), repeatThreshold());
            if (steps > 0) applySteps(bit.row == Row::Upper ? upper : lower, bit.kind, steps);
        }
    }
}

void Radiopanel::bindProfile(profile::Profile *aircraftProfile) { profile_ = aircraftProfile; }

const profile::RadioBinding *Radiopanel::profileRadio(RadioTarget target) const {
    if (profile_ == nullptr) return nullptr;
    int selector;
    switch (target) {
        case RadioTarget::Nav1: selector = profile::kRadNav1; break;
        case RadioTarget::Nav2: selector = profile::kRadNav2; break;
        case RadioTarget::Com1: selector = profile::kRadCom1; break;
        case RadioTarget::Com2: selector = profile::kRadCom2; break;
        case RadioTarget::Adf1:
        case RadioTarget::Adf2: selector = profile::kRadAdf; break;
        case RadioTarget::Dme: selector = profile::kRadDme; break;
        case RadioTarget::Transponder: selector = profile::kRadXpdr; break;
        default: return nullptr;
    }
    const profile::RadioBinding &binding = profile_->radio.radios[selector];
    return binding.bound ? &binding : nullptr;
}

// A display of a radio the profile binds comes from its dataref, and the
// simulator's is not read.
int Radiopanel::radioValue(RadioTarget target, bool standby, DatarefIndex builtIn) const {
    if (const profile::RadioBinding *binding = profileRadio(target)) {
        const profile::ValueSource &value = standby ? binding->standby : binding->active;
        if (profile::usable(value)) return static_cast<int>(profile::read(value));
    }
    return XPLMGetDatai(ref(builtIn));
}

void Radiopanel::swapActiveStandby(const RowParameters &row) {
    if (row.target == RadioTarget::None) return;
    const profile::RadioBinding *binding = profileRadio(row.target);
    if (binding != nullptr && binding->swap.handle != nullptr) {
        commandOnce(binding->swap.handle);
        return;
    }
    if (row.target == RadioTarget::Transponder) {
        const int code = XPLMGetDatai(ref(kTransponderCodeRef));
        XPLMSetDatai(ref(kTransponderCodeRef), standbyTransponderCode_.load());
        standbyTransponderCode_.store(code);
        return;
    }
    const TargetRefs refs = refsOf(row.target);
    const int standby = XPLMGetDatai(ref(refs.standby));
    const int active = XPLMGetDatai(ref(refs.active));
    XPLMSetDatai(ref(refs.standby), active);
    XPLMSetDatai(ref(refs.active), standby);
}

void Radiopanel::applySteps(const RowParameters &row, StepKind kind, int steps) {
    if (row.target == RadioTarget::None) return;
    if (const profile::RadioBinding *binding = profileRadio(row.target)) {
        const profile::CommandName *commands[] = {&binding->fineDown, &binding->fineUp, &binding->coarseDown,
                                                  &binding->coarseUp};
        const XPLMCommandRef command = commands[static_cast<int>(kind)]->handle;
        if (command != nullptr) {
            for (int i = 0; i < steps; ++i) commandOnce(command);
            return;
        }
    }
    for (int i = 0; i < steps; ++i) {
        if (row.target == RadioTarget::Transponder) {
            standbyTransponderCode_.store(stepValue(standbyTransponderCode_.load(), kind, row));
        } else {
            const XPLMDataRef standby = ref(refsOf(row.target).standby);
            XPLMSetDatai(standby, stepValue(XPLMGetDatai(standby), kind, row));
        }
    }
}

}  // namespace drovanel
