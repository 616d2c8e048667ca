#include "hostsim/sim/player.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "XPLMPlugin.h"
#include "XPStandardWidgets.h"
#include "hostsim/panels/bip.h"
#include "hostsim/panels/x737.h"
#include "hostsim/sim/stdout_capture.h"
#include "hostsim/sim/window_controls.h"

namespace hostsim {
namespace sim {

namespace {

constexpr std::size_t kMultiDisplaySize = 13;
constexpr std::size_t kSwitchLampSize = 2;
constexpr std::uint8_t kBipLampId = 0xB8;
constexpr std::size_t kBipLampSize = 7;
constexpr std::uint8_t kBipBrightnessId = 0xB2;
constexpr std::size_t kBipBrightnessSize = 2;
constexpr int kSettleMs = 1000;      // longest wait for a panel to read its input
constexpr int kDrawEveryMs = 200;    // terminal redraw rate while waiting
constexpr std::size_t kLogLines = 3;  // log lines under the panels
// The file an aircraft's folder may hold with its own BIP layout.
constexpr const char *kAircraftLayoutName = "Drovanel.BacklitInformationPanel.xml";
// The plug-in's per-loop trace, left out of the view's log lines.
constexpr const char *kLoopTrace = "Drovane : callback";

std::string quoted(const std::string &text) { return "\"" + text + "\""; }

std::string trim(const std::string &text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Lamp lists compare as sets: "HDG AP" is "AP HDG".
std::string sortedWords(const std::string &text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) {
        for (char &c : w) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        words.push_back(w);
    }
    std::sort(words.begin(), words.end());
    std::string joined;
    for (const std::string &w : words) joined += (joined.empty() ? "" : " ") + w;
    return joined;
}

std::string number(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

hostsim::PanelKind hostKind(PanelKind kind) {
    switch (kind) {
        case PanelKind::Multi: return hostsim::PanelKind::Multi;
        case PanelKind::Radio: return hostsim::PanelKind::Radio;
        case PanelKind::Switch: return hostsim::PanelKind::Switch;
        case PanelKind::Bip: return hostsim::PanelKind::Bip;
    }
    return hostsim::PanelKind::Multi;
}

PanelKind kindNamed(const std::string &kind) {
    if (kind == "radio") return PanelKind::Radio;
    if (kind == "switch") return PanelKind::Switch;
    if (kind == "bip") return PanelKind::Bip;
    return PanelKind::Multi;
}

void setSwitch(switchpanel::Switches &s, int which, bool on) {
    bool *const switches[] = {&s.battery, &s.generator,   &s.avionics, &s.fuelPump, &s.deIce,
                              &s.pitotHeat, &s.cowlFlapsClosed, &s.panelLights, &s.beacon, &s.nav,
                              &s.strobe,  &s.taxi,        &s.landing};
    *switches[which] = on;
}

bool *multiButton(multipanel::Controls &c, int which) {
    bool *const buttons[] = {&c.ap, &c.hdg, &c.nav, &c.ias, &c.alt, &c.vs, &c.apr, &c.rev};
    return buttons[which];
}

}  // namespace

Player::Player(PlayerOptions options) : options_(std::move(options)) {}

Player::Device &Player::attachPanel(const std::string &name, PanelKind kind) {
    Device d;
    d.name = name;
    d.kind = kind;
    d.number = attach(hostKind(kind));
    if (kind == PanelKind::Multi) {
        // The panel answers the driver's start-up state read with its selector.
        setFeatureAnswer(d.number, multipanel::stateAnswer(d.multi.selector));
    }
    devices_.push_back(d);
    return devices_.back();
}

Player::Device *Player::device(const std::string &name) {
    for (Device &d : devices_) {
        if (d.name == name) return &d;
    }
    return nullptr;
}

int Player::play(const Scenario &scenario) {
    reset();
    setSimulatorVersion(options_.simulator);
    aircraft_.reset();
    devices_.clear();
    for (const auto &initial : initialDevices()) attachPanel(initial.first, kindNamed(initial.second));

    std::string error;
    if (!plugin_.load(options_.pluginFile, &error)) {
        std::fprintf(stderr, "drovanel-sim: cannot load the plug-in: %s\n", error.c_str());
        return 1;
    }
    std::string name, signature, description;
    plugin_.start(&name, &signature, &description);
    note_ = name + " (" + signature + ")";
    nextTick_ = std::chrono::steady_clock::now();
    if (!scenario.hasEnable) {
        plugin_.enable();
        enabled_ = true;
    }

    if (options_.colour) std::fputs("\x1b[2J", options_.out);
    std::string failed;
    const std::size_t total = scenario.steps.size();
    for (std::size_t i = 0; i < total && failed.empty(); ++i) {
        const Step &step = scenario.steps[i];
        progress_ = "step " + std::to_string(i + 1) + "/" + std::to_string(total) + ", line " +
                    std::to_string(step.line) + ": " + step.source;
        if (options_.colour) draw(true);
        std::string failure;
        bool ok = false;
        try {
            ok = run(step, &failure);
        } catch (const std::exception &e) {
            // The host refuses a dataref index outside the array, for one.
            failure = e.what();
        }
        if (!ok) {
            failed = options_.scenarioName + ":" + std::to_string(step.line) + ": " + step.source + "\n  " + failure;
        }
        draw(true);
    }
    if (options_.colour) {
        progress_ = failed.empty() ? "done" : "stopped at a failed step";
        draw(true);
    }

    if (enabled_) plugin_.disable();
    enabled_ = false;
    plugin_.stop();
    plugin_.unload();
    if (!failed.empty()) {
        std::fprintf(stderr, "drovanel-sim: %s\n", failed.c_str());
        return 1;
    }
    std::fprintf(options_.out, "drovanel-sim: %zu steps played, every expectation met\n", total);
    return 0;
}

bool Player::run(const Step &step, std::string *failure) {
    switch (step.action) {
        case Action::Enable:
        case Action::Disable:
            if (enabled_ == (step.action == Action::Enable)) {
                *failure = std::string("the plug-in is already ") + (enabled_ ? "enabled" : "disabled");
                return false;
            }
            if (step.action == Action::Enable) {
                plugin_.enable();
            } else {
                plugin_.disable();
            }
            enabled_ = step.action == Action::Enable;
            tick();
            return true;
        case Action::Attach:
            attachPanel(step.device, kindNamed(step.word));
            tick();
            return true;
        case Action::Detach: {
            Device *d = device(step.device);
            detach(d->number);
            d->attached = false;
            tick();
            return true;
        }
        case Action::Plug: {
            Device *d = device(step.device);
            plug(d->number);
            d->attached = true;
            tick();
            return true;
        }
        case Action::SetDataref:
            if (step.value == std::floor(step.value) && std::fabs(step.value) < 2147483647.0) {
                setIntAt(step.path, step.index, static_cast<int>(step.value));
            } else {
                setFloatAt(step.path, step.index, static_cast<float>(step.value));
            }
            tick();
            return true;
        case Action::Simulator:
            setSimulatorVersion(static_cast<SimulatorVersion>(step.code));
            return true;
        case Action::Publish:
            publish(step.path);
            return true;
        case Action::Unpublish:
            unpublish(step.path);
            return true;
        case Action::X737Arrive:
            x737::arrive(step.code);
            plugin_.sendMessage(x737::kPluginName, x737::kAnnounceMessage);
            tick();
            return true;
        case Action::X737Leave:
            x737::leave();
            tick();
            return true;
        case Action::LoadAircraft:
            return loadAircraft(step, failure);
        case Action::Message:
            plugin_.sendMessage(step.text, step.code);
            tick();
            return true;
        case Action::Menu:
            if (!pickMenuItem(step.path, step.text)) {
                *failure = "no item " + quoted(step.text) + " in the menu " + quoted(step.path);
                return false;
            }
            tick();
            return true;
        case Action::Type:
        case Action::Tick:
        case Action::Press:
            return window(step, failure);
        case Action::Loops:
            for (int i = 0; i < step.count; ++i) tick();
            return true;
        case Action::Wait:
            pause(step.count);
            return true;
        case Action::Note:
            note_ = step.text;
            return true;
        case Action::Expect:
            return expect(step, failure);
        default:
            return control(step, *device(step.device), failure);
    }
}

bool Player::window(const Step &step, std::string *failure) {
    const std::vector<WidgetState> all = widgets();
    WidgetId id = nullptr;
    bool done = false;
    if (step.action == Action::Press) {
        id = findButton(all, step.word, failure);
        done = id != nullptr && pressButton(id);
    } else if (step.action == Action::Type) {
        id = findControl(all, step.path, step.word, xpWidgetClass_TextField, failure);
        done = id != nullptr && typeInto(id, step.text);
    } else {
        id = findControl(all, step.path, step.word, xpWidgetClass_Button, failure);
        done = id != nullptr && tickCheckBox(id);
    }
    if (id != nullptr && !done) *failure = "the window did not take it";
    if (done) tick();
    return done;
}

// Loads an aircraft as the simulator does: its .acf file becomes the user's
// aircraft, then "X-Plane" announces that a plane was loaded.
bool Player::loadAircraft(const Step &step, std::string *failure) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path folder;
    if (!step.word.empty()) {
        // The simulator's own folder, made afresh: with the layout asked
        // for, or none.
        folder = fs::path(prefsFolder()) / "Aircraft" / step.word;
        fs::create_directories(folder, error);
        const fs::path layout = folder / kAircraftLayoutName;
        fs::remove(layout, error);
        if (!step.text.empty() && !fs::copy_file(step.text, layout, error)) {
            *failure = "cannot copy the layout " + quoted(step.text) + ": " + error.message();
            return false;
        }
    } else {
        folder = fs::path(step.path);
        if (!folder.has_filename()) folder = folder.parent_path();
        if (!fs::is_directory(folder, error)) {
            *failure = "no aircraft folder " + quoted(step.path);
            return false;
        }
    }
    // The folder's .acf file if it has one, else one named after the folder.
    fs::path acf = folder / (folder.filename().string() + ".acf");
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->path().extension() == ".acf") {
            acf = it->path();
            break;
        }
    }
    if (!step.acf.empty()) acf = folder / step.acf;
    setUserAircraft(acf.string());
    aircraftMark_ = commandJournal().size();
    plugin_.sendMessage("X-Plane", XPLM_MSG_PLANE_LOADED);
    tick();
    return true;
}

