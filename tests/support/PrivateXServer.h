#pragma once
// A virtual X server of the test's own, so that tests with real windows running side by side
// never see each other's windows.
#include "support/ProcessRunner.h"

#include <memory>
#include <string>

namespace testsupport {

class PrivateXServer {
public:
    // Starts Xvfb on a free display and points this process's DISPLAY at it (children inherit it).
    PrivateXServer(int width = 1280, int height = 1024);
    ~PrivateXServer();
    bool ok() const { return !display_.empty(); }
    const std::string& display() const { return display_; }

private:
    std::unique_ptr<ChildProcess> server_;
    std::string display_;
    std::string previousDisplay_;
    bool hadDisplay_ = false;
};

}  // namespace testsupport
