// Runs tests inside a Qt application on a session bus of their own: a dbus-daemon started for
// this run and stopped after it, so that nothing reaches the machine's own session.

#include <QApplication>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <string_view>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    FILE* daemon = ::popen("dbus-daemon --session --print-address=1 --print-pid=1 --fork", "r");
    std::string address, pid;
    char line[512];
    // The address and the process number, in either order.
    while (daemon && std::fgets(line, sizeof line, daemon)) {
        std::string_view text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.remove_suffix(1);
        (text.find(':') != std::string_view::npos ? address : pid) = text;
    }
    if (daemon) ::pclose(daemon);
    if (address.empty() || pid.empty()) {
        std::fprintf(stderr, "no private session bus: is dbus-daemon installed?\n");
        return 1;
    }
    ::setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
    int status = 0;
    {
        // Windows, where a test makes any, draw nowhere.
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        status = RUN_ALL_TESTS();
    }
    ::kill(static_cast<pid_t>(std::atoi(pid.c_str())), SIGTERM);
    return status;
}
