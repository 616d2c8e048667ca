// Ends the qemu guest with a verdict: writes the value to qemu's
// isa-debug-exit port, and qemu exits with status 2 * value + 1.
#include <sys/io.h>

#include <cstdio>
#include <cstdlib>

namespace {
constexpr unsigned short kDebugExitPort = 0xF4;
}

int main(int argc, char **argv) {
    int value = argc > 1 ? std::atoi(argv[1]) : 1;
    if (ioperm(kDebugExitPort, 1, 1) != 0) {
        std::perror("guest-exit: ioperm");
        return 1;
    }
    outb(static_cast<unsigned char>(value), kDebugExitPort);
    return 1;  // only reached when no isa-debug-exit device is there
}
