#pragma once

#include <string>
#include <vector>

#include "predictors/scanner.h"

namespace velmora::test {

// Every hit of one miRNA on one target from the full (n + 1) x (m + 1)
// alignment matrix and a pairwise candidate suppression: the scanner as it
// was first written, kept to compare the windowed one with.
std::vector<scanner::Hit> ReferenceScanPair(const std::string& mirna, const std::string& target);

}  // namespace velmora::test
