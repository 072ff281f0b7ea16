#pragma once
// vornhalt-render as a function, so tests run it in-process with its exact
// messages and exit codes.

#include <ostream>
#include <string>
#include <vector>

namespace render {

// `args` without the program name. Messages and the summary go to `err` and
// `out`; answers the exit code (render/ExitCode.h).
int runRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace render
