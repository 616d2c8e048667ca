#include "abstract_panel.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "XPLMUtilities.h"
#include "tick.h"

namespace drovanel {

namespace {
// The start-up exchange's state: a request turns idle into pending, the
// refresh thread pending into running and, once it is done, running back
// into idle.
constexpr std::uint8_t kExchangeIdle = 0;
constexpr std::uint8_t kExchangePending = 1;
constexpr std::uint8_t kExchangeRunning = 2;
}  // namespace

std::string preferencesFolderFile(const char *fileName) {
    char prefs[1024] = {};
    XPLMGetPrefsPath(prefs);
    XPLMExtractFileAndPath(prefs);
    std::string path(prefs);
    const char *separator = XPLMGetDirectorySeparator();
    if (separator != nullptr) path += separator;
    path += fileName;
    if (path.size() > 1023) path.resize(1023);
    return path;
}

AbstractPanel::AbstractPanel(HidDevice *device, const char *panelName, PanelThreadEntry readerEntry,
                             PanelThreadEntry refreshEntry, unsigned coalescenceTime, unsigned repeatThreshold,
                             unsigned changeThreshold)
    : readerEntry_(readerEntry), refreshEntry_(refreshEntry), device_(device), name_(panelName) {
    for (auto &byte : settingsBlock_) byte.store(0, std::memory_order_relaxed);
    settingsBlock_[kCoalescenceHighOffset].store(static_cast<std::uint8_t>(coalescenceTime / 255));
    settingsBlock_[kCoalescenceLowOffset].store(static_cast<std::uint8_t>(coalescenceTime % 255));
    settingsBlock_[kRepeatThresholdOffset].store(static_cast<std::uint8_t>(repeatThreshold));
    settingsBlock_[kChangeThresholdOffset].store(static_cast<std::uint8_t>(changeThreshold));

    settingsPath_ = preferencesFolderFile((std::string("Drovanel.") + name_ + ".prf").c_str());
    settingsFile_.open(settingsPath_.c_str());
    wideName_.assign(name_.begin(), name_.end());

    if (settingsFile_.isOpen()) {
        settingsUsable_ = true;
        std::uint8_t image[kSettingsSize];
        long got = settingsFile_.readFromStart(image, kSettingsSize);
        if (got < 0) {
            XPLMDebugString("Drovanel : read button state failed");
        } else {
            for (long i = 0; i < got; ++i) settingsBlock_[i].store(image[i], std::memory_order_relaxed);
        }
        // A whole block read: the file holds the block (and maybe a tail,
        // which every write keeps). Anything less is written out whole at
        // the refresh thread's first period.
        if (got == static_cast<long>(kSettingsSize) && settingsFile_.readAfter(kSettingsSize, &settingsTail_)) {
            std::memcpy(savedBlock_, image, kSettingsSize);
            savedValid_ = true;
        }
        settingsFile_.close();
    }
}

AbstractPanel::~AbstractPanel() { teardown(); }

void AbstractPanel::start() {
    if (refreshThread_.joinable() || readerThread_.joinable() || tornDown_.load()) return;
    refreshThread_ = std::thread(refreshEntry_, this);
    readerThread_ = std::thread(readerEntry_, this);
}

void AbstractPanel::stopSoon() {
    if (tornDown_.load()) return;
    running_.store(false);
    {
        std::lock_guard<std::mutex> hold(wakeLock_);
        wake_.notify_all();
    }
    if (device_ != nullptr) device_->cancel();
}

void AbstractPanel::teardown() {
    if (tornDown_.exchange(true)) return;
    releaseDriverResources();

    // The refresh thread ends after the report it may be writing: joining it
    // lets that cycle finish before the device goes, so no wait is needed.
    running_.store(false);
    {
        std::lock_guard<std::mutex> hold(wakeLock_);
        wake_.notify_all();
    }
    if (device_ != nullptr) device_->cancel();
    if (refreshThread_.joinable()) refreshThread_.join();
    if (readerThread_.joinable()) readerThread_.join();

    delete device_;
    device_ = nullptr;

    saveSettings(true);
}

void AbstractPanel::saveSettings(bool evenIfUnchanged) {
    if (!settingsUsable_) return;
    std::uint8_t image[kSettingsSize];
    for (std::size_t i = 0; i < kSettingsSize; ++i) image[i] = settingsBlock_[i].load(std::memory_order_relaxed);
    if (!evenIfUnchanged && savedValid_ && std::memcmp(image, savedBlock_, kSettingsSize) == 0) return;
    // Not marked saved when the write fails: the next period tries again.
    if (settingsFile_.replace(image, kSettingsSize, settingsTail_.data(), settingsTail_.size())) {
        std::memcpy(savedBlock_, image, kSettingsSize);
        savedValid_ = true;
    }
}

void AbstractPanel::sleepWhileRunning(std::uint32_t ms) {
    std::unique_lock<std::mutex> hold(wakeLock_);
    wake_.wait_for(hold, std::chrono::milliseconds(ms), [this] { return !running_.load(); });
}

void AbstractPanel::requestDeviceExchange() {
    // Pending or running before its read-back: that exchange serves this
    // request too (each aircraft the host loads asks for one).
    std::uint8_t idle = kExchangeIdle;
    if (!exchangeState_.compare_exchange_strong(idle, kExchangePending)) return;
    // Under the lock, so that the refresh thread cannot miss the wake-up
    // between testing the state and starting to wait.
    std::lock_guard<std::mutex> hold(wakeLock_);
    wake_.notify_all();
}

void AbstractPanel::exchangeReadingBack() {
    std::uint8_t running = kExchangeRunning;
    exchangeState_.compare_exchange_strong(running, kExchangeIdle);
}

bool AbstractPanel::takeExchangeRequest() {
    std::uint8_t pending = kExchangePending;
    return exchangeState_.compare_exchange_strong(pending, kExchangeRunning);
}

std::uint8_t AbstractPanel::settingByte(std::size_t index) const {
    return index < kSettingsSize ? settingsBlock_[index].load(std::memory_order_relaxed) : 0;
}

void AbstractPanel::setSettingByte(std::size_t index, std::uint8_t value) {
    if (index < kSettingsSize) settingsBlock_[index].store(value, std::memory_order_relaxed);
}

std::uint32_t AbstractPanel::coalescenceTime() const {
    return settingByte(kCoalescenceHighOffset) * 255u + settingByte(kCoalescenceLowOffset);
}
std::uint8_t AbstractPanel::repeatThreshold() const { return settingByte(kRepeatThresholdOffset); }
std::uint8_t AbstractPanel::changeThreshold() const { return settingByte(kChangeThresholdOffset); }

void AbstractPanel::pushEvent(const std::uint8_t *bytes, std::uint32_t length, std::uint8_t flag) {
    std::lock_guard<std::mutex> hold(eventLock);
    std::uint32_t used = 0;
    for (std::uint32_t i = 0; i < eventCount_; ++i) used += eventLength_[i];
    if (used + length < kQueueDataSize && eventCount_ < kQueueEvents) {
        std::memcpy(eventData_ + used, bytes, length);
        eventLength_[eventCount_] = length;
        eventTick_[eventCount_] = currentTick();
        eventFlag_[eventCount_] = flag;
        ++eventCount_;
    }
    eventsPending_ = true;
}

void AbstractPanel::drainEvents() {
    std::lock_guard<std::mutex> hold(eventLock);
    if (!eventsPending_) return;
    std::uint8_t buffer[32] = {};
    std::uint32_t offset = 0;
    for (std::uint32_t i = 0; i < eventCount_; ++i) {
        std::uint32_t length = eventLength_[i];
        std::memcpy(buffer, eventData_ + offset, std::min<std::uint32_t>(length, 4));
        handleEvent(buffer, length, eventFlag_[i], eventTick_[i]);
        offset += length;
    }
    eventCount_ = 0;
    eventsPending_ = false;
}

std::uint32_t AbstractPanel::queuedEvents() {
    std::lock_guard<std::mutex> hold(eventLock);
    return eventCount_;
}

bool AbstractPanel::eventsPending() {
    std::lock_guard<std::mutex> hold(eventLock);
    return eventsPending_;
}

void AbstractPanel::standardReader(AbstractPanel *panel) { panel->readerLoop(); }
void AbstractPanel::standardRefresh(AbstractPanel *panel) { panel->refreshLoop(); }
void AbstractPanel::noReader(AbstractPanel *) {}

void AbstractPanel::readerLoop() {
    while (running_.load() && device_ != nullptr) {
        std::uint8_t buffer[kReadSize] = {};
        int n = device_->read(buffer, kReadSize, wideName_.c_str());
        if (n == HidDevice::kReadCancelled) {
            // Not cancelled by teardown: the device went away.
            if (running_.load()) deviceGone_.store(true);
            break;
        }
        if (n > 0) {
            std::uint32_t length = static_cast<std::uint32_t>(std::min(n, kReadSize));
            pushEvent(buffer, length, kEventLive);
            std::lock_guard<std::mutex> hold(eventLock);
            for (std::uint32_t i = 0; i < length; ++i) settingsBlock_[kLastReportOffset + i].store(buffer[i]);
        }
        replayPending_.store(false);
        if (n < 0) sleepWhileRunning(kFailedReadBackoffMs);
    }
}

void AbstractPanel::refreshLoop() {
    while (running_.load() && device_ != nullptr) {
        while (running_.load() && takeExchangeRequest()) {
            deviceExchange();
            exchangeReadingBack();  // done, whether or not it read back
        }
        if (!running_.load()) break;
        if (replayPending_.load()) {
            std::uint8_t last[kLastReportSize];
            {
                std::lock_guard<std::mutex> hold(eventLock);
                for (std::size_t i = 0; i < kLastReportSize; ++i) last[i] = settingsBlock_[kLastReportOffset + i].load();
            }
            pushEvent(last, kLastReportSize, kEventReplay);
        }
        sendReport();
        // After the report, so that a slow disk never delays it.
        saveSettings(false);
        // A panel without a reader (the BIP) learns here that its device went.
        if (device_->disconnected() && running_.load()) deviceGone_.store(true);
        std::unique_lock<std::mutex> hold(wakeLock_);
        wake_.wait_for(hold, std::chrono::milliseconds(refreshPeriod_.load()),
                       [this] { return !running_.load() || exchangeState_.load() == kExchangePending; });
    }
}

}  // namespace drovanel
