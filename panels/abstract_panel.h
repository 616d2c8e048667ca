// AbstractPanel: the common base of the panel drivers. It owns the open
// device, the per-panel settings file and its 1024-byte image, the timed
// input queue, and two threads: a reader that blocks in the device read and
// queues each input report, and a refresh thread that writes the panel's
// output report once per refresh period.
#ifndef DROVANEL_PANELS_ABSTRACT_PANEL_H
#define DROVANEL_PANELS_ABSTRACT_PANEL_H

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hid/hid_device.h"
#include "settings_file.h"

namespace drovanel {
namespace profile {
struct Profile;
}  // namespace profile


// Layout of the settings block (and file).
constexpr std::size_t kSettingsSize = 1024;
constexpr std::size_t kLastReportOffset = 0;
constexpr std::size_t kLastReportSize = 4;
constexpr std::size_t kCoalescenceHighOffset = 4;  // time / 255
constexpr std::size_t kCoalescenceLowOffset = 5;   // time % 255
constexpr std::size_t kRepeatThresholdOffset = 6;
constexpr std::size_t kChangeThresholdOffset = 7;
constexpr std::size_t kDriverSettingsOffset = 64;

// Event queue capacity.
constexpr std::size_t kQueueDataSize = 128;
constexpr std::size_t kQueueEvents = 32;
constexpr int kReadSize = 4;

// PanelEvent flags: a report read from the device, the stored last report
// replayed until the first live one, and a panel's input state that its
// refresh thread read back during a device exchange (the Multi Panel's
// start-up exchange), applied like a live report.
constexpr std::uint8_t kEventLive = 0;
constexpr std::uint8_t kEventReplay = 1;
constexpr std::uint8_t kEventReadBack = 2;

constexpr std::uint32_t kDefaultRefreshPeriod = 500;
// After a failed read the reader waits this long before the next one, so an
// unplugged panel does not spin a core.
constexpr std::uint32_t kFailedReadBackoffMs = 100;

class AbstractPanel;
using PanelThreadEntry = void (*)(AbstractPanel *panel);

class AbstractPanel {
public:
    // Takes ownership of device (may be null: then both threads end at once).
    // Loads the settings block; does not start the threads: the owner calls
    // start() once the derived object is complete.
    AbstractPanel(HidDevice *device, const char *panelName, PanelThreadEntry readerEntry,
                  PanelThreadEntry refreshEntry, unsigned coalescenceTime, unsigned repeatThreshold,
                  unsigned changeThreshold);
    // Runs teardown() if the owner has not; owners call teardown() first so
    // that no thread sees a half-destroyed driver.
    virtual ~AbstractPanel();

    AbstractPanel(const AbstractPanel &) = delete;
    AbstractPanel &operator=(const AbstractPanel &) = delete;

    // The four operations, in slot order; empty here.
    virtual void update() {}
    virtual void initialize() {}
    virtual void sendReport() {}
    virtual void handleEvent(const std::uint8_t *bytes, std::uint32_t length, std::uint8_t flag,
                             std::uint32_t tick) {
        (void)bytes;
        (void)length;
        (void)flag;
        (void)tick;
    }
    // The aircraft's profile, or nullptr for the built-in bindings only.
    // Simulator thread; the profile outlives the binding (the next call
    // comes before it goes).
    virtual void bindProfile(profile::Profile *aircraftProfile) { (void)aircraftProfile; }

    // Starts the refresh thread, then the reader thread.
    void start();

    // Wakes and joins the threads (at once: neither is waited out), closes
    // the device and writes the settings file. Idempotent.
    void teardown();
    // Tells both threads to end without waiting for them; teardown() still
    // joins them. An owner tearing down several panels calls this on each
    // first, so that their threads end side by side. Simulator thread.
    void stopSoon();

    // Queues one input report; any thread.
    void pushEvent(const std::uint8_t *bytes, std::uint32_t length, std::uint8_t flag);
    // Hands every queued event to handleEvent, in order; simulator thread.
    void drainEvents();

    // The settings block. Each byte is atomic: the simulator thread edits it
    // (window, menu) while the refresh thread may read driver options.
    std::uint8_t settingByte(std::size_t index) const;
    void setSettingByte(std::size_t index, std::uint8_t value);
    std::uint32_t coalescenceTime() const;
    std::uint8_t repeatThreshold() const;
    std::uint8_t changeThreshold() const;