void Player::send(Device &d, const std::vector<std::uint8_t> &report) { queueInput(d.number, report); }

// Lets the panel's reader take what was queued and the next flight loops
// hand it to the driver.
void Player::settle(const Device &d) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSettleMs);
    while (d.attached && enabled_ && pendingInput(d.number) > 0 && std::chrono::steady_clock::now() < deadline) {
        tick();
    }
    tick();
    tick();
}

bool Player::control(const Step &step, Device &d, std::string *failure) {
    using multipanel::Encoder;
    const auto multiReport = [&d] { return multipanel::inputReport(d.multi); };
    const auto radioReport = [&d](unsigned controls) {
        return radiopanel::inputReport(d.upper, d.lower, controls);
    };
    switch (step.action) {
        case Action::MultiSelector:
            d.multi.selector = static_cast<multipanel::Selector>(step.code);
            setFeatureAnswer(d.number, multipanel::stateAnswer(d.multi.selector));
            send(d, multiReport());
            break;
        case Action::MultiTurn:
        case Action::RadioTurn:
            for (int notch = 0; notch < step.count; ++notch) {
                if (step.action == Action::MultiTurn) {
                    d.multi.encoder = step.on ? Encoder::Up : Encoder::Down;
                    send(d, multiReport());
                    d.multi.encoder = Encoder::Rest;
                    send(d, multiReport());
                } else {
                    send(d, radioReport(static_cast<unsigned>(step.code)));
                    send(d, radioReport(radiopanel::kNoControl));
                }
                if (!step.fast) {
                    settle(d);
                    pause(kNotchGapMs - 2 * kLoopMs);
                }
            }
            break;
        case Action::MultiPress: {
            bool *button = multiButton(d.multi, step.code);
            *button = true;
            send(d, multiReport());
            *button = false;
            send(d, multiReport());
            break;
        }
        case Action::MultiAutothrottle:
            d.multi.autothrottle = step.on;
            send(d, multiReport());
            break;
        case Action::MultiFlaps:
            (step.on ? d.multi.flapsUp : d.multi.flapsDown) = true;
            send(d, multiReport());
            d.multi.flapsUp = d.multi.flapsDown = false;
            send(d, multiReport());
            break;
        case Action::MultiTrim:
            for (int click = 0; click < step.count; ++click) {
                (step.on ? d.multi.trimUp : d.multi.trimDown) = true;
                send(d, multiReport());
                d.multi.trimUp = d.multi.trimDown = false;
                send(d, multiReport());
            }
            break;
        case Action::RadioSelect:
            (step.on ? d.upper : d.lower) = static_cast<radiopanel::Selector>(step.code);
            send(d, radioReport(radiopanel::kNoControl));
            break;
        case Action::RadioSwap:
            send(d, radioReport(step.on ? radiopanel::kUpperActStby : radiopanel::kLowerActStby));
            send(d, radioReport(radiopanel::kNoControl));
            break;
        case Action::SwitchSet:
            setSwitch(d.switches, step.code, step.on);
            send(d, switchpanel::inputReport(d.switches));
            break;
        case Action::SwitchMagneto:
            d.switches.magneto = static_cast<switchpanel::Magneto>(step.code);
            send(d, switchpanel::inputReport(d.switches));
            break;
        case Action::SwitchGear:
            d.switches.gear = step.on ? switchpanel::GearLever::Down : switchpanel::GearLever::Up;
            send(d, switchpanel::inputReport(d.switches));
            break;
        default:
            *failure = "this step does not belong to a panel";
            return false;
    }
    settle(d);
    return true;
}

