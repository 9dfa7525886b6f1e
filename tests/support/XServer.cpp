#include "support/XServer.h"

#include <sstream>
#include <vector>

namespace test {
namespace {

// The first line of Xvfb's output made of digits alone (it may warn on other lines first).
std::string displayNumber(const std::string& output) {
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos &&
            !lines.eof())
            return line;
    return "";
}

} // namespace

XServer::XServer()
    : process_(std::make_unique<BackgroundProcess>(
          std::vector<std::string>{"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24",
                                   "-nolisten", "tcp"},
          "", std::vector<std::string>{})) {
    std::string number;
    if (waitUntil([&] { return !(number = displayNumber(process_->output())).empty(); }, 20))
        display_ = ":" + number;
}

} // namespace test
