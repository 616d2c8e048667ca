// The plug-in's side of the kernel test, run inside the guest: the shipped
// hidraw backend and discovery, against panels that the kernel's uhid driver
// makes out of uhid-panels (its other side, started here as a child).
// Prints "PASS <check>" or "FAIL <check>: <why>" per check; exits 0 only when
// every check passed.
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "abstract_panel.h"
#include "device_watch.h"
#include "discovery.h"
#include "guest_support.h"
#include "hid/device_list.h"
#include "hid/list_device_services.h"
#include "panel_ids.h"
#include "sdk_stub.h"

using namespace drovanel;

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kRefreshMs = 100;

long nodeNumber(const std::string &path) { return std::strtol(path.c_str() + std::strlen("/dev/hidraw"), nullptr, 10); }

// ---------------------------------------------------------------- driver side

// Passes every call through and counts the reads (for the unplugged panel).
class CountingDevice : public HidDevice {
public:
    explicit CountingDevice(HidDevice *inner) : inner_(inner) {}
    ~CountingDevice() override { delete inner_; }
    int read(std::uint8_t *buffer, int size, const wchar_t *eventName) override {
        int n = inner_->read(buffer, size, eventName);
        lastResult.store(n);
        reads.fetch_add(1);
        return n;
    }
    void cancel() override { inner_->cancel(); }
    bool setFeature(const std::uint8_t *buffer, int size) override { return inner_->setFeature(buffer, size); }
    bool getFeature(std::uint8_t *buffer, int size) override { return inner_->getFeature(buffer, size); }

    std::atomic<int> reads{0};
    std::atomic<int> lastResult{1};

private:
    HidDevice *inner_;
};

struct LiveEvent {
    Bytes bytes;
    std::uint32_t length;
};

// A driver that keeps what drainEvents hands it.
class GuestPanel : public AbstractPanel {
public:
    GuestPanel(CountingDevice *device, const char *name)
        : AbstractPanel(device, name, standardReader, standardRefresh, 0, 0, 0), counting(device) {
        setRefreshPeriod(kRefreshMs);
    }
    ~GuestPanel() override { teardown(); }
    void handleEvent(const std::uint8_t *bytes, std::uint32_t length, std::uint8_t flag, std::uint32_t) override {
        if (flag == 0) live.push_back({Bytes(bytes, bytes + std::min<std::uint32_t>(length, 4)), length});
    }
    HidDevice *hid() { return device(); }

    CountingDevice *counting;
    std::vector<LiveEvent> live;  // main thread only
};

// The kernel's name for the listed Radio Panel, or "" when none is listed.
std::string radioInstance(const std::vector<ListedDevice> &listed) {
    for (const ListedDevice &d : listed) {
        if (d.vendorId == kSaitekVendorId && d.productId == kRadioPanelProductId) return d.instance.empty() ? "?" : d.instance;
    }
    return "";
}

const char *slotName(PanelSlot slot) {
    switch (slot) {
        case PanelSlot::Multipanel: return "Multipanel";
        case PanelSlot::Switchpanel: return "Switchpanel";
        case PanelSlot::Radiopanel1: return "Radiopanel1";
        case PanelSlot::Radiopanel2: return "Radiopanel2";
        case PanelSlot::Bip: return "BacklitInformationPanel";
    }
    return "?";
}

class Registry : public PanelRegistry {
public:
    bool slotEmpty(PanelSlot slot) const override { return panels[static_cast<int>(slot)] == nullptr; }
    void adopt(PanelSlot slot, AbstractPanel *panel) override {
        panels[static_cast<int>(slot)] = static_cast<GuestPanel *>(panel);
        ++adopted;
    }
    bool ignoreSwitchPanel() const override { return false; }
    GuestPanel *panel(PanelSlot slot) { return panels[static_cast<int>(slot)]; }

    GuestPanel *panels[kPanelSlotCount] = {};
    int adopted = 0;
};

AbstractPanel *createGuestPanel(PanelSlot slot, HidDevice *device) {
    auto *panel = new GuestPanel(new CountingDevice(device), slotName(slot));
    panel->start();
    return panel;
}

AbstractPanel *refusePanel(PanelSlot, HidDevice *) { return nullptr; }

