#pragma once

#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace velmora::predictors {

// A predictor's output file. The buffer keeps the first write error with its
// reason: errno belongs to the thread that met the error, so reading it after
// the stream has failed (on another thread) can only say "Success". The file
// is created through no link that someone planted at its name.
class OutputStream {
 public:
  // Throws RunFailure "cannot write PATH: REASON" when it cannot be created.
  explicit OutputStream(std::string path);
  ~OutputStream();
  OutputStream(const OutputStream&) = delete;
  OutputStream& operator=(const OutputStream&) = delete;

  std::ostream& stream() { return stream_; }
  // Writes what is buffered and closes the file; any write error since it
  // was created throws RunFailure "cannot write PATH: REASON".
  void Close();

 private:
  class Buffer : public std::streambuf {
   public:
    explicit Buffer(int fd);
    int error() const { return error_; }

   protected:
    int_type overflow(int_type c) override;
    int sync() override;

   private:
    bool Drain();
    int fd_;
    int error_ = 0;
    std::vector<char> bytes_;
  };

  [[noreturn]] void Fail(int error) const;

  std::string path_;
  int fd_;
  Buffer buffer_;
  std::ostream stream_;
};

}  // namespace velmora::predictors
