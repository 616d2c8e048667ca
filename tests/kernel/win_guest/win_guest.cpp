// The Windows plug-in against a real HID stack, run under wine inside the
// kernel test's guest: the stand-in host (built as the SDK's DLLs) loads
// win.xpl with LoadLibrary, and wine's HID bus driver gives the plug-in the
// hidraw devices that uhid-panels made through the kernel's uhid driver.
//
// Usage: win-guest <win.xpl> <results file> <command pipe> <answer pipe> <output file>
// The pipes are uhid-panels' standard input and output (named pipes of the
// guest); the output file is where this program's standard output goes. The results file gets one "PASS <check>" or "FAIL <check>: <why>"
// line per check and a closing "win-guest: N checks, M failed". Exits 0
// only when every check passed.
#include <windows.h>

#include <setupapi.h>

extern "C" {
#include <hidsdi.h>
}

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "hid/win32_device.h"
#include "hostsim/hostsim.h"
#include "hostsim/panels/bip.h"
#include "hostsim/panels/multipanel.h"
#include "hostsim/panels/radiopanel.h"
#include "hostsim/panels/switchpanel.h"
#include "tests/kernel/hex_text.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace mp = hostsim::multipanel;
namespace rp = hostsim::radiopanel;
namespace sp = hostsim::switchpanel;

constexpr std::uint16_t kSaitek = 0x06A3;
constexpr std::uint16_t kOtherMaker = 0x1209;
// uhid-panels' labels and the products they carry.
struct PanelId {
    const char *label;
    std::uint16_t product;
};
constexpr PanelId kPanels[] = {{"Multi", 0x0D06}, {"Radio", 0x0D05}, {"Switch", 0x0D67}, {"BIP", 0x0B4E}};

// wine's HID bus brings the devices up after its own start; this long at most.
constexpr int kDeviceWaitMs = 120000;
constexpr int kReportWaitMs = 8000;
// Disable stops five reader and refresh threads; each wakes within a
// refresh period, so this is generous even under emulation.
constexpr long long kDisableLimitMs = 5000;

FILE *results = nullptr;
int checksRun = 0;
int checksFailed = 0;

void check(bool ok, const std::string &name, const std::string &why = "") {
    ++checksRun;
    if (!ok) ++checksFailed;
    std::fprintf(results, "%s %s%s%s\n", ok ? "PASS" : "FAIL", name.c_str(), ok || why.empty() ? "" : ": ",
                 ok ? "" : why.c_str());
    std::fflush(results);
}

Bytes unhex(const std::string &text) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        out.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
    }
    return out;
}

// uhid-panels' command pipe and answer pipe, opened by their paths: the
// plug-in writes lines of its own to standard output.
HANDLE toPanels = INVALID_HANDLE_VALUE;
HANDLE fromPanels = INVALID_HANDLE_VALUE;
std::string pending;

