#pragma once

#include <fstream>
#include <string>

namespace velmora::predictors {

// The whole content of an input file named on a predictor's command line. A
// folder, a FIFO or device, a file that cannot be read, or a binary file (one
// holding a NUL byte) throws std::runtime_error with one line naming it.
std::string ReadInputFile(const char* path);

// An input file to be read as a stream: the same checks but the NUL byte,
// which a stream reader meets as a character that matches nothing.
std::ifstream OpenInputFile(const char* path);

}  // namespace velmora::predictors
