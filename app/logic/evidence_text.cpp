#include "app/logic/evidence_text.h"

#include <algorithm>
#include <charconv>

namespace velmora {
namespace {

// Not printf's %G: the window's locale may write a decimal comma.
std::string ThreeDigits(const std::string& number) {
  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc() || end != number.data() + number.size()) return number;
  char text[32];
  const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 3).ptr;
  std::string result(text, written);
  std::replace(result.begin(), result.end(), 'e', 'E');
  return result;
}

}  // namespace

std::string EvidenceText(const Evidence& evidence, std::size_t shown) {
  const std::size_t count = evidence.mirnas.size();
  shown = std::min(shown, count);
  std::string text = "FDR " + ThreeDigits(evidence.fdr) + " \u00b7 " + std::to_string(count) + " shared miRNA" +
                     (count == 1 ? "" : "s") + ":";
  for (std::size_t i = 0; i < shown; ++i) {
    text += (i == 0 ? " " : ", ") + evidence.mirnas[i] + " (" + evidence.foundBy[i] + ")";
  }
  if (shown == 0 && count > 0) return text + " \u2026";
  if (shown < count) text += ", \u2026 and " + std::to_string(count - shown) + " more";
  return text;
}

}  // namespace velmora
