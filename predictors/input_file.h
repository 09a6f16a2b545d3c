#pragma once

#include <fstream>
#include <string>

namespace velmora::predictors {

// The whole content of an input file named on a predictor's command line,
// read as every Velmora program reads a file (core/file_bytes.h): a folder,
// a FIFO or device, or a file that cannot be read throws RunFailure with one
// line naming it. A binary file (one holding a NUL byte) is refused too.
std::string ReadInputFile(const char* path);

// An input file to be read as a stream: the same checks but the NUL byte,
// which a stream reader meets as a character that matches nothing.
std::ifstream OpenInputFile(const char* path);

}  // namespace velmora::predictors
