#include "hostsim/sim/stdout_capture.h"

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace hostsim {
namespace sim {

#if defined(_WIN32)

std::FILE *StdoutCapture::start() { return stdout; }
void StdoutCapture::stop() {}
void StdoutCapture::drain(int) {}

#else

std::FILE *StdoutCapture::start() {
    if (running()) return view_;
    int fds[2];
    std::fflush(stdout);
    if (pipe(fds) != 0) return stdout;
    savedFd_ = dup(STDOUT_FILENO);
    const int viewFd = savedFd_ >= 0 ? dup(savedFd_) : -1;
    view_ = viewFd >= 0 ? fdopen(viewFd, "w") : nullptr;
    if (view_ == nullptr || dup2(fds[1], STDOUT_FILENO) < 0) {
        if (view_ != nullptr) std::fclose(view_);
        if (savedFd_ >= 0) close(savedFd_);
        close(fds[0]);
        close(fds[1]);
        view_ = nullptr;
        savedFd_ = -1;
        return stdout;
    }
    close(fds[1]);  // the copy on STDOUT_FILENO is now the only write end
    // A pipe would make stdout fully buffered: count lines as they are printed.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int readFd = fds[0];
    thread_ = std::thread([this, readFd] { drain(readFd); });
    return view_;
}

void StdoutCapture::stop() {
    if (!running()) return;
    std::fflush(stdout);
    // Replacing STDOUT_FILENO closes the pipe's last write end: the drain
    // thread sees the end of the stream.
    dup2(savedFd_, STDOUT_FILENO);
    close(savedFd_);
    savedFd_ = -1;
    thread_.join();
    std::fflush(view_);
    std::fclose(view_);
    view_ = nullptr;
}

void StdoutCapture::drain(int fd) {
    static constexpr char kFeatureSet[] = "feature set";
    std::string line;
    char buffer[512];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        for (ssize_t i = 0; i < n; ++i) {
            if (buffer[i] != '\n') {
                if (line.size() < 256) line += buffer[i];
                continue;
            }
            (line == kFeatureSet ? featureSet_ : other_).fetch_add(1);
            line.clear();
        }
    }
    close(fd);
}

#endif

}  // namespace sim
}  // namespace hostsim