bool Player::expect(const Step &step, std::string *failure) {
    const auto start = std::chrono::steady_clock::now();
    const auto deadline = start + std::chrono::milliseconds(step.withinMs);
    std::string actual;
    while (!holds(step, &actual)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            *failure = "not met: " + actual + " (waited " + std::to_string(step.withinMs) + " ms)";
            return false;
        }
        tick();
    }
    return true;
}

bool Player::holds(const Step &step, std::string *actual) {
    const Device *d = step.device.empty() ? nullptr : device(step.device);
    switch (step.check) {
        case Check::MultiTop:
        case Check::MultiBottom:
        case Check::MultiLamps:
        case Check::MultiLamp:
        case Check::MultiPower: {
            const multipanel::Display shown =
                multipanel::decodeDisplay(latestFeature(d->number, 0x00, kMultiDisplaySize));
            if (!shown.valid) {
                *actual = "the panel has no display report";
                return false;
            }
            if (step.check == Check::MultiPower) {
                *actual = std::string("the panel is ") + (shown.dark ? "dark" : "powered");
                return shown.dark != step.on;
            }
            if (step.check == Check::MultiLamp) {
                *actual = "the " + step.word + " lamp is " + (shown.lit(step.word) ? "lit" : "dark");
                return shown.lit(step.word) == step.on;
            }
            if (shown.dark) {
                *actual = "the panel is dark";
                return false;
            }
            if (step.check == Check::MultiLamps) {
                std::string lit;
                for (const std::string &lamp : shown.lamps) lit += (lit.empty() ? "" : " ") + lamp;
                *actual = "lit lamps: " + (lit.empty() ? std::string("none") : lit);
                return sortedWords(lit) == sortedWords(step.text);
            }
            const std::string &row = step.check == Check::MultiTop ? shown.top : shown.bottom;
            *actual = std::string("the ") + (step.check == Check::MultiTop ? "top" : "bottom") + " row shows " +
                      quoted(row);
            return trim(row) == step.text;
        }
        case Check::RadioDisplay: {
            radiopanel::Displays shown;
            if (!radiopanel::decodeDisplays(radiopanel::latestDisplay(d->number), &shown)) {
                *actual = "the panel has no display report";
                return false;
            }
            const std::string *displays[] = {&shown.upperActive, &shown.upperStandby, &shown.lowerActive,
                                             &shown.lowerStandby};
            const std::string &value = *displays[step.code];
            *actual = step.word + " shows " + quoted(value);
            return trim(value) == step.text;
        }
        case Check::GearLamp: {
            const std::vector<std::uint8_t> report = latestFeature(d->number, 0x00, kSwitchLampSize);
            if (report.size() != kSwitchLampSize) {
                *actual = "the panel has no lamp report";
                return false;
            }
            *actual = "gear lamps: " + switchpanel::gearLampsText(report[1]);
            const auto want = static_cast<switchpanel::Lamp>(step.code);
            for (int position = 0; position < 3; ++position) {
                if ((step.index == 0 || step.index == position + 1) &&
                    switchpanel::gearLamp(report[1], position) != want) {
                    return false;
                }
            }
            return true;
        }
        case Check::BipLens: {
            const std::vector<std::string> lenses =
                bip::lensColours(latestFeature(d->number, kBipLampId, kBipLampSize));
            if (lenses.empty()) {
                *actual = "the panel has no lamp report";
                return false;
            }
            const std::string &lens = lenses[static_cast<std::size_t>(step.index)];
            const char *names[] = {"red", "green", "amber", "off"};
            const std::string codes = "RGA-";
            *actual = "lens " + std::to_string(step.index) + " is " + names[codes.find(lens[0])];
            return lens == step.text;
        }
        case Check::BipBrightness: {
            const int percent = bip::brightness(latestFeature(d->number, kBipBrightnessId, kBipBrightnessSize));
            *actual = percent < 0 ? "no brightness report" : "brightness " + std::to_string(percent) + "%";
            return percent == step.code;
        }
        case Check::Dataref: {
            const double value = getFloatAt(step.path, step.index);
            *actual = step.path + "[" + std::to_string(step.index) + "] is " + number(value);
            return std::fabs(value - step.value) <= 1e-3 * std::max(1.0, std::fabs(step.value));
        }
        case Check::Command:
            for (const CommandCall &call : commandJournal()) {
                if (call.path == step.path) return true;
            }
            *actual = "the plug-in never fired " + step.path;
            return false;
        case Check::CommandCount: {
            const std::vector<CommandCall> &journal = commandJournal();
            int fired = 0;
            for (std::size_t i = aircraftMark_ < journal.size() ? aircraftMark_ : journal.size(); i < journal.size();
                 ++i) {
                if (journal[i].path == step.path && journal[i].phase != CommandPhase::End) ++fired;
            }
            *actual = "fired " + std::to_string(fired) + " times since the aircraft load";
            return fired == step.count;
        }
        case Check::Log:
            *actual = "the log does not contain " + quoted(step.text);
            return log().find(step.text) != std::string::npos;
    }
    return false;
}

