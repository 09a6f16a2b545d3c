#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmora {

// One line of result.xls as the chart needs it.
struct ResultPoint {
  std::string lnc, disease;
  int a = 0;
  double p = 1;
};

// The diseases (rows, smallest P first), the lncRNAs (columns, in the
// result's order) and one dot per association between them.
struct ChartData {
  struct Dot {
    std::size_t disease, lnc;
    int a;
    double p;
  };
  std::vector<std::string> diseases, lncs;
  std::vector<Dot> dots;
};

inline constexpr int kDefaultTopDiseases = 25;

// The association lines of a result file (after its header and empty line).
// A file that cannot be read, or a line without the nine fields, throws
// RunFailure naming the file and line.
std::vector<ResultPoint> ReadResultPoints(const std::filesystem::path& resultFile);

// The `top` diseases whose smallest P-value is smallest (ties in the order
// they first appear), with every lncRNA associated with one of them. A
// leading ">" of an lncRNA identifier is left out of its name.
ChartData TopDiseases(const std::vector<ResultPoint>& points, int top = kDefaultTopDiseases);

}  // namespace velmora
