#pragma once

#include <string>

namespace velmora::predictors {

// The whole content of an input file named on a predictor's command line. A
// folder, a FIFO or device, a file that cannot be read, or a binary file (one
// holding a NUL byte) throws std::runtime_error with one line naming it.
std::string ReadInputFile(const char* path);

}  // namespace velmora::predictors
