#pragma once

#include <string>

namespace velmora::test {

// The site finder's output computed the plain way (a string search per
// pattern, the whole file in memory), to compare the fast one with.
std::string ReferenceSites(const std::string& families, const std::string& utrs);

}  // namespace velmora::test
