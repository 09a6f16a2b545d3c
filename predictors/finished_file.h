#pragma once

#include <cstdio>
#include <fstream>
#include <string>

namespace velmora::predictors {

// An output file that appears under its final name only once it is complete:
// it is written beside it under a temporary name and renamed by Finish(). A
// program that fails or is ended before leaves no truncated output a later
// step could take for a whole one.
class FinishedFile {
 public:
  explicit FinishedFile(std::string path)
      : path_(std::move(path)), partial_(path_ + ".partial"), out_(partial_, std::ios::binary | std::ios::trunc) {}
  ~FinishedFile() {
    if (!finished_) std::remove(partial_.c_str());
  }
  FinishedFile(const FinishedFile&) = delete;
  FinishedFile& operator=(const FinishedFile&) = delete;

  std::ostream& Stream() { return out_; }

  // False when the file could not be written whole or renamed.
  bool Finish() {
    out_.close();
    finished_ = out_.good() && std::rename(partial_.c_str(), path_.c_str()) == 0;
    return finished_;
  }

 private:
  std::string path_, partial_;
  std::ofstream out_;
  bool finished_ = false;
};

}  // namespace velmora::predictors
