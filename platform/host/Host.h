#pragma once

namespace host {

// Parses the command line, sets the platform's run mode and runs the demo's entry point.
int run(int argc, char** argv);

} // namespace host
