// Loaded into GTKTerm by the CPU benchmark (LD_PRELOAD). GTKTerm asks udev whether its port is a
// device and closes the port when udev does not know it, which is always so for a pseudo-terminal
// such as the simulator's. This answers "present" for every path; GTKTerm only tests the answer
// against null, so it reads, shows and polls the port exactly as it would a USB adapter.
extern "C" void* g_udev_client_query_by_device_file(void* client, const char* file) {
    static_cast<void>(client);
    static_cast<void>(file);
    static char present;
    return &present;
}
