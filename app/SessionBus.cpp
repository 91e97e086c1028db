#include "app/SessionBus.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace app {

void AvoidSessionBusLauncher()
{
    const char *address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address != nullptr && *address != '\0')
        return;
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    // The path the library would try first itself; without a runtime folder, one that never exists.
    const std::string socket = (runtime != nullptr && *runtime != '\0') ? std::string(runtime) + "/bus"
                                                                        : std::string("/nonexistent/bus");
    struct stat info
    {
    };
    if (stat(socket.c_str(), &info) == 0 && S_ISSOCK(info.st_mode))
        return;
    setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + socket).c_str(), 1);
}

} // namespace app
