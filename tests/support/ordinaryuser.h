#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

// While it lives, the calling thread opens ports as a user without administrator rights does:
// an administrator gets past a tty's exclusive flag, everyone else gets EBUSY. Capabilities
// belong to threads, so nothing else of the process changes; without the capability (tests not
// run as root) it does nothing.
class OrdinaryUser
{
public:
    OrdinaryUser() { wasAdmin = setAdmin(false); }
    ~OrdinaryUser()
    {
        if (wasAdmin)
            setAdmin(true);
    }
    OrdinaryUser(const OrdinaryUser&) = delete;
    OrdinaryUser& operator=(const OrdinaryUser&) = delete;

private:
    // The previous state of the capability.
    static bool setAdmin(bool on)
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
        if (syscall(SYS_capget, &header, data) != 0)
            return false;
        const __u32 bit = 1u << CAP_SYS_ADMIN;
        const bool was = (data[0].effective & bit) != 0;
        data[0].effective = on ? (data[0].effective | bit) : (data[0].effective & ~bit);
        syscall(SYS_capset, &header, data);
        return was;
    }

    bool wasAdmin = false;
};
