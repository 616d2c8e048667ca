// Keeps the plug-in's own prints off the cockpit view. The Switch Panel
// driver writes "feature set" to the process's standard output after every
// lamp report; while a capture runs, standard output goes into a pipe that
// a thread drains and counts, and the view writes to a copy of the real
// standard output instead.
#ifndef DROVANEL_HOSTSIM_SIM_STDOUT_CAPTURE_H
#define DROVANEL_HOSTSIM_SIM_STDOUT_CAPTURE_H

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

namespace hostsim {
namespace sim {

class StdoutCapture {
public:
    StdoutCapture() = default;
    ~StdoutCapture() { stop(); }
    StdoutCapture(const StdoutCapture &) = delete;
    StdoutCapture &operator=(const StdoutCapture &) = delete;

    // Redirects standard output; returns the stream that reaches the real
    // one, or stdout itself when redirection is not possible here.
    std::FILE *start();
    // Puts standard output back and joins the draining thread.
    void stop();

    bool running() const { return thread_.joinable(); }
    // Whole lines reading exactly "feature set" seen so far.
    long featureSetLines() const { return featureSet_.load(); }
    // Every other line, for anyone who wants to know.
    long otherLines() const { return other_.load(); }

private:
    void drain(int fd);

    int savedFd_ = -1;
    std::FILE *view_ = nullptr;
    std::thread thread_;
    std::atomic<long> featureSet_{0};
    std::atomic<long> other_{0};
};

}  // namespace sim
}  // namespace hostsim

#endif
