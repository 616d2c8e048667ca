#include "switchpanel.h"

#include <algorithm>
#include <cstdio>

#include "behaviour.h"
#include "host_names.h"
#include "profile/profile_binding.h"

namespace drovanel {

using namespace switchpanel;

namespace {
// The Switch Panel reads no rotary encoder: no coalescence, repeat or change.
constexpr unsigned kUnusedRotarySetting = 0;
}  // namespace

Switchpanel::Switchpanel(HidDevice *device)
    : AbstractPanel(device, "Switchpanel", AbstractPanel::standardReader,
                    AbstractPanel::standardRefresh, kUnusedRotarySetting, kUnusedRotarySetting,
                    kUnusedRotarySetting) {
    initialize();
}

void Switchpanel::initialize() {
    const auto reset = [this] {
        std::fill(std::begin(commands_), std::end(commands_), nullptr);
        std::fill(std::begin(datarefs_), std::end(datarefs_), nullptr);
        std::fill(std::begin(deIce_), std::end(deIce_), nullptr);
        engineCount_ = 0;
    };
    if constexpr (kBehaviour32) {
        reset();
        return;
    }
    XPLMDebugString("init start\n");
    {
        // dataLock before eventLock, the order every panel keeps.
        std::lock_guard<std::mutex> data(dataLock);
        std::lock_guard<std::mutex> events(eventLock);
        reset();
    }
    XPLMDebugString("init done\n");
}

void Switchpanel::releaseDriverResources() { held_.endAll(); }

void Switchpanel::bind() {
    // Handles the host does not publish stay null and are looked up again here.
    for (int i = 0; i < kCommandCount; ++i) {
        if (commands_[i] == nullptr) commands_[i] = findCommand(kCommandPaths[i], commandFallback(i));
    }
    for (int i = 0; i < kDatarefCount; ++i) {
        if (i != kIceAllOn && datarefs_[i] == nullptr) datarefs_[i] = findDataRef(kDatarefPaths[i]);
    }
    if (std::all_of(std::begin(deIce_), std::end(deIce_), [](XPLMDataRef h) { return h == nullptr; })) {
        findDataRefs(kDatarefPaths[kIceAllOn], kDeIceSwitchPaths, kDeIceSwitchCount, deIce_);
    }
    const int engines = std::max(0, std::min(XPLMGetDatai(datarefs_[kNumEngines]), kMaxEngines));
    if (engines != engineCount_ && engines >= 1) resolveEngineCommands(engines);
    engineCount_ = engines;
}

void Switchpanel::resolveEngineCommands(int engines) {
    char path[kEnginePathSize];
    for (int c = 0; c < kEngineCommandCount; ++c) {
        for (int e = 0; e < engines; ++e) {
            std::snprintf(path, sizeof path, kEngineCommandFormats[c], e + 1);
            engineCommands_[c][e] = XPLMFindCommand(path);
        }
    }
}

void Switchpanel::update() {
    {
        std::lock_guard<std::mutex> data(dataLock);
        bind();
        // Counts are kept within the buffers whatever the host answers.
        const auto read = [](int count, int capacity) {
            return std::max(0, std::min(count, capacity));
        };
        cache_.profileMask = 0;
        cache_.profileBits = 0;
        for (int i = 0; profile_ != nullptr && i < profile::kGearLampCount; ++i) {
            const profile::Condition &lamp = profile_->switches.gearLamps[i];
            if (!profile::usable(lamp)) continue;
            cache_.profileMask = static_cast<std::uint8_t>(cache_.profileMask | (1u << i));
            if (profile::holds(lamp)) cache_.profileBits = static_cast<std::uint8_t>(cache_.profileBits | (1u << i));
        }
        // With every lamp the profile's, the simulator's gear is not read.
        if (cache_.profileMask != kAllGearLamps) {
            cache_.deployCount = read(
                XPLMGetDatavf(datarefs_[kGearDeploy], cache_.deploy, 0, kMaxGearEntries),
                kMaxGearEntries);
            cache_.gearTypeCount = read(
                XPLMGetDatavi(datarefs_[kGearType], cache_.gearTypes, 0, kMaxGearEntries),
                kMaxGearEntries);
            cache_.batteryCount = read(
                XPLMGetDatavi(datarefs_[kBatteryArrayOn], cache_.batteries, 0, kMaxBatteries),
                kMaxBatteries);
            cache_.apuGenerator = XPLMGetDatai(datarefs_[kGeneratorApuOn]);
        }
    }
    drainEvents();
}

void Switchpanel::sendReport() {
    // Refresh thread: the cache only, never the host.
    std::uint8_t lamps;
    {
        std::lock_guard<std::mutex> data(dataLock);
        lamps = gearLampByte(cache_);
    }
    std::uint8_t report[kLampReportSize];
    encodeLampReport(lamps, report);
    HidDevice *panel = device();
    const bool sent = panel != nullptr && panel->setFeature(report, static_cast<int>(sizeof report));
    std::fputs(sent ? "feature set\n" : "feature not set\n", stdout);
    std::fflush(stdout);
}

}  // namespace drovanel
