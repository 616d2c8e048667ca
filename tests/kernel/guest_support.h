// Shared by the programs that run inside the kernel test's guest: the
// PASS/FAIL lines and the pipe to uhid-panels, the panels' side.
#ifndef DROVANEL_TESTS_KERNEL_GUEST_SUPPORT_H
#define DROVANEL_TESTS_KERNEL_GUEST_SUPPORT_H

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>

#include "hex_text.h"

inline int checksRun = 0;
inline int checksFailed = 0;

inline void check(bool ok, const std::string &name, const std::string &why = "") {
    ++checksRun;
    if (!ok) ++checksFailed;
    std::printf("%s %s%s%s\n", ok ? "PASS" : "FAIL", name.c_str(), ok || why.empty() ? "" : ": ", ok ? "" : why.c_str());
    std::fflush(stdout);
}

// uhid-panels as a child process, driven through its standard input and output.
class PanelSide {
public:
    // Starts it and fills nodes (label -> /dev/hidrawN) once the devices are
    // there; false, with a FAIL line, when they are not.
    bool start(std::map<std::string, std::string> *nodes) {
        if (!spawn()) {
            check(false, std::string("start ") + kProgram);
            return false;
        }
        for (std::string text = line(); text != "ready"; text = line()) {
            if (text.compare(0, 5, "node ") != 0) {
                check(false, "uhid-panels makes the devices", text);
                return false;
            }
            std::size_t space = text.find(' ', 5);
            (*nodes)[text.substr(5, space - 5)] = text.substr(space + 1);
        }
        return true;
    }

    // Sends one command and returns its answer line.
    std::string ask(const std::string &command) {
        std::string c = command + "\n";
        if (write(in_, c.data(), c.size()) != static_cast<ssize_t>(c.size())) return "";
        return line();
    }

    void stop() {
        ask("quit");
        close(in_);
        int status = 0;
        waitpid(pid_, &status, 0);
    }

private:
    static constexpr const char *kProgram = "/bin/uhid-panels";

    bool spawn() {
        int toChild[2];
        int fromChild[2];
        if (pipe(toChild) != 0 || pipe(fromChild) != 0) return false;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(toChild[0], STDIN_FILENO);
            dup2(fromChild[1], STDOUT_FILENO);
            close(toChild[1]);
            close(fromChild[0]);
            execl(kProgram, kProgram, static_cast<char *>(nullptr));
            _exit(127);
        }
        close(toChild[0]);
        close(fromChild[1]);
        in_ = toChild[1];
        out_ = fdopen(fromChild[0], "r");
        return pid_ > 0 && out_ != nullptr;
    }

    std::string line() {
        char text[4096];
        if (std::fgets(text, sizeof text, out_) == nullptr) return "";
        std::string s(text);
        if (!s.empty() && s.back() == '\n') s.pop_back();
        return s;
    }

    pid_t pid_ = -1;
    int in_ = -1;
    FILE *out_ = nullptr;
};

#endif
