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
#include "bip_layout.h"
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
    // Binds the lenses from the layout file in the loaded aircraft's folder
    // when there is a readable one, else from the configured file. The same
    // layout as before is read again only while lens 0 is unbound; another
    // one replaces every binding.
    void initialize() override;
    // Writes the brightness report, then the lamp report.
    void sendReport() override;
    // Lenses the profile lights take the place of the layout's while their
    // names resolve; the layout's come back when it goes.
    void bindProfile(profile::Profile *aircraftProfile) override;

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
    // Which layout the bindings came from.
    enum class LayoutSource { None, Configured, Aircraft };

    void loadConfiguration(const char *path);
    // Reads the aircraft's layout file; true when it is there and readable.
    // Logs once why a file that is there cannot be used.
    bool readAircraftLayout(const std::string &path, LayoutDocument *document);
    void storeLens(int lens, BipAssignement *binding);
    void clearLenses();
    void clearProfileLenses();
    // The binding lens i shows: the profile's while it is usable. dataLock held.
    BipAssignement *shownBinding(int lens) const {
        return profileActive[lens] ? profileLenses[lens] : lenses[lens];
    }
    // Samples brightness and each lens's power state; dataLock held.
    void sampleHostLocked();

    // Guarded by dataLock. The samples are taken on the simulator thread so
    // that the refresh thread never calls the host.
    BipAssignement *lenses[kLensCount] = {};
    bool poweredSample[kLensCount] = {};
    BipAssignement *profileLenses[kLensCount] = {};
    bool profileActive[kLensCount] = {};
    float brightnessSample = 0.0f;

    // Simulator thread only.
    XPLMDataRef brightnessRef = nullptr;
    LayoutSource boundSource = LayoutSource::None;
    std::string boundAircraftLayout;
    // The aircraft layout whose fault was logged last; logged again only
    // after another file, or this one readable, came between.
    std::string faultReported;
};

}  // namespace drovanel

#endif