void Player::tick() {
    nextTick_ += std::chrono::milliseconds(kLoopMs);
    const auto now = std::chrono::steady_clock::now();
    if (nextTick_ > now) {
        std::this_thread::sleep_until(nextTick_);
    } else if (now - nextTick_ > std::chrono::milliseconds(kLoopMs)) {
        nextTick_ = now;  // a long step (a blocking initialize) does not make later loops rush
    }
    runFlightLoops(1);
    aircraft_.step();
    draw(false);
}

void Player::pause(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() + std::chrono::milliseconds(kLoopMs / 2) < end) tick();
}

// Keeps the last few log lines that are not the per-loop trace; reads only
// what the host logged since the last call.
void Player::readLog() {
    const std::string &all = log();
    if (logSeen_ > all.size()) logSeen_ = 0;
    for (; logSeen_ < all.size(); ++logSeen_) {
        const char c = all[logSeen_];
        if (c != '\n') {
            logPartial_ += c;
            continue;
        }
        // The trace and other lines without line ends share a line; keep
        // what is not trace.
        std::string line = logPartial_;
        logPartial_.clear();
        const std::size_t trace = line.find(kLoopTrace);
        if (trace != std::string::npos) line.erase(trace);
        if (trim(line).empty()) continue;
        logTail_.push_back(line);
        if (logTail_.size() > kLogLines) logTail_.pop_front();
    }
}

