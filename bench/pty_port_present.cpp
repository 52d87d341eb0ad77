// Loaded into GTKTerm by the CPU benchmark (LD_PRELOAD), so that GTKTerm treats the simulator's
// pseudo-terminal as it treats a USB adapter:
// - GTKTerm asks udev whether its port is a device and closes the port when udev does not know
//   it, which is always so for a pseudo-terminal. This answers "present" for every path; GTKTerm
//   only tests the answer against null.
// - GTKTerm reads the modem lines of its port ten times a second and stops reading the port when
//   that fails, which it does on a pseudo-terminal (ENOTTY). This answers for the lines of a
//   pseudo-terminal as an adapter with a counter plugged in would: DSR, CTS and CD on; setting
//   them succeeds. Every other call goes to the system as it is.
#include <cerrno>
#include <cstdarg>
#include <dlfcn.h>
#include <sys/ioctl.h>

extern "C" void* g_udev_client_query_by_device_file(void* client, const char* file) {
    static_cast<void>(client);
    static_cast<void>(file);
    static char present;
    return &present;
}

extern "C" int ioctl(int fd, unsigned long request, ...) {
    va_list list;
    va_start(list, request);
    void* argument = va_arg(list, void*);
    va_end(list);
    using Ioctl = int (*)(int, unsigned long, ...);
    static const auto system = reinterpret_cast<Ioctl>(dlsym(RTLD_NEXT, "ioctl"));
    const int result = system(fd, request, argument);
    if (result != 0 && errno == ENOTTY) {
        switch (request) {
        case TIOCMGET:
            *static_cast<int*>(argument) = TIOCM_DSR | TIOCM_CTS | TIOCM_CD;
            return 0;
        case TIOCMSET:
        case TIOCMBIS:
        case TIOCMBIC:
            return 0;
        default:
            break;
        }
    }
    return result;
}
