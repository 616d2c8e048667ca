#include "backlit_information_panel.h"

#include <cstring>

#include "aircraft_layout.h"
#include "behaviour.h"
#include "bip_config_loader.h"
#include "bip_log.h"
#include "profile/profile_binding.h"
#include "profile_lens.h"
#include "tick.h"

namespace drovanel {

namespace {
constexpr const char *kBrightnessKey = "sim/cockpit/electrical/instrument_brightness";
}  // namespace

BacklitInformationPanel::BacklitInformationPanel(HidDevice *device)
    : AbstractPanel(device, "BacklitInformationPanel", AbstractPanel::noReader, AbstractPanel::standardRefresh, 0,
                    0, 0) {
    initialize();
    // The 32-bit build keeps the base's 500 ms.
    if (!kBehaviour32) setRefreshPeriod(kBipRefreshPeriod);
}

BacklitInformationPanel::~BacklitInformationPanel() {
    // Stop the threads while this object is whole; the base's own call
    // would come too late to free the bindings.
    teardown();
}

void BacklitInformationPanel::releaseDriverResources() {
    clearLenses();
    clearProfileLenses();
}

void BacklitInformationPanel::bindProfile(profile::Profile *aircraftProfile) {
    clearProfileLenses();
    if (aircraftProfile == nullptr) return;
    std::lock_guard<std::mutex> lock(dataLock);
    for (int i = 0; i < kLensCount; ++i) {
        const profile::LensBinding &binding = aircraftProfile->bip.lenses[i];
        if (binding.condition.bound) profileLenses[i] = new ProfileLens(binding);
    }
}

void BacklitInformationPanel::clearProfileLenses() {
    std::lock_guard<std::mutex> lock(dataLock);
    for (int i = 0; i < kLensCount; ++i) {
        delete profileLenses[i];
        profileLenses[i] = nullptr;
        profileActive[i] = false;
    }
}

void BacklitInformationPanel::update() {
    std::lock_guard<std::mutex> lock(dataLock);
    for (int i = 0; i < kLensCount; ++i) {
        ProfileLens *lens = static_cast<ProfileLens *>(profileLenses[i]);
        profileActive[i] = lens != nullptr && lens->usable();
        // A layout lens the profile covers is not shown: not evaluated either.
        BipAssignement *shown = profileActive[i] ? lens : lenses[i];
        if (shown != nullptr) shown->evaluate();
    }
    sampleHostLocked();
}

void BacklitInformationPanel::initialize() {
    std::string aircraftLayout = userAircraftLayout();
    LayoutDocument aircraftDocument;
    bool useAircraft = readAircraftLayout(aircraftLayout, &aircraftDocument);
    LayoutSource wanted = useAircraft ? LayoutSource::Aircraft : LayoutSource::Configured;
    // Another aircraft's layout, or back to the configured one: nothing of
    // the previous layout is kept.
    if (wanted != boundSource || (useAircraft && aircraftLayout != boundAircraftLayout)) clearLenses();
    boundSource = wanted;
    boundAircraftLayout = useAircraft ? aircraftLayout : std::string();

    bool lensZeroUnbound;
    {
        std::lock_guard<std::mutex> lock(dataLock);
        lensZeroUnbound = lenses[0] == nullptr;
    }
    // A layout that binds lens 0 is kept across aircraft loads; one that
    // leaves it unbound is read again.
    if (lensZeroUnbound) {
        if (useAircraft) {
            bipLog("Drovanel : BIP layout of the aircraft >%s<\n", aircraftLayout.c_str());
            loadBipLayout(aircraftDocument, [this](int lens, BipAssignement *binding) { storeLens(lens, binding); });
        } else {
            loadConfiguration(configurationFile().c_str());
        }
    }
    brightnessRef = XPLMFindDataRef(kBrightnessKey);
    std::lock_guard<std::mutex> lock(dataLock);
    sampleHostLocked();
}

bool BacklitInformationPanel::readAircraftLayout(const std::string &path, LayoutDocument *document) {
    if (path.empty()) {
        faultReported.clear();
        return false;
    }
    readLayoutDocument(path.c_str(), document);
    if (document->status == LayoutFileStatus::Ok || layoutFileMissing(*document)) {
        faultReported.clear();
        return document->status == LayoutFileStatus::Ok;
    }
    if (faultReported != path) {
        bipLog("Drovanel : BIP layout of the aircraft >%s< not used, it %s\n", path.c_str(),
               layoutFileProblem(*document).c_str());
        faultReported = path;
    }
    return false;
}

void BacklitInformationPanel::sendReport() {
    LensColour colours[kLensCount];
    float brightness;
    {
        std::lock_guard<std::mutex> lock(dataLock);
        std::uint32_t now = currentTick();
        for (int i = 0; i < kLensCount; ++i) {
            BipAssignement *binding = shownBinding(i);
            if (binding == nullptr) {
                colours[i] = kLensOff;
                continue;
            }
            bool lit = binding->stepFlash(now);
            colours[i] = lit && poweredSample[i] ? binding->shown : kLensOff;
        }
        brightness = brightnessSample;
    }
    std::uint8_t brightnessReport[kBrightnessReportSize];
    std::uint8_t lampReport[kLampReportSize];
    encodeBrightnessReport(brightness, brightnessReport);
    encodeLampReport(colours, lampReport);
    // Both reports go out every period; a refused write is tried again with
    // the next one.
    HidDevice *hid = device();
    if (hid == nullptr) return;
    hid->setFeature(brightnessReport, static_cast<int>(kBrightnessReportSize));
    hid->setFeature(lampReport, static_cast<int>(kLampReportSize));
}

void BacklitInformationPanel::setConfigurationFile(const char *path) {
    if (path == nullptr) path = "";
    std::size_t length = std::strlen(path);
    if (length > kMaxConfigNameLength) {
        std::string kept = configurationFile();
        bipLog("Drovanel : BIP configuration file path is %zu characters long, at most %zu can be stored; "
               "keeping >%s<\n",
               length, kMaxConfigNameLength, kept.c_str());
        return;
    }
    clearLenses();
    boundSource = LayoutSource::None;
    setSettingByte(kConfigNameLengthHighOffset, static_cast<std::uint8_t>(length / kConfigNameLengthFactor));
    setSettingByte(kConfigNameLengthLowOffset, static_cast<std::uint8_t>(length % 256));
    for (std::size_t i = 0; i < length; ++i) {
        setSettingByte(kConfigNameOffset + i, static_cast<std::uint8_t>(path[i]));
    }
    initialize();
}

std::string BacklitInformationPanel::configurationFile() const {
    std::size_t length = settingByte(kConfigNameLengthHighOffset) * kConfigNameLengthFactor +
                         settingByte(kConfigNameLengthLowOffset);
    // A damaged settings file may claim more than the block holds: then no
    // file is chosen.
    if (length > kSettingsSize - kConfigNameOffset) return std::string();
    std::string path(length, '\0');
    for (std::size_t i = 0; i < length; ++i) path[i] = static_cast<char>(settingByte(kConfigNameOffset + i));
    return path;
}

LensColour BacklitInformationPanel::shownColour(int lens) {
    if (lens < 0 || lens >= kLensCount) return kLensOff;
    std::lock_guard<std::mutex> lock(dataLock);
    BipAssignement *binding = shownBinding(lens);
    return binding != nullptr ? binding->shown : kLensOff;
}

bool BacklitInformationPanel::lensBound(int lens) {
    if (lens < 0 || lens >= kLensCount) return false;
    std::lock_guard<std::mutex> lock(dataLock);
    return shownBinding(lens) != nullptr;
}

void BacklitInformationPanel::loadConfiguration(const char *path) {
    loadBipConfiguration(path, [this](int lens, BipAssignement *binding) { storeLens(lens, binding); });
}

void BacklitInformationPanel::storeLens(int lens, BipAssignement *binding) {
    BipAssignement *previous;
    {
        std::lock_guard<std::mutex> lock(dataLock);
        previous = lenses[lens];
        lenses[lens] = binding;
        poweredSample[lens] = false;
    }
    // No longer reachable by the refresh thread.
    delete previous;
}

void BacklitInformationPanel::clearLenses() {
    std::lock_guard<std::mutex> lock(dataLock);
    for (BipAssignement *&binding : lenses) {
        delete binding;
        binding = nullptr;
    }
    for (bool &powered : poweredSample) powered = false;
}

void BacklitInformationPanel::sampleHostLocked() {
    brightnessSample = XPLMGetDataf(brightnessRef);
    // Power matters only to a lens that shows a colour.
    for (int i = 0; i < kLensCount; ++i) {
        BipAssignement *binding = shownBinding(i);
        poweredSample[i] = binding != nullptr && binding->shown != kLensOff && binding->isPowered();
    }
}

}  // namespace drovanel
