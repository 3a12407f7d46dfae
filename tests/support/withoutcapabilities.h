#ifndef WITHOUTCAPABILITIES_H
#define WITHOUTCAPABILITIES_H

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <initializer_list>

// Takes capabilities out of this thread's effective set while it lives, so
// that a test run as root meets the limits that a user does. Capabilities
// belong to each thread; threads started meanwhile inherit the smaller set.
class WithoutCapabilities
{
public:
    explicit WithoutCapabilities(std::initializer_list<int> capabilities)
    {
        ::syscall(SYS_capget, &header, saved);
        __user_cap_data_struct reduced[2] = {saved[0], saved[1]};
        for (const int capability : capabilities)
            reduced[CAP_TO_INDEX(capability)].effective &= ~CAP_TO_MASK(capability);
        ::syscall(SYS_capset, &header, reduced);
    }
    ~WithoutCapabilities() { ::syscall(SYS_capset, &header, saved); }

    WithoutCapabilities(const WithoutCapabilities &) = delete;
    WithoutCapabilities &operator=(const WithoutCapabilities &) = delete;

private:
    __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2] = {};
};

#endif
