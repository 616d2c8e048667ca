// The scenario parser: words, then one step per line, checked against the
// panels' vocabularies and the host's dataref table.
#include "hostsim/sim/scenario.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "hostsim/hostsim.h"
#include "hostsim/panels/multipanel.h"
#include "hostsim/panels/radiopanel.h"
#include "hostsim/panels/switchpanel.h"

namespace hostsim {
namespace sim {

namespace {

constexpr int kMaxCount = 100000;
constexpr int kMaxWaitMs = 600000;
constexpr int kLensCount = 24;

// Thrown inside the parse of one line; caught and recorded with its number.
struct LineError {
    std::string message;
};

[[noreturn]] void fail(const std::string &message) { throw LineError{message}; }

std::string lower(std::string text) {
    for (char &c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string trim(const std::string &text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    const std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::string joined(const std::vector<std::string> &words) {
    std::string text;
    for (const std::string &w : words) text += (text.empty() ? "" : " ") + w;
    return text;
}

template <typename T>
struct Word {
    const char *name;
    T value;
};

template <typename T, std::size_t N>
T lookup(const Word<T> (&table)[N], const std::string &word, const char *what) {
    const std::string key = lower(word);
    std::string choices;
    for (const Word<T> &entry : table) {
        if (key == entry.name) return entry.value;
        choices += (choices.empty() ? "" : ", ") + std::string(entry.name);
    }
    fail("unknown " + std::string(what) + " '" + word + "' (one of: " + choices + ")");
}

bool parseLong(const std::string &word, long long *value, int base = 10) {
    if (word.empty() || std::isspace(static_cast<unsigned char>(word[0]))) return false;
    errno = 0;
    char *end = nullptr;
    *value = std::strtoll(word.c_str(), &end, base);
    return errno == 0 && *end == '\0';
}

int number(const std::string &word, const char *what, long long low, long long high) {
    long long value = 0;
    if (!parseLong(word, &value) || value < low || value > high) {
        fail(std::string(what) + " must be a whole number from " + std::to_string(low) + " to " +
             std::to_string(high) + ", not '" + word + "'");
    }
    return static_cast<int>(value);
}

double decimal(const std::string &word, const char *what) {
    errno = 0;
    char *end = nullptr;
    const double value = word.empty() ? 0.0 : std::strtod(word.c_str(), &end);
    if (word.empty() || errno != 0 || *end != '\0') fail(std::string(what) + " must be a number, not '" + word + "'");
    return value;
}

bool onOff(const std::string &word) {
    static const Word<bool> kTable[] = {{"on", true}, {"off", false}};
    return lookup(kTable, word, "position");
}

bool upDown(const std::string &word) {
    static const Word<bool> kTable[] = {{"up", true}, {"down", false}};
    return lookup(kTable, word, "direction");
}

bool row(const std::string &word) {
    static const Word<bool> kTable[] = {{"upper", true}, {"lower", false}};
    return lookup(kTable, word, "row");
}

// "path" or "path[index]", a dataref the host knows.
void datarefTarget(const std::string &word, Step *step) {
    std::string path = word;
    step->index = 0;
    if (!path.empty() && path.back() == ']') {
        const std::size_t open = path.rfind('[');
        if (open == std::string::npos) fail("dataref '" + word + "' has ']' without '['");
        step->index = number(path.substr(open + 1, path.size() - open - 2), "a dataref index", 0, 1023);
        path.erase(open);
    }
    if (!isKnown(path)) fail("unknown dataref '" + path + "'");
    step->path = path;
}

void wantCount(const std::vector<std::string> &w, std::size_t low, std::size_t high, const char *usage) {
    if (w.size() < low || w.size() > high) fail(std::string("expected: ") + usage);
}

// Trailing "[N] [fast]" of a knob turn.
void notches(const std::vector<std::string> &w, std::size_t from, Step *step, const char *usage) {
    for (std::size_t i = from; i < w.size(); ++i) {
        if (lower(w[i]) == "fast" && i + 1 == w.size()) {
            step->fast = true;
        } else if (i == from) {
            step->count = number(w[i], "the number of notches", 1, 1000);
        } else {
            fail(std::string("expected: ") + usage);
        }
    }
}

class Parser {
public:
    explicit Parser(Scenario *scenario) : scenario_(scenario) {
        for (const auto &device : initialDevices()) {
            kinds_[device.first] = device.second;
            ++perKind_[device.second];
        }
    }

    void line(const std::vector<std::string> &w, Step *step);

private:
    void attach(const std::vector<std::string> &w, Step *step);
    void multi(const std::vector<std::string> &w, Step *step);
    void radio(const std::vector<std::string> &w, Step *step);
    void switches(const std::vector<std::string> &w, Step *step);
    void aircraft(const std::vector<std::string> &w, Step *step);
    void aircraftFolder(const std::vector<std::string> &w, Step *step, const char *usage);
    void expect(std::vector<std::string> w, Step *step);
    void expectDevice(const std::vector<std::string> &w, Step *step);
    const std::string *kindOf(const std::string &name) const {
        auto it = kinds_.find(name);
        return it == kinds_.end() ? nullptr : &it->second;
    }

    Scenario *scenario_;
    std::map<std::string, std::string> kinds_;  // device name -> kind
    std::map<std::string, int> perKind_;
};

void Parser::line(const std::vector<std::string> &w, Step *step) {
    const std::string command = lower(w[0]);
    step->device = w[0];
    if (const std::string *kind = kindOf(w[0])) {
        if (w.size() < 2) fail("what should " + w[0] + " do?");
        if (*kind == "multi") return multi(w, step);
        if (*kind == "radio") return radio(w, step);
        if (*kind == "switch") return switches(w, step);
        fail("the BIP has no controls; use 'expect " + w[0] + " ...'");
    }
    step->device.clear();
    if (command == "enable" || command == "disable") {
        wantCount(w, 1, 1, command.c_str());
        step->action = command == "enable" ? Action::Enable : Action::Disable;
        scenario_->hasEnable = scenario_->hasEnable || step->action == Action::Enable;
    } else if (command == "attach") {
        attach(w, step);
    } else if (command == "detach") {
        wantCount(w, 2, 2, "detach DEVICE");
        if (kindOf(w[1]) == nullptr) fail("no device named '" + w[1] + "'");
        step->action = Action::Detach;
        step->device = w[1];
    } else if (command == "plug") {
        wantCount(w, 2, 2, "plug DEVICE");
        if (kindOf(w[1]) == nullptr) fail("no device named '" + w[1] + "'");
        step->action = Action::Plug;
        step->device = w[1];
    } else if (command == "set") {
        wantCount(w, 3, 3, "set DATAREF[INDEX] VALUE");
        step->action = Action::SetDataref;
        datarefTarget(w[1], step);
        step->value = decimal(w[2], "the value");
    } else if (command == "simulator") {
        wantCount(w, 2, 2, "simulator 11.40|12");
        SimulatorVersion version;
        if (!parseSimulatorVersion(w[1], &version)) fail("expected: simulator 11.40|12, not '" + w[1] + "'");
        step->action = Action::Simulator;
        step->code = static_cast<int>(version);
    } else if (command == "publish" || command == "unpublish") {
        wantCount(w, 2, 2, "publish|unpublish DATAREF");
        step->action = command == "publish" ? Action::Publish : Action::Unpublish;
        datarefTarget(w[1], step);
    } else if (command == "x737") {
        wantCount(w, 2, 3, "x737 arrive [STATUS] | x737 leave");
        if (lower(w[1]) == "arrive") {
            step->action = Action::X737Arrive;
            step->code = w.size() == 3 ? number(w[2], "the x737 status", -1000000, 1000000) : 1;
        } else if (lower(w[1]) == "leave" && w.size() == 2) {
            step->action = Action::X737Leave;
        } else {
            fail("expected: x737 arrive [STATUS] | x737 leave");
        }
    } else if (command == "aircraft") {
        aircraft(w, step);
    } else if (command == "message") {
        wantCount(w, 3, 3, "message SENDER NUMBER");
        long long value = 0;
        if (!parseLong(w[2], &value, 0) || value < -2147483648LL || value > 0xFFFFFFFFLL) {
            fail("the message number must be a 32-bit number (decimal or 0x...), not '" + w[2] + "'");
        }
        step->action = Action::Message;
        step->text = w[1];
        step->code = static_cast<int>(static_cast<unsigned>(value & 0xFFFFFFFFLL));
    } else if (command == "menu") {
        wantCount(w, 2, 3, "menu [MENU] ITEM");
        step->action = Action::Menu;
        step->path = w.size() == 3 ? w[1] : "drovanel";
        step->text = w.back();
    } else if (command == "type") {
        wantCount(w, 3, 4, "type [SECTION] FIELD TEXT");
        step->action = Action::Type;
        step->path = w.size() == 4 ? w[1] : "";
        step->word = w[w.size() - 2];
        step->text = w.back();
    } else if (command == "tick") {
        wantCount(w, 2, 3, "tick [SECTION] CHECKBOX");
        step->action = Action::Tick;
        step->path = w.size() == 3 ? w[1] : "";
        step->word = w.back();
    } else if (command == "press") {
        wantCount(w, 2, 2, "press BUTTON");
        step->action = Action::Press;
        step->word = w[1];
    } else if (command == "loops") {
        wantCount(w, 2, 2, "loops N");
        step->action = Action::Loops;
        step->count = number(w[1], "the number of flight loops", 1, kMaxCount);
    } else if (command == "wait") {
        wantCount(w, 2, 2, "wait MILLISECONDS");
        step->action = Action::Wait;
        step->count = number(w[1], "the wait", 0, kMaxWaitMs);
    } else if (command == "note") {
        wantCount(w, 2, 1000, "note TEXT");
        step->action = Action::Note;
        step->text = joined(std::vector<std::string>(w.begin() + 1, w.end()));
    } else if (command == "expect") {
        expect(w, step);
    } else {
        fail("unknown step '" + w[0] + "'");
    }
}

void Parser::attach(const std::vector<std::string> &w, Step *step) {
    wantCount(w, 2, 2, "attach multi|switch|radio|bip");
    static const Word<const char *> kKinds[] = {
        {"multi", "multi"}, {"switch", "switch"}, {"radio", "radio"}, {"bip", "bip"}};
    const std::string kind = lookup(kKinds, w[1], "panel kind");
    const int n = ++perKind_[kind];
    // Radio Panels are always numbered; the first of any other kind is not.
    step->device = kind == "radio" || n > 1 ? kind + std::to_string(n) : kind;
    step->action = Action::Attach;
    step->word = kind;
    kinds_[step->device] = kind;
}

void Parser::multi(const std::vector<std::string> &w, Step *step) {
    using multipanel::Selector;
    static const Word<Selector> kSelectors[] = {{"alt", Selector::Alt}, {"vs", Selector::Vs},
                                                {"ias", Selector::Ias}, {"hdg", Selector::Hdg},
                                                {"crs", Selector::Crs}};
    static const Word<int> kButtons[] = {{"ap", 0},  {"hdg", 1}, {"nav", 2}, {"ias", 3},
                                         {"alt", 4}, {"vs", 5},  {"apr", 6}, {"rev", 7}};
    const std::string control = lower(w[1]);
    if (control == "selector") {
        wantCount(w, 3, 3, "multi selector alt|vs|ias|hdg|crs");
        step->action = Action::MultiSelector;
        step->code = static_cast<int>(lookup(kSelectors, w[2], "selector position"));
    } else if (control == "turn") {
        wantCount(w, 3, 5, "multi turn up|down [N] [fast]");
        step->action = Action::MultiTurn;
        step->on = upDown(w[2]);
        notches(w, 3, step, "multi turn up|down [N] [fast]");
    } else if (control == "press") {
        wantCount(w, 3, 3, "multi press ap|hdg|nav|ias|alt|vs|apr|rev");
        step->action = Action::MultiPress;
        step->code = lookup(kButtons, w[2], "button");
        step->word = lower(w[2]);
    } else if (control == "autothrottle") {
        wantCount(w, 3, 3, "multi autothrottle on|off");
        step->action = Action::MultiAutothrottle;
        step->on = onOff(w[2]);
    } else if (control == "flaps") {
        wantCount(w, 3, 3, "multi flaps up|down");
        step->action = Action::MultiFlaps;
        step->on = upDown(w[2]);
    } else if (control == "trim") {
        wantCount(w, 3, 4, "multi trim up|down [N]");
        step->action = Action::MultiTrim;
        step->on = upDown(w[2]);
        if (w.size() == 4) step->count = number(w[3], "the number of trim clicks", 1, 1000);
    } else {
        fail("unknown Multi Panel control '" + w[1] + "' (selector, turn, press, autothrottle, flaps, trim)");
    }
}

void Parser::radio(const std::vector<std::string> &w, Step *step) {
    using radiopanel::Selector;
    static const Word<Selector> kPositions[] = {{"nav1", Selector::Nav1}, {"nav2", Selector::Nav2},
                                                {"com1", Selector::Com1}, {"com2", Selector::Com2},
                                                {"adf", Selector::Adf},   {"dme", Selector::Dme},
                                                {"xpdr", Selector::Xpdr}};
    const std::string control = lower(w[1]);
    const char *turnUsage = "RADIO turn upper|lower fine|coarse up|down [N] [fast]";
    if (control == "upper" || control == "lower") {
        wantCount(w, 3, 3, "RADIO upper|lower nav1|nav2|com1|com2|adf|dme|xpdr");
        step->action = Action::RadioSelect;
        step->on = control == "upper";
        step->code = static_cast<int>(lookup(kPositions, w[2], "selector position"));
    } else if (control == "turn") {
        wantCount(w, 5, 7, turnUsage);
        step->action = Action::RadioTurn;
        const bool upper = row(w[2]);
        static const Word<bool> kKnobs[] = {{"fine", true}, {"coarse", false}};
        const bool fine = lookup(kKnobs, w[3], "knob");
        const bool up = upDown(w[4]);
        using namespace radiopanel;
        unsigned bit = 0;
        if (upper) {
            bit = fine ? (up ? kUpperFineUp : kUpperFineDown) : (up ? kUpperCoarseUp : kUpperCoarseDown);
        } else {
            bit = fine ? (up ? kLowerFineUp : kLowerFineDown) : (up ? kLowerCoarseUp : kLowerCoarseDown);
        }
        step->code = static_cast<int>(bit);
        notches(w, 5, step, turnUsage);
    } else if (control == "swap") {
        wantCount(w, 3, 3, "RADIO swap upper|lower");
        step->action = Action::RadioSwap;
        step->on = row(w[2]);
    } else {
        fail("unknown Radio Panel control '" + w[1] + "' (upper, lower, turn, swap)");
    }
}

void Parser::switches(const std::vector<std::string> &w, Step *step) {
    using switchpanel::Magneto;
    static const Word<Magneto> kMagneto[] = {{"off", Magneto::Off},   {"right", Magneto::Right},
                                             {"left", Magneto::Left}, {"both", Magneto::Both},
                                             {"start", Magneto::Start}};
    static const Word<int> kSwitches[] = {
        {"battery", 0}, {"generator", 1}, {"avionics", 2}, {"fuelpump", 3}, {"deice", 4},
        {"pitot", 5},   {"cowlflaps", 6}, {"panellights", 7}, {"beacon", 8}, {"nav", 9},
        {"strobe", 10}, {"taxi", 11},     {"landing", 12}};
    const std::string control = lower(w[1]);
    wantCount(w, 3, 3, "SWITCH NAME on|off | SWITCH magneto off|right|left|both|start | SWITCH gear up|down");
    if (control == "magneto") {
        step->action = Action::SwitchMagneto;
        step->code = static_cast<int>(lookup(kMagneto, w[2], "magneto position"));
    } else if (control == "gear") {
        step->action = Action::SwitchGear;
        step->on = !upDown(w[2]);
    } else {
        step->action = Action::SwitchSet;
        step->code = lookup(kSwitches, w[1], "switch");
        step->word = control;
        step->on = onOff(w[2]);
    }
}

// "aircraft NAME [layout FILE]": a folder the simulator makes under its
// Aircraft folder, with FILE copied in as the aircraft's own BIP layout;
// "aircraft FOLDER" (a path): an aircraft folder as it is.
void Parser::aircraft(const std::vector<std::string> &w, Step *step) {
    const char *usage = "aircraft NAME [layout FILE] [acf FILE] | aircraft FOLDER";
    // "acf FILE" may come anywhere after the name; the rest is read as before.
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < w.size(); ++i) {
        if (i >= 2 && i + 1 < w.size() && lower(w[i]) == "acf" && step->acf.empty()) {
            step->acf = w[++i];
            if (step->acf.find_first_of("/\\") != std::string::npos) fail("the acf FILE is a name, not a path");
            continue;
        }
        rest.push_back(w[i]);
    }
    aircraftFolder(rest, step, usage);
}

void Parser::aircraftFolder(const std::vector<std::string> &w, Step *step, const char *usage) {
    if (w.size() != 2 && !(w.size() == 4 && lower(w[2]) == "layout")) fail(std::string("expected: ") + usage);
    step->action = Action::LoadAircraft;
    if (w[1].empty() || w[1] == "." || w[1] == "..") fail("an aircraft needs a name or a folder");
    if (w[1].find_first_of("/\\") == std::string::npos) {
        step->word = w[1];
    } else if (w.size() == 4) {
        fail("a layout is copied only into a folder the simulator makes: give a NAME, not a folder");
    } else {
        step->path = w[1];
    }
    if (w.size() == 4) step->text = w[3];
}

void Parser::expect(std::vector<std::string> w, Step *step) {
    step->action = Action::Expect;
    step->withinMs = kDefaultWithinMs;
    if (w.size() >= 3 && lower(w[w.size() - 2]) == "within") {
        step->withinMs = number(w.back(), "the time after 'within'", 0, kMaxWaitMs);
        w.resize(w.size() - 2);
    }
    if (w.size() < 2) fail("expect what?");
    const std::string what = lower(w[1]);
    if (kindOf(w[1]) != nullptr) return expectDevice(w, step);
    if (what == "dataref") {
        wantCount(w, 4, 4, "expect dataref DATAREF[INDEX] VALUE");
        step->check = Check::Dataref;
        datarefTarget(w[2], step);
        step->value = decimal(w[3], "the value");
    } else if (what == "command") {
        wantCount(w, 3, 4, "expect command PATH [TIMES]");
        step->check = w.size() == 4 ? Check::CommandCount : Check::Command;
        step->path = w[2];
        if (w.size() == 4) step->count = number(w[3], "the times", 0, 1000000);
    } else if (what == "log") {
        wantCount(w, 3, 3, "expect log TEXT");
        step->check = Check::Log;
        step->text = w[2];
    } else {
        fail("cannot expect '" + w[1] + "' (a device name, dataref, command or log)");
    }
}

void Parser::expectDevice(const std::vector<std::string> &w, Step *step) {
    step->device = w[1];
    const std::string &kind = *kindOf(w[1]);
    const std::string property = w.size() > 2 ? lower(w[2]) : "";
    if (kind == "multi") {
        if (property == "top" || property == "bottom") {
            wantCount(w, 4, 4, "expect MULTI top|bottom TEXT");
            step->check = property == "top" ? Check::MultiTop : Check::MultiBottom;
            step->text = trim(w[3]);
        } else if (property == "lamps") {
            step->check = Check::MultiLamps;
            for (std::size_t i = 3; i < w.size(); ++i) step->text += (i > 3 ? " " : "") + w[i];
        } else if (property == "lamp") {
            wantCount(w, 5, 5, "expect MULTI lamp NAME lit|dark");
            static const Word<const char *> kLamps[] = {{"ap", "AP"},   {"hdg", "HDG"}, {"nav", "NAV"},
                                                        {"ias", "IAS"}, {"alt", "ALT"}, {"vs", "VS"},
                                                        {"apr", "APR"}, {"rev", "REV"}};
            static const Word<bool> kStates[] = {{"lit", true}, {"dark", false}};
            step->check = Check::MultiLamp;
            step->word = lookup(kLamps, w[3], "lamp");
            step->on = lookup(kStates, w[4], "lamp state");
        } else if (property == "power") {
            wantCount(w, 4, 4, "expect MULTI power on|off");
            step->check = Check::MultiPower;
            step->on = onOff(w[3]);
        } else {
            fail("a Multi Panel shows top, bottom, lamps, lamp or power, not '" + property + "'");
        }
    } else if (kind == "radio") {
        static const Word<int> kDisplays[] = {
            {"upper-active", 0}, {"upper-standby", 1}, {"lower-active", 2}, {"lower-standby", 3}};
        wantCount(w, 4, 4, "expect RADIO upper-active|upper-standby|lower-active|lower-standby TEXT");
        step->check = Check::RadioDisplay;
        step->code = lookup(kDisplays, w[2], "display");
        step->word = lower(w[2]);
        step->text = trim(w[3]);
    } else if (kind == "switch") {
        using switchpanel::Lamp;
        static const Word<Lamp> kLampStates[] = {
            {"off", Lamp::Off}, {"down", Lamp::Down}, {"transit", Lamp::InTransit}, {"both", Lamp::Both}};
        wantCount(w, 5, 5, "expect SWITCH gear 1|2|3|all off|down|transit|both");
        if (property != "gear") fail("a Switch Panel shows its gear lamps: expect " + w[1] + " gear ...");
        step->check = Check::GearLamp;
        step->index = lower(w[3]) == "all" ? 0 : number(w[3], "the gear lamp", 1, 3);
        step->code = static_cast<int>(lookup(kLampStates, w[4], "gear lamp state"));
    } else {
        if (property == "lens") {
            wantCount(w, 5, 5, "expect BIP lens N red|green|amber|off");
            static const Word<const char *> kColours[] = {
                {"red", "R"}, {"green", "G"}, {"amber", "A"}, {"off", "-"}};
            step->check = Check::BipLens;
            step->index = number(w[3], "the lens", 0, kLensCount - 1);
            step->text = lookup(kColours, w[4], "lens colour");
        } else if (property == "brightness") {
            wantCount(w, 4, 4, "expect BIP brightness PERCENT");
            step->check = Check::BipBrightness;
            step->code = number(w[3], "the brightness", 0, 255);
        } else {
            fail("a BIP shows lens or brightness, not '" + property + "'");
        }
    }
}

}  // namespace

const std::vector<std::pair<std::string, std::string>> &initialDevices() {
    static const std::vector<std::pair<std::string, std::string>> kDevices = {
        {"multi", "multi"}, {"switch", "switch"}, {"radio1", "radio"}, {"radio2", "radio"}, {"bip", "bip"}};
    return kDevices;
}

bool splitWords(const std::string &line, const std::map<std::string, std::string> &vars,
                std::vector<std::string> *words, std::string *error) {
    words->clear();
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (i < n) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '#') break;
        std::string word;
        bool quoted = false;
        if (c == '"') {
            quoted = true;
            ++i;
        }
        for (;;) {
            if (i >= n) {
                if (quoted) {
                    *error = "unterminated quote";
                    return false;
                }
                break;
            }
            const char d = line[i];
            if (quoted && d == '"') {
                ++i;
                if (i < n && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '#') {
                    *error = "a quoted text must be followed by a blank";
                    return false;
                }
                break;
            }
            if (!quoted && (d == ' ' || d == '\t' || d == '\r')) break;
            if (!quoted && d == '"') {
                *error = "a quote inside a word";
                return false;
            }
            if (quoted && d == '\\') {
                if (i + 1 >= n) {
                    *error = "unterminated quote";
                    return false;
                }
                const char e = line[i + 1];
                if (e == 'n') {
                    word += '\n';
                } else if (e == 't') {
                    word += '\t';
                } else if (e == '"' || e == '\\') {
                    word += e;
                } else {
                    *error = std::string("unknown escape '\\") + e + "'";
                    return false;
                }
                i += 2;
                continue;
            }
            if (d == '$' && i + 1 < n && line[i + 1] == '{') {
                const std::size_t close = line.find('}', i + 2);
                if (close == std::string::npos) {
                    *error = "'${' without '}'";
                    return false;
                }
                const std::string name = line.substr(i + 2, close - i - 2);
                auto it = vars.find(name);
                if (it == vars.end()) {
                    *error = "unknown variable ${" + name + "}";
                    return false;
                }
                word += it->second;
                i = close + 1;
                continue;
            }
            word += d;
            ++i;
        }
        words->push_back(word);
    }
    return true;
}

Scenario parseScenario(const std::string &text, const std::map<std::string, std::string> &vars) {
    Scenario scenario;
    Parser parser(&scenario);
    std::size_t start = 0;
    int lineNumber = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        ++lineNumber;
        start = end + 1;

        std::vector<std::string> words;
        std::string error;
        if (!splitWords(line, vars, &words, &error)) {
            scenario.errors.push_back({lineNumber, error});
            continue;
        }
        if (words.empty()) continue;
        Step step;
        step.line = lineNumber;
        step.source = trim(line);
        try {
            parser.line(words, &step);
            scenario.steps.push_back(step);
        } catch (const LineError &e) {
            scenario.errors.push_back({lineNumber, e.message});
        }
    }
    return scenario;
}

const char *scenarioHelp() {
    return R"(A scenario is a text file, one step a line; '#' starts a comment. Words are
separated by blanks; "quote" a text with blanks ("\n", "\"" and "\\" inside).
${BIP_SAMPLE} stands for the sample BIP configuration file, ${BIP_LAYOUTS} for
the folder of the shipped per-aircraft layouts.

Panels attached at start: multi, switch, radio1, radio2, bip.
  attach multi|switch|radio|bip     plug in another (named radio3, multi2, ...)
  detach DEVICE                     unplug it
  plug DEVICE                       plug an unplugged one back in
  enable | disable                  the plug-in (enabled before the first
                                    step unless the scenario says 'enable')
Multi Panel (multi):
  multi selector alt|vs|ias|hdg|crs
  multi turn up|down [N] [fast]     N notches, slowly or in one quick spin
  multi press ap|hdg|nav|ias|alt|vs|apr|rev
  multi autothrottle on|off         multi flaps up|down   multi trim up|down [N]
Radio Panels (radio1, radio2):
  radio1 upper|lower nav1|nav2|com1|com2|adf|dme|xpdr
  radio1 turn upper|lower fine|coarse up|down [N] [fast]
  radio1 swap upper|lower           the ACT/STBY button
Switch Panel (switch):
  switch battery|generator|avionics|fuelpump|deice|pitot|cowlflaps|
         panellights|beacon|nav|strobe|taxi|landing on|off
  switch magneto off|right|left|both|start      switch gear up|down
The simulator:
  set DATAREF[INDEX] VALUE          publish DATAREF      unpublish DATAREF
  simulator 11.40|12                the X-Plane version modelled from here on: its
                                    own names only (12 unless --xplane says; put
                                    it before 'enable' so the plug-in binds them)
  x737 arrive [STATUS] | x737 leave the x737 aircraft plug-in (arrive announces it)
  aircraft NAME [layout FILE]       load an aircraft from a folder the simulator
                                    makes, FILE copied in as its own BIP layout
                                    (${BIP_LAYOUTS} holds the shipped ones)
  aircraft NAME acf FILE            the same, its .acf file named FILE
                                    (b738.acf: the Zibo 737, whose names the
                                    simulator then publishes)
  aircraft FOLDER                   load the aircraft in an existing folder
  message SENDER NUMBER             e.g. message X-Plane 102
  menu [MENU] ITEM                  pick an item of the drovanel submenu
  type [SECTION] FIELD TEXT         in the preferences window, e.g.
                                    type "Multipanel" "Repeat Threshold" 12
  tick [SECTION] CHECKBOX           press BUTTON (Default, OK, Cancel)
  loops N | wait MILLISECONDS       let the simulator run
  note TEXT                         a line of commentary in the view
Expectations (wait up to 2000 ms for the panel to show it; end a line with
'within MILLISECONDS' to change that):
  expect multi top|bottom TEXT      expect multi lamps [AP HDG ...]
  expect multi lamp NAME lit|dark   expect multi power on|off
  expect radio1 upper-active|upper-standby|lower-active|lower-standby TEXT
  expect switch gear 1|2|3|all off|down|transit|both
  expect bip lens N red|green|amber|off         expect bip brightness PERCENT
  expect dataref DATAREF[INDEX] VALUE
  expect command PATH               fired at least once so far
  expect command PATH TIMES         fired exactly TIMES since the last aircraft load
  expect log TEXT                   found in the simulator's log
)";
}

}  // namespace sim
}  // namespace hostsim