// Ends the program when a step hangs, such as a teardown whose reader never wakes.
std::atomic<long long> deadlineMs{0};
std::atomic<const char *> stepName{"start"};

long long nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}
void step(const char *name, int seconds) {
    stepName.store(name);
    deadlineMs.store(nowMs() + seconds * 1000LL);
}
void watchdog() {
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        long long deadline = deadlineMs.load();
        if (deadline != 0 && nowMs() > deadline) {
            std::printf("FAIL %s: did not finish in time\n", stepName.load());
            std::fflush(stdout);
            _exit(3);
        }
    }
}

// Drains every panel until `panel` has a live event or the time is up.
bool waitLive(Registry &registry, GuestPanel *panel, int ms) {
    auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        for (GuestPanel *p : registry.panels) {
            if (p != nullptr) p->drainEvents();
        }
        if (!panel->live.empty()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// ---------------------------------------------------------------- checks

void checkList(ListDeviceServices &services, const std::map<std::string, std::string> &nodes) {
    std::vector<std::string> expected;
    for (const auto &n : nodes) expected.push_back(n.second);
    std::sort(expected.begin(), expected.end(),
              [](const std::string &a, const std::string &b) { return nodeNumber(a) < nodeNumber(b); });
    std::vector<std::string> listed;
    std::string saitek;
    int count = services.listCount();
    for (int i = 0; i < count; ++i) {
        std::string path;
        std::uint16_t vendor = 0;
        std::uint16_t product = 0;
        if (!services.listEntry(i, &path, &vendor, &product)) continue;
        listed.push_back(path);
        char ids[64];
        std::snprintf(ids, sizeof ids, "%s=%04x:%04x ", path.c_str(), vendor, product);
        if (vendor == kSaitekVendorId) saitek += ids;
    }
    std::string want = nodes.at("Multi") + "=06a3:0d06 " + nodes.at("Radio") + "=06a3:0d05 " + nodes.at("Switch") +
                       "=06a3:0d67 " + nodes.at("BIP") + "=06a3:0b4e ";
    check(listed == expected, "every hidraw node listed in node-number order");
    check(saitek == want, "the four panels listed with their ids", "got " + saitek + "want " + want);
    check(nodeNumber(nodes.at("Multi")) < 10 && nodeNumber(nodes.at("Radio")) >= 10,
          "the panels straddle hidraw9 and hidraw10", nodes.at("Multi") + " " + nodes.at("Radio"));
}

// As an unprivileged user no node opens: each panel's node is named once in
// the log, however many discoveries run, and other makers' devices are never
// opened at all.
void checkPermissionLog(const std::map<std::string, std::string> &nodes) {
    pid_t child = fork();
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        clearStubLog();
        Registry registry;
        DeviceServices &services = systemDeviceServices();
        discoverPanels(services, registry, refusePanel);
        discoverPanels(services, registry, refusePanel);
        std::string log = stubLog();
        bool ok = registry.adopted == 0;
        for (const auto &n : nodes) {
            std::string line = "Drovanel : cannot open " + n.second + ": Permission denied\n";
            std::size_t first = log.find(line);
            if (n.first.rfind("Other", 0) == 0) {
                if (first != std::string::npos) ok = false;
                continue;
            }
            if (first == std::string::npos || log.find(line, first + 1) != std::string::npos) ok = false;
        }
        if (!ok) std::printf("  log as another user: %s\n", log.c_str());
        std::fflush(stdout);
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    check(WIFEXITED(status) && WEXITSTATUS(status) == 0, "a node the user may not open is logged once",
          "child status " + std::to_string(status));
}

// A node listed while it still belongs to root (udev has not applied the
// rule yet) is opened by the watch once its mode lets the user in, 200 ms
// later, and nothing is reported.
void checkRetriedOpen(const std::map<std::string, std::string> &nodes) {
    const std::string path = nodes.at("Multi");
    const auto began = Clock::now();
    pid_t child = fork();
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        if (access(path.c_str(), R_OK | W_OK) == 0) _exit(3);  // root's only, as listed
        DeviceWatch watch(listSystemDevices, kDeviceWatchPeriodMs, openListedDevice);
        PickupDemand demand;
        demand.slotEmpty[static_cast<int>(PanelSlot::Multipanel)] = true;
        watch.pickup().setDemand(demand);
        watch.start();
        while (!watch.pickup().ready() && Clock::now() - began < std::chrono::seconds(5)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::string key;
        HidDevice *device = watch.pickup().take(PanelSlot::Multipanel, &key);
        std::string failed;
        std::uint32_t error = 0;
        const bool gaveUp = watch.pickup().takeGiveUp(&failed, &error);
        const bool ok = device != nullptr && key == devicePathKey(path) && !gaveUp;
        if (!ok) std::printf("  opened %s, gave up on '%s' (%u)\n", device ? key.c_str() : "nothing", failed.c_str(), error);
        std::fflush(stdout);
        delete device;
        watch.stop();
        _exit(ok ? 0 : 1);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const bool opened = chmod(path.c_str(), 0666) == 0;
    int status = 0;
    waitpid(child, &status, 0);
    const long ms = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - began).count());
    chmod(path.c_str(), 0600);
    check(opened && WIFEXITED(status) && WEXITSTATUS(status) == 0 && ms < 2000,
          "a node opened to the user 200 ms after it was listed is taken up", std::to_string(ms) + " ms");
}

void checkInput(PanelSide &side, Registry &registry, const char *label, PanelSlot slot, const Bytes &data) {
    GuestPanel *panel = registry.panel(slot);
    if (panel == nullptr) return;
    panel->live.clear();
    std::string answer = side.ask(std::string("input ") + label + " " + hex(data));
    bool arrived = answer == "ok" && waitLive(registry, panel, 3000);
    Bytes want{0};
    want.insert(want.end(), data.begin(), data.end());
    std::string got = arrived ? hex(panel->live[0].bytes) + " length " + std::to_string(panel->live[0].length) : "nothing";
    check(arrived && panel->live.size() == 1 && panel->live[0].length == 4 && panel->live[0].bytes == want,
          std::string("input of the ") + label + " reaches its queue with the report id first",
          "got " + got + ", want " + hex(want) + " length 4");
}

void checkFeatureWrite(PanelSide &side, Registry &registry, const char *label, PanelSlot slot, const Bytes &report) {
    GuestPanel *panel = registry.panel(slot);
    if (panel == nullptr) return;
    side.ask(std::string("received ") + label);  // forget older ones
    bool written = panel->hid()->setFeature(report.data(), static_cast<int>(report.size()));
    std::string received = side.ask(std::string("received ") + label);
    check(written && received == "ok " + hex(report),
          std::string("a ") + std::to_string(report.size()) + "-byte feature report reaches the " + label + " as written",
          "set " + std::string(written ? "ok" : "failed") + ", device saw '" + received + "'");
}

void checkFeatureRead(PanelSide &side, Registry &registry, const char *label, PanelSlot slot, const Bytes &report) {
    GuestPanel *panel = registry.panel(slot);
    if (panel == nullptr) return;
    side.ask(std::string("answer ") + label + " " + hex(report));
    Bytes buffer(report.size(), 0);
    buffer[0] = report[0];
    bool read = panel->hid()->getFeature(buffer.data(), static_cast<int>(buffer.size()));
    check(read && buffer == report,
          std::string("a feature read returns the ") + label + "'s " + std::to_string(report.size()) + " bytes",
          "got " + hex(buffer) + (read ? "" : " (failed)"));
}

Bytes counted(std::uint8_t first, int size) {
    Bytes b(static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i) b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(first + i);
    return b;
}

}  // namespace