Snapshot Player::snapshot() {
    Snapshot s;
    s.progress = progress_;
    s.note = note_;
    for (const Device &d : devices_) {
        PanelSnapshot p;
        p.name = d.name;
        p.kind = d.kind;
        p.attached = d.attached;
        switch (d.kind) {
            case PanelKind::Multi: p.display = latestFeature(d.number, 0x00, kMultiDisplaySize); break;
            case PanelKind::Radio: p.display = radiopanel::latestDisplay(d.number); break;
            case PanelKind::Switch: p.display = latestFeature(d.number, 0x00, kSwitchLampSize); break;
            case PanelKind::Bip:
                p.display = latestFeature(d.number, kBipLampId, kBipLampSize);
                p.brightness = latestFeature(d.number, kBipBrightnessId, kBipBrightnessSize);
                break;
        }
        s.panels.push_back(p);
    }
    readLog();
    s.log.assign(logTail_.begin(), logTail_.end());
    if (options_.capture != nullptr && options_.capture->running()) {
        s.switchReportsSent = options_.capture->featureSetLines();
    }
    return s;
}

// Plain frames go out once per step; a terminal is redrawn in place while
// the simulator runs too.
void Player::draw(bool force) {
    const auto now = std::chrono::steady_clock::now();
    if (!options_.colour && !force) return;
    if (!force && now - lastDraw_ < std::chrono::milliseconds(kDrawEveryMs)) return;
    lastDraw_ = now;
    const Snapshot s = snapshot();
    const std::string frame = options_.colour ? terminalFrame(s) : plainFrame(s);
    std::fputs(frame.c_str(), options_.out);
    std::fflush(options_.out);
}

}  // namespace sim
}  // namespace hostsim
