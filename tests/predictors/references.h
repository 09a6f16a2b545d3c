#pragma once

// The predictors computed the plain way, kept to compare the fast ones with.

#include <string>
#include <vector>

#include "predictors/scanner.h"

namespace velmora::test {

// The site finder's output from a string search per pattern, the whole file in memory.
std::string ReferenceSites(const std::string& families, const std::string& utrs);

// Every hit of one miRNA on one target from the full (n + 1) x (m + 1)
// alignment matrix and a pairwise candidate suppression: the scanner as it
// was first written.
std::vector<scanner::Hit> ReferenceScanPair(const std::string& mirna, const std::string& target);

}  // namespace velmora::test
