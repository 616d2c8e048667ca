// The Windows HID backend under wine. A named pipe opened for overlapped I/O
// stands in for a panel: its reads go through the same ReadFile, event and
// GetOverlappedResult path. Discovery then walks wine's own device lists,
// which hold none of our panels but some HID devices of wine's.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "device_watch.h"
#include "discovery.h"
#include "hid/device_list.h"
#include "hid/device_services.h"
#include "hid/win32_device.h"
#include "hostsim/hostsim.h"

namespace drovanel {
namespace {

using namespace std::chrono_literals;

// A pipe whose client end is the device; the test writes reports into the
// server end.
class PipePanel {
public:
    PipePanel() {
        static int serial = 0;
        name_ = L"\\\\.\\pipe\\drovanel-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(serial++);
        server_ = CreateNamedPipeW(name_.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE, 1,
                                   64, 64, 0, nullptr);
        HANDLE client = CreateFileW(name_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OVERLAPPED, nullptr);
        if (client != INVALID_HANDLE_VALUE) device_ = adoptWin32Handle(client);
    }
    ~PipePanel() {
        delete device_;
        if (server_ != INVALID_HANDLE_VALUE) CloseHandle(server_);
    }
    bool ready() const { return server_ != INVALID_HANDLE_VALUE && device_ != nullptr; }
    HidDevice &device() { return *device_; }
    void send(const std::vector<std::uint8_t> &report) {
        DWORD put = 0;
        WriteFile(server_, report.data(), static_cast<DWORD>(report.size()), &put, nullptr);
    }

private:
    std::wstring name_;
    HANDLE server_ = INVALID_HANDLE_VALUE;
    HidDevice *device_ = nullptr;
};

// A read on its own thread, as the panel's reader thread makes it.
class BackgroundRead {
public:
    BackgroundRead(HidDevice &device, std::wstring eventName)
        : eventName_(std::move(eventName)), thread_([this, &device] {
              result_.store(device.read(buffer_, 4, eventName_.c_str()));
              done_.store(true);
          }) {}
    ~BackgroundRead() {
        if (thread_.joinable()) thread_.join();
    }
    bool finishesWithin(std::chrono::milliseconds limit) {
        for (auto waited = 0ms; waited < limit && !done_.load(); waited += 5ms) std::this_thread::sleep_for(5ms);
        return done_.load();
    }
    int result() {
        thread_.join();
        return result_.load();
    }
    std::vector<std::uint8_t> bytes() const { return std::vector<std::uint8_t>(buffer_, buffer_ + 4); }

private:
    std::wstring eventName_;
    std::uint8_t buffer_[4] = {};
    std::atomic<int> result_{-100};
    std::atomic<bool> done_{false};
    std::thread thread_;
};

std::wstring uniqueEventName(const wchar_t *panel) {
    return std::wstring(panel) + L"-" + std::to_wstring(GetCurrentProcessId());
}

TEST(Win32DeviceTest, ReadsReportsWaitingAndArrivingWhileBlocked) {
    PipePanel panel;
    ASSERT_TRUE(panel.ready());
    panel.send({0x00, 0x11, 0x22, 0x33});
    std::uint8_t buffer[4] = {};
    EXPECT_EQ(panel.device().read(buffer, 4, uniqueEventName(L"Multipanel").c_str()), 4);
    EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + 4), (std::vector<std::uint8_t>{0x00, 0x11, 0x22, 0x33}));

    BackgroundRead read(panel.device(), uniqueEventName(L"Multipanel"));
    EXPECT_FALSE(read.finishesWithin(100ms));
    panel.send({0x00, 0x01, 0x02, 0x04});
    EXPECT_EQ(read.result(), 4);
    EXPECT_EQ(read.bytes(), (std::vector<std::uint8_t>{0x00, 0x01, 0x02, 0x04}));
}

