#include "support/PrivateXServer.h"

#include <cstdlib>
#include <poll.h>
#include <unistd.h>

namespace testsupport {

PrivateXServer::PrivateXServer(int width, int height)
{
    if (const char* d = getenv("DISPLAY")) {
        hadDisplay_ = true;
        previousDisplay_ = d;
    }
    int fds[2];
    if (pipe(fds) != 0)
        return;
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    server_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen,
                                 "-nolisten", "tcp", "-ac"},
        "", "/dev/null");
    close(fds[1]);
    // Xvfb writes the display number it chose, then a newline, once it accepts clients.
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    while (poll(&p, 1, 20000) > 0) {
        char c = 0;
        if (read(fds[0], &c, 1) != 1 || c == '\n')
            break;
        number.push_back(c);
    }
    close(fds[0]);
    if (number.empty())
        return;
    display_ = ":" + number;
    setenv("DISPLAY", display_.c_str(), 1);
}

PrivateXServer::~PrivateXServer()
{
    server_.reset();
    if (hadDisplay_)
        setenv("DISPLAY", previousDisplay_.c_str(), 1);
    else
        unsetenv("DISPLAY");
}

}  // namespace testsupport
