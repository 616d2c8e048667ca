// The Backlit Information Panel: 24 lenses, each lit red, green or amber by
// the lens binding a configuration file gives it, and one overall lamp
// brightness that follows the simulator's instrument brightness. The panel
// has no input.
#ifndef DROVANEL_PANELS_BIP_BACKLIT_INFORMATION_PANEL_H
#define DROVANEL_PANELS_BIP_BACKLIT_INFORMATION_PANEL_H

#include <cstddef>
#include <string>

#include "XPLMDataAccess.h"
#include "abstract_panel.h"
#include "bip_assignement.h"
#include "bip_report.h"

namespace drovanel {

// The configuration file's path in the settings block: length high byte
// (length / 65280), length low byte, then the characters, no terminator.
constexpr std::size_t kConfigNameLengthHighOffset = kDriverSettingsOffset;      // 64
constexpr std::size_t kConfigNameLengthLowOffset = kDriverSettingsOffset + 1;   // 65
constexpr std::size_t kConfigNameOffset = kDriverSettingsOffset + 2;            // 66
constexpr std::size_t kConfigNameLengthFactor = 65280;
// The length bytes can represent 255 characters at most.
constexpr std::size_t kMaxConfigNameLength = 255;

constexpr std::uint32_t kBipRefreshPeriod = 250;

class BacklitInformationPanel : public AbstractPanel {
public:
    // Loads the configuration file named in the settings block.
    explicit BacklitInformationPanel(HidDevice *device);
    ~BacklitInformationPanel() override;

    // Re-evaluates every bound lens and samples what sendReport needs.
    void update() override;
    // Reads the configuration file again while lens 0 is unbound.
    void initialize() override;
    // Writes the brightness report, then the lamp report.
    void sendReport() override;

    // Chooses a new configuration file (the preferences window's "OK"):
    // drops every binding, stores the path and reads the file. A path the
    // settings block cannot hold is refused and the previous one kept.
    void setConfigurationFile(const char *path);
    // The stored path; empty when no file is chosen.
    std::string configurationFile() const;

    // What lens i would show now, before power and flash (tests, window).
    LensColour shownColour(int lens);
    bool lensBound(int lens);

protected:
    void releaseDriverResources() override;

private:
    void loadConfiguration(const char *path);
    void storeLens(int lens, BipAssignement *binding);
    void clearLenses();
    // Samples brightness and each lens's power state; dataLock held.
    void sampleHostLocked();

    // Guarded by dataLock. The samples are taken on the simulator thread so
    // that the refresh thread never calls the host.
    BipAssignement *lenses[kLensCount] = {};
    bool poweredSample[kLensCount] = {};
    float brightnessSample = 0.0f;

    // Simulator thread only.
    XPLMDataRef brightnessRef = nullptr;
};

}  // namespace drovanel

#endif
