// The time each call into the plug-in takes, as the simulator thread sees it.
#include <chrono>

#include "hostsim/state.h"

namespace hostsim {

namespace {

// Calls into the plug-in under way on this thread; only the outermost is timed.
thread_local int callDepth = 0;

std::int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

TimedCall::TimedCall(CallKind kind) : kind_(kind), outermost_(callDepth == 0), beginNs_(nowNs()) { ++callDepth; }

TimedCall::~TimedCall() {
    const std::int64_t took = nowNs() - beginNs_;
    --callDepth;
    if (!outermost_) return;
    detail::State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    detail::CallRecord &record = s.callRecords[static_cast<int>(kind_)];
    ++record.count;
    record.totalNs += took;
    if (took > record.longestNs) record.longestNs = took;
}

CallTimes callTimes(CallKind kind) {
    detail::State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    const detail::CallRecord &record = s.callRecords[static_cast<int>(kind)];
    CallTimes times;
    times.count = record.count;
    times.longestSeconds = static_cast<double>(record.longestNs) * 1e-9;
    times.totalSeconds = static_cast<double>(record.totalNs) * 1e-9;
    return times;
}

void clearCallTimes() {
    detail::State &s = detail::state();
    std::lock_guard<std::mutex> lock(s.mu);
    for (detail::CallRecord &record : s.callRecords) record = detail::CallRecord{};
}

}  // namespace hostsim
