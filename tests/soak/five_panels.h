// The whole plug-in core against the host simulator with every panel kind
// attached: Multi Panel, Switch Panel, two Radio Panels and a BIP bound to
// the sample lens layout. Shared by the soak, fault and allocation tests and
// by the benchmarks.
#ifndef DROVANEL_TESTS_SOAK_FIVE_PANELS_H
#define DROVANEL_TESTS_SOAK_FIVE_PANELS_H

#include <cstdint>
#include <string>
#include <vector>

#include "bip/backlit_information_panel.h"
#include "panel_registry.h"

namespace drovanel {
namespace soak {

// Device numbers in attach order (which is also the registry's order).
constexpr int kMultiDevice = 0;
constexpr int kSwitchDevice = 1;
constexpr int kRadio1Device = 2;
constexpr int kRadio2Device = 3;
constexpr int kBipDevice = 4;
constexpr int kDeviceCount = 5;

// The settings file names, in device order.
extern const char *const kSettingsFiles[kDeviceCount];

// packaging/bip-sample.xml of the source tree.
std::string sampleBipLayout();

// Resets the host, attaches the five panels, starts and enables the
// plug-in and binds the BIP to the sample layout. The Multi Panel's
// start-up pause is cut to startupWaitMs so that reloads stay cheap.
// Returns the number of bound lenses.
int startFivePanels(unsigned startupWaitMs = 0);
// Disables and stops the plug-in.
void stopPlugin();

BacklitInformationPanel *bipPanel();

// One flight loop, as the host calls it.
void flightLoop();
// The host's aircraft-loaded message, and the x737 arriving (publishes its
// datarefs, announces itself) or leaving.
void aircraftLoaded();
void x737Arrives();
void x737Leaves();

// A profile that binds every control, display and lamp of all five panels
// to the Zibo 737's names (its own datarefs and commands).
std::string fullProfileText();
// Loads the Zibo 737 with that profile as its own Drovanel.Profile.xml and
// announces the load; returns whether the plug-in logged it bound.
bool loadFullyProfiledAircraft();
// Loads the host's default aircraft (no profile) and announces it.
void loadPlainAircraft();

// Whether the panel on an input device (Multi, Switch, Radio) is alive:
// queues a report that makes its driver write a known dataref, then runs
// flight loops until the write shows or timeoutMs pass.
bool panelResponds(int device, int timeoutMs = 2000);

// Lengths of the five settings files; -1 for a missing one.
std::vector<long> settingsFileSizes();

// Entries of a folder such as /proc/self/fd.
int countEntries(const char *folder);
// Threads of this process. A joined thread can stay listed for a moment after
// pthread_join returns: this waits, briefly, for the count to come down to
// at most `most`, and returns it.
int settledTasks(int most);

}  // namespace soak
}  // namespace drovanel

#endif