    const std::string &panelName() const { return name_; }
    const std::wstring &panelNameWide() const { return wideName_; }
    const std::string &settingsPath() const { return settingsPath_; }

    std::uint32_t refreshPeriod() const { return refreshPeriod_.load(); }
    void setRefreshPeriod(std::uint32_t ms) { refreshPeriod_.store(ms); }

    bool running() const { return running_.load(); }
    // Set by the reader when a read reported the device gone while the
    // panel was running (not when teardown cancelled it), or by the refresh
    // thread when a write found it not connected. Any thread.
    bool deviceGone() const { return deviceGone_.load(std::memory_order_relaxed); }
    bool replayPending() const { return replayPending_.load(); }

    // Number of queued events (for tests and diagnostics).
    std::uint32_t queuedEvents();
    bool eventsPending();

    // The standard thread entries and the reader of panels without input.
    static void standardReader(AbstractPanel *panel);
    static void standardRefresh(AbstractPanel *panel);
    static void noReader(AbstractPanel *panel);

protected:
    HidDevice *device() const { return device_; }

    // A driver with resources of its own frees them here; teardown() calls it
    // first, while the threads still run.
    virtual void releaseDriverResources() {}

    // Sleeps up to ms milliseconds; returns early once teardown began.
    void sleepWhileRunning(std::uint32_t ms);

    // Asks the refresh thread to run deviceExchange() before its next
    // report, waking it from its sleep. A request made while one is pending,
    // or while one runs and has not yet read back, merges into that one.
    // Any thread; the simulator thread never waits for the exchange.
    void requestDeviceExchange();
    // Called by deviceExchange() just before it reads the device back: a
    // request made from here on needs an exchange of its own.
    void exchangeReadingBack();
    // A conversation with the device that takes time (write, wait, read
    // back), run on the refresh thread; what it reads reaches the simulator
    // thread through the queue. Empty here.
    virtual void deviceExchange() {}

    std::mutex dataLock;
    std::mutex eventLock;

private:
    void readerLoop();
    // Writes the settings file if the block differs from what the file was
    // last known to hold (always when evenIfUnchanged). The refresh thread
    // calls it every period, so a change reaches the file within a period,
    // off the simulator thread; teardown calls it once the thread is gone.
    void saveSettings(bool evenIfUnchanged);
    void refreshLoop();
    bool takeExchangeRequest();

    // Event queue, guarded by eventLock.
    std::uint8_t eventData_[kQueueDataSize] = {};
    std::uint32_t eventLength_[kQueueEvents] = {};
    std::uint32_t eventTick_[kQueueEvents] = {};
    std::uint8_t eventFlag_[kQueueEvents] = {};
    std::uint32_t eventCount_ = 0;
    bool eventsPending_ = false;

    std::thread refreshThread_;
    std::thread readerThread_;
    PanelThreadEntry readerEntry_;
    PanelThreadEntry refreshEntry_;

    std::atomic<bool> running_{true};
    std::atomic<bool> replayPending_{true};
    std::atomic<bool> tornDown_{false};
    std::atomic<bool> deviceGone_{false};
    HidDevice *device_;
    // The file is open only while the constructor reads it; it is then
    // replaced whole at every write. settingsUsable_: it could be opened.
    SettingsFile settingsFile_;
    bool settingsUsable_ = false;
    // Bytes after the block in a longer file, carried through every write.
    std::vector<std::uint8_t> settingsTail_;
    // What the file holds, as far as this panel knows; refresh thread, then
    // teardown after the join.
    std::uint8_t savedBlock_[kSettingsSize] = {};
    bool savedValid_ = false;
    std::atomic<std::uint8_t> settingsBlock_[kSettingsSize];
    std::string name_;
    std::wstring wideName_;
    std::string settingsPath_;
    std::atomic<std::uint32_t> refreshPeriod_{kDefaultRefreshPeriod};
    // Idle, pending or running (the constants in the source file).
    std::atomic<std::uint8_t> exchangeState_{0};

    std::mutex wakeLock_;
    std::condition_variable wake_;
};

// The path of a file in the host's preferences folder, built from the
// host's preferences path and directory separator; at most 1023 bytes.
std::string preferencesFolderFile(const char *fileName);

}  // namespace drovanel

#endif
