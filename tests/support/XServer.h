#pragma once
#include "support/Process.h"

#include <memory>
#include <string>

namespace test {

// A virtual X server of its own (Xvfb at 1024 x 768), on a display number it picks itself, so a
// person's desktop is never touched; it ends with the object.
class XServer {
  public:
    XServer();
    // ":N", or empty when the server gave no number; then why() says what it printed.
    const std::string& display() const { return display_; }
    std::string why() const { return process_->output(); }

  private:
    std::unique_ptr<BackgroundProcess> process_;
    std::string display_;
};

} // namespace test
