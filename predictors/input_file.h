#pragma once

#include <string>

namespace velmora::predictors {

// The whole content of an input file named on a predictor's command line,
// read as every Velmora program reads a file (core/file_bytes.h): a folder,
// a FIFO or device, or a file that cannot be read throws RunFailure with one
// line naming it. A binary file (one holding a NUL byte) is refused too.
std::string ReadInputFile(const char* path);

}  // namespace velmora::predictors
