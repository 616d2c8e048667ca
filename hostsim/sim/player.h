// Plays a parsed scenario against the plug-in loaded in the stand-in host:
// attaches the panels, loads and starts the plug-in as the simulator does,
// runs the flight loop in real time (every 50 ms) while steps wait, and
// draws the cockpit as it goes.
#ifndef DROVANEL_HOSTSIM_SIM_PLAYER_H
#define DROVANEL_HOSTSIM_SIM_PLAYER_H

#include <chrono>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "hostsim/hostsim.h"
#include "hostsim/panels/multipanel.h"
#include "hostsim/panels/radiopanel.h"
#include "hostsim/panels/switchpanel.h"
#include "hostsim/sim/aircraft.h"
#include "hostsim/sim/scenario.h"
#include "hostsim/sim/view.h"

namespace hostsim {
namespace sim {

class StdoutCapture;

struct PlayerOptions {
    std::string pluginFile;
    std::string scenarioName;  // names the file in error messages
    std::FILE *out = stdout;   // where frames go
    bool colour = false;       // redraw in place with colours, else plain frames
    const StdoutCapture *capture = nullptr;
    SimulatorVersion simulator = SimulatorVersion::XPlane12;  // the version modelled at start
};

class Player {
public:
    explicit Player(PlayerOptions options);

    // 0 when every step ran and every expectation held; 1 otherwise, with
    // the step's line and what went wrong on stderr.
    int play(const Scenario &scenario);

    // Panels' gap between two notches of a slow turn: longer than the
    // drivers' default coalescence time (250 ms), so each notch counts once.
    static constexpr int kNotchGapMs = 300;
    static constexpr int kLoopMs = 50;

private:
    struct Device {
        std::string name;
        PanelKind kind;
        int number;
        bool attached = true;
        multipanel::Controls multi;
        switchpanel::Switches switches;
        radiopanel::Selector upper = radiopanel::Selector::Com1;
        radiopanel::Selector lower = radiopanel::Selector::Com1;
    };

    bool run(const Step &step, std::string *failure);
    bool control(const Step &step, Device &device, std::string *failure);
    bool expect(const Step &step, std::string *failure);
    bool holds(const Step &step, std::string *actual);
    bool window(const Step &step, std::string *failure);
    bool loadAircraft(const Step &step, std::string *failure);

    Device &attachPanel(const std::string &name, PanelKind kind);
    Device *device(const std::string &name);
    void send(Device &device, const std::vector<std::uint8_t> &report);
    void settle(const Device &device);

    // One flight loop of the simulator: the plug-in's callback, then the
    // aircraft's answer; paced to 50 ms of real time.
    void tick();
    void pause(int ms);
    void draw(bool force);
    Snapshot snapshot();
    void readLog();

    PlayerOptions options_;
    Plugin plugin_;
    Aircraft aircraft_;
    std::vector<Device> devices_;
    bool enabled_ = false;
    std::string progress_;
    std::string note_;
    std::size_t logSeen_ = 0;
    std::size_t aircraftMark_ = 0;  // the command journal's length at the last aircraft load
    std::string logPartial_;
    std::deque<std::string> logTail_;
    std::chrono::steady_clock::time_point nextTick_;
    std::chrono::steady_clock::time_point lastDraw_;
};

}  // namespace sim
}  // namespace hostsim

#endif
