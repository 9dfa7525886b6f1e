#pragma once
#include <functional>
#include <string>
#include <vector>

namespace test {

struct ProcessResult {
    int exitCode = -1;  // -1: killed at the time limit
    std::string output; // stdout and stderr together
};

// Runs a program to its end (or kills it after timeoutSeconds), in folder, with extra
// environment entries NAME=VALUE ("NAME=" removes one).
ProcessResult runProcess(const std::vector<std::string>& command, const std::string& folder,
                         const std::vector<std::string>& environment, int timeoutSeconds);

// A program left running in the background; killed when the object goes.
class BackgroundProcess {
  public:
    BackgroundProcess(const std::vector<std::string>& command, const std::string& folder,
                      const std::vector<std::string>& environment);
    ~BackgroundProcess();
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    // Waits up to timeoutSeconds for the exit; the exit code, or -1 if it is still running.
    int wait(int timeoutSeconds);
    std::string output() const;
    bool running();
    void signal(int number);
    int pid() const { return pid_; }

  private:
    int pid_ = -1;
    int exitCode_ = -1;
    std::string outputPath_;
};

// A new folder under the system's temporary folder, removed with everything in it when this
// process ends (each test runs in a process of its own).
std::string makeTempFolder();
std::string readFile(const std::string& path);

// Polls a condition every 20 ms until it holds or timeoutSeconds pass; whether it held.
bool waitUntil(const std::function<bool()>& condition, int timeoutSeconds);

} // namespace test
