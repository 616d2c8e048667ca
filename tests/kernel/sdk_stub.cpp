// The few host functions that the panel layer calls, for the kernel test
// program, which runs without a host: the log is kept for the checks.
#include <cstring>
#include <mutex>
#include <string>

#include "XPLMUtilities.h"
#include "sdk_stub.h"

namespace {
std::mutex logLock;
std::string logText;
}  // namespace

std::string stubLog() {
    std::lock_guard<std::mutex> hold(logLock);
    return logText;
}

void clearStubLog() {
    std::lock_guard<std::mutex> hold(logLock);
    logText.clear();
}

void XPLMDebugString(const char *inString) {
    std::lock_guard<std::mutex> hold(logLock);
    logText += inString;
}

void XPLMGetPrefsPath(char *outPrefsPath) { std::strcpy(outPrefsPath, "/tmp/prefs/X-Plane.prf"); }

const char *XPLMGetDirectorySeparator(void) { return "/"; }

char *XPLMExtractFileAndPath(char *inFullPath) {
    char *last = std::strrchr(inFullPath, '/');
    if (last == nullptr) return inFullPath;
    *last = '\0';
    return last + 1;
}
