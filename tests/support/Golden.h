#pragma once
#include "support/Image.h"

#include <string>

namespace test {

// A frame held against its golden picture: at most budget pixels may differ by more than
// tolerance in a channel. On failure the frame and a diff picture are written into
// outputFolder as NAME.actual.png and NAME.diff.png, and the message names them.
class Golden {
  public:
    Golden(std::string path, int tolerance, int budget);
    // True when the frame matches; otherwise message() says how and where to look.
    bool matches(const Image& frame, const std::string& outputFolder);
    const std::string& message() const { return message_; }

  private:
    std::string path_;
    int tolerance_, budget_;
    std::string message_;
};

} // namespace test
