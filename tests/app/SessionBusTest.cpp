#include "app/SessionBus.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A listening socket at `path`, as a running session bus leaves it; closed with the object.
struct BusSocket
{
    explicit BusSocket(const std::string &path) : fd(socket(AF_UNIX, SOCK_STREAM, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    }
    ~BusSocket() { close(fd); }
    int fd;
};

void SetOrUnset(const char *name, const char *value)
{
    if (value != nullptr)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

TEST(SessionBus, OnlyAMissingBusIsPointedAtAFailingAddress)
{
    const char *savedAddress = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const char *savedRuntime = std::getenv("XDG_RUNTIME_DIR");
    const std::string address = savedAddress != nullptr ? savedAddress : "";
    const std::string runtime = savedRuntime != nullptr ? savedRuntime : "";
    QTemporaryDir withBus, withoutBus, withPlainFile;
    const std::string busDir = withBus.path().toStdString();
    const std::string emptyDir = withoutBus.path().toStdString();
    const std::string fileDir = withPlainFile.path().toStdString();
    const BusSocket bus(busDir + "/bus");
    std::fclose(std::fopen((fileDir + "/bus").c_str(), "w"));
    const std::string missing = "unix:path=" + emptyDir + "/bus";
    const std::string noSocket = "unix:path=" + fileDir + "/bus";

    struct Case
    {
        const char *what;
        const char *address;
        const char *runtime;
        std::string expected; // empty: left unset
    } cases[] = {
        {"a session bus is named", "unix:path=/run/user/7/bus", emptyDir.c_str(),
         "unix:path=/run/user/7/bus"},
        {"the runtime folder holds the bus", nullptr, busDir.c_str(), ""},
        {"the runtime folder has no bus", nullptr, emptyDir.c_str(), missing},
        {"an empty address counts as none", "", emptyDir.c_str(), missing},
        {"a plain file is no bus", nullptr, fileDir.c_str(), noSocket},
        {"no runtime folder", nullptr, nullptr, "unix:path=/nonexistent/bus"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SetOrUnset("DBUS_SESSION_BUS_ADDRESS", c.address);
        SetOrUnset("XDG_RUNTIME_DIR", c.runtime);
        app::AvoidSessionBusLauncher();
        const char *now = std::getenv("DBUS_SESSION_BUS_ADDRESS");
        EXPECT_EQ(now != nullptr ? std::string(now) : std::string(), c.expected);
    }
    SetOrUnset("DBUS_SESSION_BUS_ADDRESS", savedAddress != nullptr ? address.c_str() : nullptr);
    SetOrUnset("XDG_RUNTIME_DIR", savedRuntime != nullptr ? runtime.c_str() : nullptr);
}

} // namespace
