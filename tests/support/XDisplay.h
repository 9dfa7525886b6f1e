#pragma once
#include "support/Image.h"

#include <string>

namespace test {

// A connection to an X server, to drive a program's windows as a person would.
class XDisplay {
  public:
    explicit XDisplay(const std::string& name);
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    bool connected() const { return display_ != nullptr; }
    // The first mapped top-level window with this title, waiting up to timeoutSeconds; 0 if none.
    unsigned long waitForWindow(const std::string& title, int timeoutSeconds);
    bool windowExists(const std::string& title);
    void pressKey(unsigned long window, const char* keysym);
    void requestClose(unsigned long window);
    bool size(unsigned long window, int& width, int& height);
    Image capture(unsigned long window);

  private:
    unsigned long findWindow(const std::string& title);
    void* display_ = nullptr;
};

} // namespace test