TEST(Win32DeviceTest, CancelEndsABlockedReadAndEveryLaterOne) {
    PipePanel panel;
    ASSERT_TRUE(panel.ready());
    BackgroundRead read(panel.device(), uniqueEventName(L"Radiopanel1"));
    EXPECT_FALSE(read.finishesWithin(100ms));
    panel.device().cancel();
    ASSERT_TRUE(read.finishesWithin(5000ms));
    EXPECT_EQ(read.result(), HidDevice::kReadCancelled);

    // A report that arrives later is not read any more.
    panel.send({0x00, 0x01, 0x02, 0x03});
    std::uint8_t buffer[4] = {};
    EXPECT_EQ(panel.device().read(buffer, 4, uniqueEventName(L"Radiopanel1").c_str()), HidDevice::kReadCancelled);
}

// The read's event is named after the panel, so another process opening
// the same name can signal it. The read must go on waiting for its report
// rather than return while the system still writes into its buffer.
TEST(Win32DeviceTest, ASignalFromElsewhereDoesNotEndTheRead) {
    PipePanel panel;
    ASSERT_TRUE(panel.ready());
    std::wstring name = uniqueEventName(L"Switchpanel");
    BackgroundRead read(panel.device(), name);
    HANDLE foreign = nullptr;
    for (int i = 0; i < 200 && foreign == nullptr; ++i) {
        foreign = OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str());
        if (foreign == nullptr) std::this_thread::sleep_for(5ms);
    }
    ASSERT_NE(foreign, nullptr);
    std::this_thread::sleep_for(20ms);  // lets the read reach its wait
    SetEvent(foreign);
    EXPECT_FALSE(read.finishesWithin(100ms));
    panel.send({0x00, 0x0A, 0x0B, 0x0C});
    EXPECT_EQ(read.result(), 4);
    EXPECT_EQ(read.bytes(), (std::vector<std::uint8_t>{0x00, 0x0A, 0x0B, 0x0C}));
    CloseHandle(foreign);
}

// A device that left fails its reads for good: with device-not-connected on
// Windows, with access denied under wine (seen on unplugged uhid panels in
// the kernel guest). Other failures may pass, so the reader retries them.
TEST(Win32DeviceTest, ReadErrorsOfADeviceThatLeftMeanGoneForGood) {
    struct Row {
        unsigned long error;
        bool gone;
    };
    const Row rows[] = {
        {ERROR_DEVICE_NOT_CONNECTED, true}, {ERROR_DEV_NOT_EXIST, true},   {ERROR_ACCESS_DENIED, true},
        {ERROR_GEN_FAILURE, false},         {ERROR_BROKEN_PIPE, false},    {ERROR_INVALID_USER_BUFFER, false},
        {ERROR_IO_PENDING, false},          {ERROR_SUCCESS, false},
    };
    for (const Row &row : rows) EXPECT_EQ(readErrorMeansGone(row.error), row.gone) << "error " << row.error;
}

// A write to a panel unplugged (and maybe plugged back in at the same path)
// fails with device-not-connected: the panel counts as gone. Access denied
// on a write means no such thing.
TEST(Win32DeviceTest, WriteErrorsOfADeviceThatLeftMeanGone) {
    struct Row {
        unsigned long error;
        bool gone;
    };
    const Row rows[] = {{ERROR_DEVICE_NOT_CONNECTED, true}, {ERROR_DEV_NOT_EXIST, true}, {ERROR_ACCESS_DENIED, false},
                        {ERROR_GEN_FAILURE, false},         {ERROR_SUCCESS, false}};
    for (const Row &row : rows) EXPECT_EQ(writeErrorMeansGone(row.error), row.gone) << "error " << row.error;
}

TEST(Win32DeviceTest, FeatureReportsOnSomethingThatIsNoHidDeviceFail) {
    PipePanel panel;
    ASSERT_TRUE(panel.ready());
    std::uint8_t report[13] = {};
    EXPECT_FALSE(panel.device().setFeature(report, 13));
    EXPECT_FALSE(panel.device().getFeature(report, 13));
    EXPECT_FALSE(panel.device().setFeature(report, 0));
    EXPECT_FALSE(panel.device().disconnected()) << "a refused write is not an unplug";
}

