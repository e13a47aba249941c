#include "support/ProcessRunner.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testsupport {

namespace {
[[noreturn]] void execChild(const std::vector<std::string>& argv, const std::string& workDir, int outFd,
                            bool mergeStderr = true)
{
    if (!workDir.empty() && chdir(workDir.c_str()) != 0)
        _exit(126);
    if (outFd >= 0) {
        dup2(outFd, STDOUT_FILENO);
        if (mergeStderr) {
            dup2(outFd, STDERR_FILENO);
        } else {
            const int devNull = open("/dev/null", O_WRONLY);
            dup2(devNull, STDERR_FILENO);
            close(devNull);
        }
        close(outFd);
    }
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

int statusToCode(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}
}  // namespace

CommandResult runCommand(const std::vector<std::string>& argv, const std::string& workDir, bool mergeStderr)
{
    int fds[2];
    if (pipe(fds) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        execChild(argv, workDir, fds[1], mergeStderr);
    }
    close(fds[1]);
    CommandResult result;
    char buf[4096];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0)
        result.output.append(buf, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = statusToCode(status);
    return result;
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& workDir,
                           const std::string& outputFile)
{
    const int fd = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot open " + outputFile);
    pid_ = fork();
    if (pid_ == 0)
        execChild(argv, workDir, fd);
    close(fd);
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
}

ChildProcess::~ChildProcess()
{
    if (running())
        terminate();
}

bool ChildProcess::running()
{
    if (exited_ || pid_ <= 0)
        return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        status_ = statusToCode(status);
        return false;
    }
    return true;
}

int ChildProcess::waitForExit(double seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (running()) {
        if (std::chrono::steady_clock::now() > end)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status_;
}

int ChildProcess::terminate()
{
    if (!running())
        return status_;
    kill(pid_, SIGTERM);
    if (waitForExit(10.0) == -1) {
        kill(pid_, SIGKILL);
        waitForExit(10.0);
    }
    return status_;
}

bool waitUntil(const std::function<bool()>& done, double seconds, int pollMilliseconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(pollMilliseconds));
    }
    return done();
}

std::string waitForGameWindow(ChildProcess& game, double seconds)
{
    std::string id;
    waitUntil(
        [&] {
            if (!game.running())
                return true;
            const CommandResult r =
                runCommand({"xdotool", "search", "--all", "--onlyvisible", "--name", "^Vantorel$"}, "", false);
            std::istringstream lines(r.output);
            return std::getline(lines, id) && !id.empty();
        },
        seconds);
    return id;
}

}  // namespace testsupport
