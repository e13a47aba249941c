#pragma once
// Starting and watching real processes from tests (the game executable, X tools).
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace testsupport {

struct CommandResult {
    int exitCode = -1;
    std::string output;  // standard output (and standard error when merged)
};

// Runs a command to the end (argv[0] looked up in PATH) and collects its output.
CommandResult runCommand(const std::vector<std::string>& argv, const std::string& workDir = "",
                         bool mergeStderr = true);

// A child process started in a working directory; killed (SIGTERM, then SIGKILL) when destroyed.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& argv, const std::string& workDir,
                 const std::string& outputFile);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    // Waits up to the given seconds for the exit; returns the exit code, or -1 on timeout,
    // or 128 + signal when a signal ended it.
    int waitForExit(double seconds);
    // Ends the process (SIGTERM, then SIGKILL after a grace period) and returns its status code.
    int terminate();

private:
    pid_t pid_ = -1;
    int status_ = -1;
    bool exited_ = false;
};

// Polls until done() holds or the seconds are up; its last answer.
bool waitUntil(const std::function<bool()>& done, double seconds, int pollMilliseconds = 100);

// The id of the visible window titled exactly "Vantorel" on the test's display, looked for while
// the game runs; "" when none shows in time.
std::string waitForGameWindow(ChildProcess& game, double seconds);

}  // namespace testsupport