int main() {
    mkdir("/tmp/prefs", 0755);
    signal(SIGPIPE, SIG_IGN);

    PanelSide side;
    std::map<std::string, std::string> nodes;
    if (!side.start(&nodes)) return 1;
    for (const auto &n : nodes) std::printf("  %s is %s\n", n.first.c_str(), n.second.c_str());

    auto &services = dynamic_cast<ListDeviceServices &>(systemDeviceServices());
    checkList(services, nodes);
    checkPermissionLog(nodes);
    checkRetriedOpen(nodes);

    std::thread(watchdog).detach();
    step("discovery", 20);
    clearStubLog();
    Registry registry;
    discoverPanels(services, registry, createGuestPanel);
    check(stubLog() == "Drovanel: BIP listed\n", "discovery logs only the BIP found by the interface walk",
          "log was '" + stubLog() + "'");
    check(registry.panel(PanelSlot::Multipanel) && registry.panel(PanelSlot::Radiopanel1) &&
              registry.panel(PanelSlot::Switchpanel) && registry.panel(PanelSlot::Bip) &&
              !registry.panel(PanelSlot::Radiopanel2) && registry.adopted == 4,
          "discovery drives the four panels");

    step("input", 20);
    checkInput(side, registry, "Multi", PanelSlot::Multipanel, {0x12, 0x34, 0x56});
    checkInput(side, registry, "Radio", PanelSlot::Radiopanel1, {0x81, 0x00, 0x7F});
    checkInput(side, registry, "Switch", PanelSlot::Switchpanel, {0x00, 0x40, 0x01});

    step("feature reports", 30);
    checkFeatureWrite(side, registry, "Multi", PanelSlot::Multipanel, counted(0x00, 13));
    checkFeatureWrite(side, registry, "Radio", PanelSlot::Radiopanel1, counted(0x00, 23));
    checkFeatureWrite(side, registry, "Switch", PanelSlot::Switchpanel, {0x00, 0x3F});
    checkFeatureWrite(side, registry, "BIP", PanelSlot::Bip, {0xB2, 0x64});
    checkFeatureWrite(side, registry, "BIP", PanelSlot::Bip, {0xB8, 0x01, 0x02, 0x04, 0x08, 0x10, 0x20});
    checkFeatureRead(side, registry, "Multi", PanelSlot::Multipanel, counted(0x00, 13));
    checkFeatureRead(side, registry, "BIP", PanelSlot::Bip, {0xB8, 0xFF, 0x00, 0xAA, 0x55, 0x0F, 0xF0});

    step("unplug", 30);
    GuestPanel *radio = registry.panel(PanelSlot::Radiopanel1);
    if (radio != nullptr) {
        std::vector<ListedDevice> listed;
        listSystemDevices(&listed);
        std::string instance = radioInstance(listed);
        side.ask("unplug Radio");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        int before = radio->counting->reads.load();
        double cpuBefore = cpuSeconds();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        int reads = radio->counting->reads.load() - before;
        double cpu = cpuSeconds() - cpuBefore;
        char why[128];
        std::snprintf(why, sizeof why, "%d reads, last result %d, %.2f s of processor in 1 s", reads,
                      radio->counting->lastResult.load(), cpu);
        std::printf("  after the unplug: %s\n", why);
        check(reads == 0 && radio->counting->lastResult.load() == HidDevice::kReadCancelled && cpu < 0.5,
              "an unplugged panel's read reports it gone and the reader stops", why);
        check(radio->deviceGone(), "the panel knows its device is gone");
        check(!radio->hid()->setFeature(counted(0x00, 23).data(), 23), "a feature report to an unplugged panel fails");
        listSystemDevices(&listed);
        check(radioInstance(listed).empty(), "the device list no longer holds the Radio Panel");

        std::string plugged = side.ask("plug Radio");
        listSystemDevices(&listed);
        std::string again = radioInstance(listed);
        check(!again.empty() && again != instance, "the Radio Panel is listed again as a new appearance",
              plugged + ": " + instance + " then " + again);
        checkInput(side, registry, "Multi", PanelSlot::Multipanel, {0x01, 0x02, 0x03});
        checkFeatureWrite(side, registry, "Switch", PanelSlot::Switchpanel, {0x00, 0x01});
    }

    step("teardown", 20);
    for (GuestPanel *&panel : registry.panels) {
        if (panel == nullptr) continue;
        auto begin = Clock::now();
        std::string name = panel->panelName();
        delete panel;
        panel = nullptr;
        long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - begin).count();
        check(ms < kRefreshMs + 1500, "teardown of " + name + " ends promptly", std::to_string(ms) + " ms");
    }
    deadlineMs.store(0);

    side.stop();
    std::printf("hidraw-guest: %d checks, %d failed\n", checksRun, checksFailed);
    return checksFailed == 0 && checksRun > 0 ? 0 : 1;
}