// --- the system's device lists, as wine presents them ---

class NoPanelsRegistry : public PanelRegistry {
public:
    bool slotEmpty(PanelSlot) const override { return true; }
    void adopt(PanelSlot, AbstractPanel *panel) override {
        ++adopted;
        panel->teardown();
        delete panel;
    }
    bool ignoreSwitchPanel() const override { return false; }
    // Keeps the devices that failed to open and leaves them alone after.
    void openFailed(const std::string &key) override { failed.push_back(key); }
    bool skipDevice(const std::string &key) const override {
        return skipFailed && std::find(failed.begin(), failed.end(), key) != failed.end();
    }
    int adopted = 0;
    std::vector<std::string> failed;
    bool skipFailed = false;
};

int createCalls = 0;
AbstractPanel *countCreate(PanelSlot, HidDevice *device) {
    ++createCalls;
    delete device;
    return nullptr;
}

TEST(Win32ServicesTest, InterfaceDetailsFollowTheSizeQuery) {
    DeviceServices &services = systemDeviceServices();
    ASSERT_TRUE(services.openInterfaceSet()) << services.lastError();
    int interfaces = 0;
    for (std::uint32_t dev = 0; services.enumDevice(dev); ++dev) {
        for (std::uint32_t iface = 0; services.enumInterface(dev, iface); ++iface) {
            ++interfaces;
            std::uint32_t required = 0;
            EXPECT_FALSE(services.interfaceDetail(dev, iface, nullptr, 0, &required));
            EXPECT_EQ(services.lastError(), 122u);
            ASSERT_GT(required, 4u);
            std::vector<wchar_t> path(required + 1, L'\0');
            ASSERT_TRUE(services.interfaceDetail(dev, iface, path.data(), required + 1, &required))
                << services.lastError();
            EXPECT_EQ(std::wstring(path.data()).rfind(L"\\\\?\\", 0), 0u);
            // A record too small for the path is refused with its size.
            std::vector<wchar_t> small(2, L'\0');
            EXPECT_FALSE(services.interfaceDetail(dev, iface, small.data(), 2, &required));
            EXPECT_EQ(services.lastError(), 122u);
        }
        EXPECT_EQ(services.lastError(), 259u);
    }
    EXPECT_EQ(services.lastError(), 259u);
    services.closeInterfaceSet();
    if (interfaces == 0) GTEST_SKIP() << "wine lists no HID interface here";
}

TEST(Win32ServicesTest, RawInputNamesAndInfoOfEveryDevice) {
    DeviceServices &services = systemDeviceServices();
    std::uint32_t count = 0;
    ASSERT_TRUE(services.rawInputCount(&count));
    if (count == 0) GTEST_SKIP() << "wine lists no raw-input device here";
    std::vector<void *> list(count, nullptr);
    ASSERT_TRUE(services.rawInputList(list.data(), count));
    for (void *handle : list) {
        std::uint32_t chars = 0;
        ASSERT_TRUE(services.rawInputNameLength(handle, &chars));
        ASSERT_GT(chars, 0u);
        std::vector<wchar_t> name(chars + 1, L'\0');
        ASSERT_TRUE(services.rawInputName(handle, name.data(), chars + 1));
        EXPECT_FALSE(std::wstring(name.data()).empty());
        RawInputDeviceInfo info;
        ASSERT_TRUE(services.rawInputInfo(handle, &info));
        EXPECT_LE(info.type, 2u);
        if (info.type != kRawInputTypeHid) {
            EXPECT_EQ(info.vendorId, 0);
            EXPECT_EQ(info.productId, 0);
        }
    }
}

