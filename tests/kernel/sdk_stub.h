// What the kernel test program reads back from its stand-in host.
#ifndef DROVANEL_TESTS_KERNEL_SDK_STUB_H
#define DROVANEL_TESTS_KERNEL_SDK_STUB_H

#include <string>

std::string stubLog();
void clearStubLog();

#endif
