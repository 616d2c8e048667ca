// A drovanel-sim scenario: a text file of steps, one a line, that a person
// or a test writes to play the virtual cockpit. The whole file is parsed and
// checked before anything runs, so a typo never leaves a half-played session.
#ifndef DROVANEL_HOSTSIM_SIM_SCENARIO_H
#define DROVANEL_HOSTSIM_SIM_SCENARIO_H

#include <map>
#include <string>
#include <vector>

namespace hostsim {
namespace sim {

enum class Action {
    Enable,
    Disable,
    Attach,   // word: multi, switch, radio, bip; device: the name it gets
    Detach,   // device
    Plug,     // device: an unplugged one plugged back in
    MultiSelector,       // device, code: multipanel::Selector
    MultiTurn,           // device, up, count, fast
    MultiPress,          // device, word: ap hdg nav ias alt vs apr rev
    MultiAutothrottle,   // device, on
    MultiFlaps,          // device, up
    MultiTrim,           // device, up, count
    RadioSelect,         // device, upper (row), code: radiopanel::Selector
    RadioTurn,           // device, code: radiopanel control bit, count, fast
    RadioSwap,           // device, upper (row)
    SwitchSet,           // device, word: switch name, on
    SwitchMagneto,       // device, code: switchpanel::Magneto
    SwitchGear,          // device, on (true = lever down)
    Simulator,           // code: the SimulatorVersion the host models from here on
    SetDataref,          // path, index, value
    Publish,             // path
    Unpublish,           // path
    X737Arrive,          // code: plug-in status
    X737Leave,
    LoadAircraft,        // word: a folder the simulator makes, or path: an existing one; text: its layout file
    Message,             // text: sender, code: message number
    Menu,                // path: menu ("drovanel" unless given), text: item
    Type,                // path: section ("" any), word: caption, text
    Tick,                // path: section ("" any), word: caption
    Press,               // word: button caption
    Loops,               // count
    Wait,                // count: milliseconds
    Note,                // text
    Expect,              // check, and the fields it names
};

enum class Check {
    MultiTop,       // device, text (compared without outer blanks)
    MultiBottom,    // device, text
    MultiLamps,     // device, text: the lit lamps, space separated
    MultiLamp,      // device, word: lamp, on: lit
    MultiPower,     // device, on: powered
    RadioDisplay,   // device, code: 0 upper active, 1 upper standby, 2 lower active, 3 lower standby; text
    GearLamp,       // device, index: lamp 1-3 or 0 for all, code: switchpanel::Lamp
    BipLens,        // device, index: lens, text: "R" "G" "A" "-"
    BipBrightness,  // device, code: percent
    Dataref,        // path, index, value
    Command,        // path: fired at least once so far
    CommandCount,   // path, count: fired exactly so often since the last aircraft load
    Log,            // text: found in the host's log
};

struct Step {
    int line = 0;
    std::string source;  // the line as written, without outer blanks
    Action action = Action::Note;
    Check check = Check::Log;
    std::string device;
    std::string path;
    std::string word;
    std::string text;
    int index = 0;
    int code = 0;
    int count = 1;
    double value = 0.0;
    bool on = false;   // also: up, upper row, lever down
    bool fast = false;
    int withinMs = 0;  // expect: how long to wait for the condition
    std::string acf;   // aircraft: its .acf file's name, when not the folder's
};

struct ParseError {
    int line;
    std::string message;
};

struct Scenario {
    std::vector<Step> steps;
    std::vector<ParseError> errors;  // empty when the file may run
    bool hasEnable = false;          // otherwise the player enables first
};

// How long an expect step waits for its condition unless it says "within".
constexpr int kDefaultWithinMs = 2000;

// The devices attached before the first step, in list order.
const std::vector<std::pair<std::string, std::string>> &initialDevices();  // name, kind

// Parses the whole text. vars are the ${NAME} substitutions.
Scenario parseScenario(const std::string &text, const std::map<std::string, std::string> &vars);

// Splits one line into words: blanks separate, "..." quotes (with \" \\ \n
// \t), # outside quotes starts a comment, ${NAME} is replaced. False and a
// message on a bad line.
bool splitWords(const std::string &line, const std::map<std::string, std::string> &vars,
                std::vector<std::string> *words, std::string *error);

// The step list for --help.
const char *scenarioHelp();

}  // namespace sim
}  // namespace hostsim

#endif
