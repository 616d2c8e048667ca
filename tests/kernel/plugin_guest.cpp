// The whole Linux plug-in in the guest: the stand-in host loads lin.xpl as
// the simulator would, the plug-in finds uhid-panels' four panels through
// the kernel, and each panel's side sees the plug-in's output reports.
// Usage: plugin-guest <lin.xpl>. Prints PASS/FAIL lines; exits 0 when all pass.
#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "guest_support.h"
#include "hostsim/hostsim.h"

namespace {

using Clock = std::chrono::steady_clock;

// Runs the flight loop as the simulator does, every 50 ms, for ms milliseconds.
void fly(int ms) {
    for (int elapsed = 0; elapsed < ms; elapsed += 50) {
        hostsim::runFlightLoops(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

// True when every report in uhid-panels' answer ("ok <hex>,<hex>...") has one
// of the kinds (report id in hex, length) and one has the id `needed`.
bool reportsLookLike(const std::string &answer, const std::vector<std::pair<std::string, std::size_t>> &kinds,
                     const std::string &needed) {
    if (answer.compare(0, 3, "ok ") != 0 || answer.size() == 3) return false;
    std::string list = answer.substr(3) + ",";
    bool seen = false;
    for (std::size_t start = 0, end; (end = list.find(',', start)) != std::string::npos; start = end + 1) {
        std::string report = list.substr(start, end - start);
        bool known = false;
        for (const auto &kind : kinds) {
            if (report.size() == kind.second * 2 && report.compare(0, 2, kind.first) == 0) known = true;
        }
        if (!known) return false;
        if (report.compare(0, 2, needed) == 0) seen = true;
    }
    return seen;
}

// Flies until the host's log holds text, or limitMs passes; the time it took, or -1.
long long flyUntilLogged(const std::string &text, int limitMs) {
    auto begin = Clock::now();
    for (;;) {
        long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - begin).count();
        if (hostsim::log().find(text) != std::string::npos) return ms;
        if (ms > limitMs) return -1;
        fly(50);
    }
}

void checkReports(PanelSide &side, const char *label, const std::vector<std::pair<std::string, std::size_t>> &kinds,
                  const std::string &needed, const std::string &name) {
    std::string answer = side.ask(std::string("received ") + label);
    check(reportsLookLike(answer, kinds, needed), name, answer);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) return 2;
    PanelSide side;
    std::map<std::string, std::string> nodes;
    if (!side.start(&nodes)) return 1;
    side.ask("answer Multi 00000000000000000000000000");  // the Multi Panel's feature read at start

    hostsim::reset();
    hostsim::Plugin plugin;
    std::string error;
    check(plugin.load(argv[1], &error), "the host loads lin.xpl", error);
    if (!plugin.loaded()) return 1;
    std::string name, signature, description;
    check(plugin.start(&name, &signature, &description) == 1 && plugin.enable() == 1, "the plug-in starts and enables");

    const std::string &log = hostsim::log();
    check(log.find("cannot open") == std::string::npos && log.find("no handle") == std::string::npos,
          "the plug-in opens the panels without complaint", log);

    fly(1500);
    checkReports(side, "Multi", {{"00", 13}}, "00", "the Multi Panel gets its 13-byte reports");
    // The Radio Panel also gets a 23-byte check report numbered 0xFF at start.
    checkReports(side, "Radio", {{"00", 23}, {"ff", 23}}, "00", "the Radio Panel gets its 23-byte reports");
    checkReports(side, "Switch", {{"00", 2}}, "00", "the Switch Panel gets its 2-byte reports");
    checkReports(side, "BIP", {{"b2", 2}, {"b8", 7}}, "b8", "the BIP gets its lens reports");

    // Every switch of the Switch Panel flipped: the plug-in acts on it.
    std::size_t before = hostsim::commandJournal().size() + hostsim::datarefWrites().size();
    side.ask("input Switch ffffff");
    fly(500);
    std::size_t after = hostsim::commandJournal().size() + hostsim::datarefWrites().size();
    check(after > before, "input from the Switch Panel reaches the simulator");

    // The Radio Panel dropped off the bus and plugged back in: lin.xpl's
    // backend sees it go and come back, and drives it again.
    side.ask("unplug Radio");
    long long goneMs = flyUntilLogged("Drovanel : Radiopanel1 disconnected\n", 3000);
    check(goneMs >= 0, "an unplugged Radio Panel leaves its slot", std::to_string(goneMs) + " ms");
    std::printf("  disconnected after %lld ms\n", goneMs);
    side.ask("received Radio");
    hostsim::clearCallTimes();
    std::string plugged = side.ask("plug Radio");
    long long backMs = flyUntilLogged("Drovanel : Radiopanel1 connected\n", 4000);
    check(backMs >= 0, "the Radio Panel plugged back is adopted again", plugged + ", " + std::to_string(backMs) + " ms");
    std::printf("  connected after %lld ms (%s)\n", backMs, plugged.c_str());
    // The watch's thread listed and opened it; the flight loops only adopted.
    const double longestMs = hostsim::callTimes(hostsim::CallKind::FlightLoop).longestSeconds * 1e3;
    std::printf("  longest flight loop meanwhile: %.3f ms, %zu hidraw nodes listed (emulated CPU)\n", longestMs,
                nodes.size());
    check(longestMs < 500, "no flight loop lists or opens while the panel comes back",
          std::to_string(longestMs) + " ms");
    fly(1000);
    checkReports(side, "Radio", {{"00", 23}, {"ff", 23}}, "ff", "the Radio Panel plugged back gets its reports again");

    // The Switch Panel unplugged with its magneto at START (every switch of
    // it on, above): the starter it began ends as the panel goes.
    side.ask("unplug Switch");
    long long switchGoneMs = flyUntilLogged("Drovanel : Switchpanel disconnected\n", 3000);
    check(switchGoneMs >= 0, "an unplugged Switch Panel leaves its slot", std::to_string(switchGoneMs) + " ms");
    // That report also has BOTH on, which ends the starter before START
    // begins it: an end while nothing is held counts for nothing.
    int begun = 0, held = 0;
    for (const hostsim::CommandCall &call : hostsim::commandJournal()) {
        if (call.path != "sim/engines/engage_starters") continue;
        if (call.phase == hostsim::CommandPhase::Begin) {
            ++begun;
            ++held;
        }
        if (call.phase == hostsim::CommandPhase::End && held > 0) --held;
    }
    check(begun > 0 && held == 0, "the Switch Panel unplugged at START leaves no starter held",
          std::to_string(begun) + " begun, " + std::to_string(held) + " still held");

    auto begin = Clock::now();
    plugin.disable();
    long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - begin).count();
    check(ms < 8000, "disable stops every panel", std::to_string(ms) + " ms");
    plugin.stop();
    plugin.unload();

    std::string offThread;
    for (const std::string &call : hostsim::offThreadCalls()) offThread += call + " ";
    check(offThread.empty(), "no host call from the panels' threads", offThread);

    side.stop();
    std::printf("plugin-guest: %d checks, %d failed\n", checksRun, checksFailed);
    return checksFailed == 0 ? 0 : 1;
}
