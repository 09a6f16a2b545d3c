#include "engine/run_log.h"

namespace velmora {

std::string DateTimeText(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[128];
  const std::size_t length = std::strftime(text, sizeof text, "%x %X", &local);
  return std::string(text, length);
}

void AppendLogLine(Frontend& frontend, std::string_view message) {
  std::string line = DateTimeText(std::time(nullptr));
  line += " : ";
  line += message;
  frontend.ShowLogLine(line);
}

}  // namespace velmora