// Discovery over wine's lists finds no panel, creates nothing and logs only
// its own messages about the devices it could not use.
TEST(Win32ServicesTest, DiscoveryFindsNoPanelAmongWinesDevices) {
    hostsim::reset();
    NoPanelsRegistry registry;
    createCalls = 0;
    discoverPanels(systemDeviceServices(), registry, countCreate);
    EXPECT_EQ(createCalls, 0);
    EXPECT_EQ(registry.adopted, 0);
    std::string log = hostsim::log();
    const char *allowed[] = {"Drovanel : no handle error=", "Drovanel : no hid attributes error=",
                             "Drovanel : end of interface list\n", "Drovanel : no input devices\n"};
    std::size_t at = 0;
    while (at < log.size()) {
        bool known = false;
        for (const char *prefix : allowed) {
            if (log.compare(at, std::strlen(prefix), prefix) == 0) {
                known = true;
                break;
            }
        }
        ASSERT_TRUE(known) << log.substr(at);
        at = log.find('\n', at);
        at = at == std::string::npos ? log.size() : at + 1;
    }
}

// The watch's own SetupDi listing names the same interfaces as discovery's
// walk, so the core can tell which of them left.
TEST(Win32WatchTest, TheWatchListsTheInterfacesDiscoveryWalks) {
    std::vector<ListedDevice> listed;
    ASSERT_TRUE(listSystemDevices(&listed));
    std::vector<std::string> walked;
    DeviceServices &services = systemDeviceServices();
    ASSERT_TRUE(services.openInterfaceSet());
    for (std::uint32_t dev = 0; services.enumDevice(dev); ++dev) {
        for (std::uint32_t iface = 0; services.enumInterface(dev, iface); ++iface) {
            std::uint32_t required = 0;
            services.interfaceDetail(dev, iface, nullptr, 0, &required);
            std::vector<wchar_t> path(required + 1, L'\0');
            ASSERT_TRUE(services.interfaceDetail(dev, iface, path.data(), required + 1, &required));
            walked.push_back(devicePathKey(path.data()));
        }
    }
    services.closeInterfaceSet();
    std::vector<std::string> keys;
    for (const ListedDevice &d : listed) {
        keys.push_back(devicePathKey(d.path));
        std::uint16_t vendor = 0, product = 0;
        if (idsFromDevicePath(d.path, &vendor, &product)) {
            EXPECT_EQ(vendor, d.vendorId) << d.path;
            EXPECT_EQ(product, d.productId) << d.path;
        }
    }
    std::sort(keys.begin(), keys.end());
    std::sort(walked.begin(), walked.end());
    EXPECT_EQ(keys, walked);
    if (listed.empty()) GTEST_SKIP() << "wine lists no HID interface here";
}

// The watch's thread lists wine's devices and stops at once when told; its
// first listing raises a change, and with no panel among wine's devices no
// later listing does.
TEST(Win32WatchTest, TheWatchThreadRunsAndStopsPromptly) {
    DeviceWatch watch(listSystemDevices, 10);
    watch.start();
    bool first = false;
    for (auto waited = 0ms; waited < 2000ms && !first; waited += 5ms) {
        first = watch.takeChange();
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_TRUE(first);
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(watch.takeChange());
    auto begin = std::chrono::steady_clock::now();
    watch.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 1s);
}

// A device that would not open is named once: the core's next discovery
// (after something was plugged) leaves it alone until it leaves the list.
TEST(Win32WatchTest, ADeviceThatFailedToOpenIsNotTriedAgain) {
    hostsim::reset();
    NoPanelsRegistry registry;
    discoverPanels(systemDeviceServices(), registry, countCreate);
    const std::string first = hostsim::log();
    hostsim::clearLog();
    registry.skipFailed = true;
    discoverPanels(systemDeviceServices(), registry, countCreate);
    if (registry.failed.empty()) GTEST_SKIP() << "every wine device opened";
    EXPECT_EQ(hostsim::log().find("no handle"), std::string::npos) << first << "then\n" << hostsim::log();
}

}  // namespace
}  // namespace drovanel