HANDLE openPipe(const char *path, DWORD access) {
    return CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

// One command to uhid-panels and its answer line ("" when the pipe ended).
std::string ask(const std::string &command) {
    std::string line = command + "\n";
    DWORD written = 0;
    if (!WriteFile(toPanels, line.data(), static_cast<DWORD>(line.size()), &written, nullptr)) return "";
    std::size_t end;
    while ((end = pending.find('\n')) == std::string::npos) {
        char chunk[4096];
        DWORD got = 0;
        if (!ReadFile(fromPanels, chunk, sizeof chunk, &got, nullptr) || got == 0) return "";
        pending.append(chunk, got);
    }
    std::string answer = pending.substr(0, end);
    pending.erase(0, end + 1);
    return answer;
}

// The feature reports a panel received since the last ask, oldest first.
std::vector<Bytes> received(const char *label) {
    std::string answer = ask(std::string("received ") + label);
    std::vector<Bytes> reports;
    if (answer.compare(0, 3, "ok ") != 0) return reports;
    std::string list = answer.substr(3) + ",";
    for (std::size_t start = 0, end; (end = list.find(',', start)) != std::string::npos; start = end + 1) {
        if (end > start) reports.push_back(unhex(list.substr(start, end - start)));
    }
    return reports;
}

// An input report as the panel sends it: the uhid side gives the data bytes
// only (the descriptor numbers no input); the host's helpers put id 0 first.
std::string sendInput(const char *label, const Bytes &withId) {
    return ask(std::string("input ") + label + " " + hex(withId.data() + 1, withId.size() - 1));
}

// Runs the flight loop every 50 ms, as the simulator does, until done()
// holds or the time is up.
bool flyUntil(const std::function<bool()> &done, int limitMs = kReportWaitMs) {
    auto until = Clock::now() + std::chrono::milliseconds(limitMs);
    while (!done()) {
        if (Clock::now() > until) return false;
        hostsim::runFlightLoops(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// Keeps every report a panel receives while the flight loop runs, and finds
// the latest one of an id and length.
struct ReportLog {
    explicit ReportLog(const char *l) : label(l) {}
    void collect() {
        for (Bytes &r : received(label)) all.push_back(std::move(r));
    }
    Bytes latest(std::uint8_t id, std::size_t length) const {
        for (auto it = all.rbegin(); it != all.rend(); ++it) {
            if (it->size() == length && (*it)[0] == id) return *it;
        }
        return {};
    }
    // Every report as hex, for a failure's reason.
    std::string text() const {
        std::string out;
        for (const Bytes &r : all) out += (out.empty() ? "" : ",") + hex(r);
        return out.empty() ? "none" : out;
    }
    const char *label;
    std::vector<Bytes> all;
};

std::string readText(const char *path) {
    std::string text;
    FILE *file = std::fopen(path, "rb");
    if (file == nullptr) return text;
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text.append(chunk, n);
    std::fclose(file);
    return text;
}

// ---------------------------------------------------------------- devices

// The Saitek products that wine's two device lists show.
struct Listed {
    std::vector<std::uint16_t> interfaces;  // SetupDi's HID interfaces (by HidD_GetAttributes)
    std::vector<std::uint16_t> rawInput;    // the raw-input list
};

Listed listSaitekDevices() {
    Listed listed;
    GUID hid;
    HidD_GetHidGuid(&hid);
    HDEVINFO set = SetupDiGetClassDevsW(&hid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set != INVALID_HANDLE_VALUE) {
        SP_DEVICE_INTERFACE_DATA iface = {};
        iface.cbSize = sizeof iface;
        for (DWORD i = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &hid, i, &iface); ++i) {
            std::vector<DWORD> storage(512, 0);
            auto *detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W *>(storage.data());
            detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
            if (!SetupDiGetDeviceInterfaceDetailW(set, &iface, detail, storage.size() * sizeof(DWORD), nullptr,
                                                  nullptr)) {
                continue;
            }
            HANDLE h = CreateFileW(detail->DevicePath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                   0, nullptr);
            if (h == INVALID_HANDLE_VALUE) continue;
            HIDD_ATTRIBUTES attributes = {};
            attributes.Size = sizeof attributes;
            if (HidD_GetAttributes(h, &attributes) && attributes.VendorID == kSaitek) {
                listed.interfaces.push_back(attributes.ProductID);
            }
            CloseHandle(h);
        }
        SetupDiDestroyDeviceInfoList(set);
    }
    UINT count = 0;
    if (GetRawInputDeviceList(nullptr, &count, sizeof(RAWINPUTDEVICELIST)) == 0 && count > 0) {
        std::vector<RAWINPUTDEVICELIST> list(count);
        UINT stored = GetRawInputDeviceList(list.data(), &count, sizeof(RAWINPUTDEVICELIST));
        for (UINT i = 0; i < stored && stored != static_cast<UINT>(-1); ++i) {
            RID_DEVICE_INFO info = {};
            info.cbSize = sizeof info;
            UINT size = sizeof info;
            if (GetRawInputDeviceInfoW(list[i].hDevice, RIDI_DEVICEINFO, &info, &size) == static_cast<UINT>(-1)) {
                continue;
            }
            if (info.dwType == RIM_TYPEHID && info.hid.dwVendorId == kSaitek) {
                listed.rawInput.push_back(static_cast<std::uint16_t>(info.hid.dwProductId));
            }
        }
    }
    return listed;
}

bool listsEveryPanel(const std::vector<std::uint16_t> &products) {
    for (const PanelId &panel : kPanels) {
        bool found = false;
        for (std::uint16_t p : products) found |= p == panel.product;
        if (!found) return false;
    }
    return true;
}

std::string productsText(const std::vector<std::uint16_t> &products) {
    std::string out;
    char id[8];
    for (std::uint16_t p : products) {
        std::snprintf(id, sizeof id, "%04x", p);
        out += (out.empty() ? "" : " ") + std::string(id);
    }
    return out.empty() ? "none" : out;
}

// Waits until both lists hold all four panels: wine's bus driver adds the
// hidraw devices after it starts, and the plug-in looks only once.
bool waitForDevices() {
    auto begin = Clock::now();
    Listed listed;
    for (;;) {
        listed = listSaitekDevices();
        if (listsEveryPanel(listed.interfaces) && listsEveryPanel(listed.rawInput)) break;
        if (Clock::now() - begin > std::chrono::milliseconds(kDeviceWaitMs)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - begin).count();
    bool ok = listsEveryPanel(listed.interfaces) && listsEveryPanel(listed.rawInput);
    check(ok, "wine lists the four panels in both device lists",
          "interfaces " + productsText(listed.interfaces) + "; raw input " + productsText(listed.rawInput) +
              " after " + std::to_string(ms) + " ms");
    return ok;
}

// ---------------------------------------------------------------- scenario

// What the plug-in logs at enable when it finds the four panels: no
// preferences file yet; the BIP in the interface walk (without a layout);
// the Radio, Multi and Switch Panels in the raw-input walk (wine lists
// devices by their ids, so in this order), each as it starts. No line of a
// failed walk or open: wine's own devices and the other maker's are opened,
// identified and closed in silence.
const char kEnableLog[] =
    "Drovanel : read prefs failed - empty file"
    "Drovanel: BIP listed\n"
    "Drovanel : BIP xml file >< not found\n"
    "check buttons passed"
    "init start\n"
    "init done\n";

void setUpAircraft() {
    hostsim::setInt("sim/aircraft/electrical/num_batteries", 1);
    hostsim::setIntAt("sim/cockpit/electrical/battery_array_on", 0, 1);
    hostsim::setInt("sim/cockpit/electrical/avionics_on", 1);
    hostsim::setFloat("sim/cockpit/electrical/instrument_brightness", 0.75f);
    hostsim::setFloat("sim/cockpit/autopilot/heading_mag", 90.0f);
    hostsim::setInt("sim/cockpit/radios/com1_freq_hz", 11800);
    hostsim::setInt("sim/cockpit/radios/com1_stdby_freq_hz", 12000);
    hostsim::setInt("sim/cockpit/radios/nav1_freq_hz", 11030);
    hostsim::setInt("sim/cockpit/radios/nav1_stdby_freq_hz", 11150);
    for (int i = 0; i < 3; ++i) {
        hostsim::setIntAt("sim/aircraft/parts/acf_gear_type", i, 2);
        hostsim::setFloatAt("sim/aircraft/parts/acf_gear_deploy", i, 1.0f);
    }
}

void playScenario(const char *pluginPath, const char *outputPath) {
    // Nothing left over from an earlier run in this guest.
    for (const PanelId &panel : kPanels) received(panel.label);
    // The Multi Panel's state read at start: the selector at HDG.
    ask("answer Multi " + hex(mp::stateAnswer(mp::Selector::Hdg)));

    hostsim::reset();
    setUpAircraft();
    hostsim::Plugin plugin;
    std::string error;
    check(plugin.load(pluginPath, &error), "the host loads win.xpl with LoadLibrary", error);
    if (!plugin.loaded()) return;
    check(plugin.start(nullptr, nullptr, nullptr) == 1, "the plug-in starts");
    check(plugin.enable() == 1, "the plug-in enables");
    check(hostsim::log() == kEnableLog, "discovery finds the four panels through the Windows walks",
          "log: [" + hostsim::log() + "]");
    hostsim::clearLog();

    // The Multi Panel's start-up exchange runs on its refresh thread; the
    // state it reads back is applied by a flight loop.
    check(flyUntil([] { return hostsim::log().find("get feature\n") != std::string::npos; }),
          "the Multi Panel's start-up state is read back and applied in a flight loop",
          "log: [" + hostsim::log() + "]");

    // Switch Panel: the plug-in takes its switch positions over at start, so
    // the pilot's switches decide the power: battery and avionics on, gear down.
    sp::Switches switches;
    switches.battery = true;
    switches.avionics = true;
    switches.gear = sp::GearLever::Down;
    std::string answer = sendInput("Switch", sp::inputReport(switches));
    check(answer == "ok", "uhid sends the Switch Panel's switches", answer);
    bool powered = flyUntil([] {
        return hostsim::getIntAt("sim/cockpit/electrical/battery_array_on", 0) == 1 &&
               hostsim::getInt("sim/cockpit/electrical/avionics_on") == 1;
    });
    check(powered, "a Switch Panel report reaches the simulator as battery and avionics on");

    // Multi Panel: one notch up at HDG turns the heading bug to 91.
    answer = sendInput("Multi", mp::encoderReport(mp::Selector::Hdg, mp::Encoder::Up));
    check(answer == "ok", "uhid sends the notch", answer);
    bool turned = flyUntil([] { return hostsim::getFloat("sim/cockpit/autopilot/heading_mag") != 90.0f; });
    check(turned && hostsim::getFloat("sim/cockpit/autopilot/heading_mag") == 91.0f,
          "a Multi Panel report reaches the simulator as a heading change",
          "heading " + std::to_string(hostsim::getFloat("sim/cockpit/autopilot/heading_mag")));
    ReportLog multi("Multi");
    bool shown = flyUntil([&] {
        multi.collect();
        return mp::decodeDisplay(multi.latest(0, 13)).top == "  091";
    });
    check(shown, "the Multi Panel shows the new heading", "reports " + multi.text());

    // Radio Panel: COM1 above, NAV1 below.
    answer = sendInput("Radio", rp::inputReport(rp::Selector::Com1, rp::Selector::Nav1));
    check(answer == "ok", "uhid sends the Radio Panel's selectors", answer);
    ReportLog radio("Radio");
    rp::Displays displays;
    bool tuned = flyUntil([&] {
        radio.collect();
        return rp::decodeDisplays(radio.latest(0, rp::kDisplayReportSize), &displays) &&
               displays.upperActive == "118.00" && displays.upperStandby == "120.00" &&
               displays.lowerActive == "110.30" && displays.lowerStandby == "111.50";
    });
    check(tuned, "the Radio Panel's display report arrives with COM1 and NAV1", "reports " + radio.text());

    // Switch Panel: three gear legs down and locked light the three greens.
    ReportLog lamps("Switch");
    bool lit = flyUntil([&] {
        lamps.collect();
        return hex(lamps.latest(0, 2)) == "0007";
    });
    check(lit, "the Switch Panel's lamp report arrives with three greens", "reports " + lamps.text());

    // BIP: both feature reports, numbered, at 70 % with every lens dark (no
    // layout configured).
    ReportLog bip("BIP");
    bool both = flyUntil([&] {
        bip.collect();
        return hex(bip.latest(0xB2, 2)) == "b246" && hex(bip.latest(0xB8, 7)) == "b8000000000000";
    });
    check(both, "the BIP's brightness and lens reports arrive", "reports " + bip.text());
    bool wrong = false;
    for (const Bytes &r : bip.all) wrong |= !((r.size() == 2 && r[0] == 0xB2) || (r.size() == 7 && r[0] == 0xB8));
    check(!wrong, "the BIP gets no report of another id or length", "reports " + bip.text());

    auto begin = Clock::now();
    plugin.disable();
    long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - begin).count();
    check(ms < kDisableLimitMs, "disable tears every panel down promptly", std::to_string(ms) + " ms");
    std::fprintf(results, "note: disable took %lld ms\n", ms);
    check(hostsim::log().find("rror") == std::string::npos, "no error logged while running",
          "log: [" + hostsim::log() + "]");
    plugin.stop();
    plugin.unload();

    // The Switch Panel tells on standard output whether each lamp report
    // went out.
    std::fflush(stdout);
    std::string output = readText(outputPath);
    int sent = 0;
    std::string failed;
    int line = 0;
    for (std::size_t at = 0, end; (end = output.find('\n', at)) != std::string::npos; at = end + 1, ++line) {
        std::string text = output.substr(at, end - at);
        if (!text.empty() && text.back() == '\r') text.pop_back();  // a text-mode line end
        if (text == "feature set") ++sent;
        if (text == "feature not set") failed += " " + std::to_string(line);
    }
    check(sent > 0 && failed.empty(), "every Switch Panel lamp report is sent",
          std::to_string(sent) + " sent, not sent at output lines" + failed + " of " + std::to_string(line));
    std::string offThread;
    for (const std::string &call : hostsim::offThreadCalls()) offThread += call + " ";
    check(offThread.empty(), "no host call from the panels' threads", offThread);
}

// ---------------------------------------------------------------- unplug

// The path of the first HID interface of another maker's uhid device.
std::wstring otherDevicePath(std::uint16_t *product) {
    std::wstring found;
    GUID hid;
    HidD_GetHidGuid(&hid);
    HDEVINFO set = SetupDiGetClassDevsW(&hid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) return found;
    SP_DEVICE_INTERFACE_DATA iface = {};
    iface.cbSize = sizeof iface;
    for (DWORD i = 0; found.empty() && SetupDiEnumDeviceInterfaces(set, nullptr, &hid, i, &iface); ++i) {
        std::vector<DWORD> storage(512, 0);
        auto *detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W *>(storage.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!SetupDiGetDeviceInterfaceDetailW(set, &iface, detail, storage.size() * sizeof(DWORD), nullptr, nullptr)) {
            continue;
        }
        HANDLE h = CreateFileW(detail->DevicePath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                               nullptr);
        if (h == INVALID_HANDLE_VALUE) continue;
        HIDD_ATTRIBUTES attributes = {};
        attributes.Size = sizeof attributes;
        if (HidD_GetAttributes(h, &attributes) && attributes.VendorID == kOtherMaker) {
            found = detail->DevicePath;
            *product = attributes.ProductID;
        }
        CloseHandle(h);
    }
    SetupDiDestroyDeviceInfoList(set);
    return found;
}

// A device that leaves while the backend's read waits on it: the read, and
// every later one, report it gone for good, so the panel's reader stops
// instead of failing again and again. Each run unplugs another of the other
// maker's devices (uhid-panels' "Other<product - 1>").
void unplugWhileReading() {
    std::uint16_t product = 0;
    std::wstring path = otherDevicePath(&product);
    if (path.empty()) {
        check(false, "another maker's device is there to unplug");
        return;
    }
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        check(false, "the device to unplug opens", "error " + std::to_string(GetLastError()));
        return;
    }
    drovanel::HidDevice *device = drovanel::adoptWin32Handle(handle);
    std::atomic<int> first{-100};
    std::atomic<DWORD> firstError{0};
    std::thread reader([&] {
        std::uint8_t buffer[8];
        first.store(device->read(buffer, sizeof buffer, L"drovanel-win-guest-unplug"));
        firstError.store(GetLastError());
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::string answer = ask("unplug Other" + std::to_string(product - 1));
    auto until = Clock::now() + std::chrono::milliseconds(kReportWaitMs);
    while (first.load() == -100 && Clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    bool ended = first.load() != -100;
    if (!ended) device->cancel();
    reader.join();
    std::uint8_t buffer[8];
    int second = device->read(buffer, sizeof buffer, L"drovanel-win-guest-unplug");
    DWORD secondError = GetLastError();
    delete device;
    check(answer == "ok" && ended, "a waiting read ends when its device leaves", answer);
    check(ended && first.load() == drovanel::HidDevice::kReadCancelled &&
              second == drovanel::HidDevice::kReadCancelled,
          "reads of a device that left report it gone for good",
          "first " + std::to_string(first.load()) + " (error " + std::to_string(firstError.load()) + "), then " +
              std::to_string(second) + " (error " + std::to_string(secondError) + ")");
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 6) return 2;
    results = std::fopen(argv[2], "w");
    toPanels = openPipe(argv[3], GENERIC_WRITE);
    fromPanels = openPipe(argv[4], GENERIC_READ);
    if (results == nullptr || toPanels == INVALID_HANDLE_VALUE || fromPanels == INVALID_HANDLE_VALUE) return 2;
    auto begin = Clock::now();
    if (waitForDevices()) {
        playScenario(argv[1], argv[5]);
        unplugWhileReading();
    }
    long long s = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - begin).count();
    std::fprintf(results, "win-guest: %d checks, %d failed (%lld s)\n", checksRun, checksFailed, s);
    std::fclose(results);
    CloseHandle(toPanels);
    CloseHandle(fromPanels);
    return checksFailed == 0 ? 0 : 1;
}
