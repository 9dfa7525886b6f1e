#include "support/Process.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace test {
namespace {

int spawn(const std::vector<std::string>& command, const std::string& folder,
          const std::vector<std::string>& environment, const std::string& outputPath) {
    const int pid = fork();
    if (pid != 0) return pid;
    setpgid(0, 0);
    const int out = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(out, 2);
    const int in = open("/dev/null", O_RDONLY);
    dup2(in, 0);
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(126);
    for (const std::string& entry : environment) {
        const auto eq = entry.find('=');
        const std::string name = entry.substr(0, eq), value = entry.substr(eq + 1);
        if (value.empty())
            unsetenv(name.c_str());
        else
            setenv(name.c_str(), value.c_str(), 1);
    }
    std::vector<char*> argv;
    for (const std::string& arg : command)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

} // namespace

namespace {

// The folders this process made, removed at its exit.
class MadeFolders {
  public:
    void add(const std::string& folder) { folders_.push_back(folder); }
    ~MadeFolders() {
        for (const std::string& folder : folders_) {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
    }

  private:
    std::vector<std::string> folders_;
};

MadeFolders& madeFolders() {
    static MadeFolders folders;
    return folders;
}

} // namespace

std::string makeTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumiflux-test-XXXXXX");
    if (!mkdtemp(pattern.data())) {
        std::perror("lumiflux tests: no temporary folder could be made");
        std::abort();
    }
    madeFolders().add(pattern);
    return pattern;
}

bool waitUntil(const std::function<bool()>& condition, int timeoutSeconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

BackgroundProcess::BackgroundProcess(const std::vector<std::string>& command,
                                     const std::string& folder,
                                     const std::vector<std::string>& environment) {
    outputPath_ = makeTempFolder() + "/output.txt";
    pid_ = spawn(command, folder, environment, outputPath_);
}

BackgroundProcess::~BackgroundProcess() {
    if (running()) {
        kill(-pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool BackgroundProcess::running() {
    if (pid_ <= 0 || exitCode_ != -1) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    return true;
}

int BackgroundProcess::wait(int timeoutSeconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    while (running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return exitCode_;
}

void BackgroundProcess::signal(int number) {
    if (running()) kill(pid_, number);
}

std::string BackgroundProcess::output() const {
    return readFile(outputPath_);
}

ProcessResult runProcess(const std::vector<std::string>& command, const std::string& folder,
                         const std::vector<std::string>& environment, int timeoutSeconds) {
    BackgroundProcess process(command, folder, environment);
    ProcessResult result;
    result.exitCode = process.wait(timeoutSeconds);
    result.output = process.output();
    return result;
}

} // namespace test
