#include "predictors/site_finder.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <sstream>

#include "core/byte_stream.h"
#include "tests/predictors/references.h"

namespace velmora::sitefinder {
namespace {

// Seed AGCUUAU: its reverse complement M is AUAAGCU, so the sites are
// 8mer-1a AUAAGCUA, 7mer-m8 AUAAGCU and 7mer-1a UAAGCUA.
const std::string kFamilies = "F\tAGCTTAT\t9606\r\n";

std::string Output(const std::string& families, const std::string& utrs) {
  LineFile in(std::make_unique<MemoryStream>(utrs));
  std::ostringstream out;
  FindSites(ReadFamilies(families), in, out);
  return out.str();
}

std::string Sites(const std::string& families, const std::string& utrs) {
  const std::string out = Output(families, utrs);
  return out.substr(out.find('\n') + 1);  // without the header
}

std::string Line(const std::string& gene, const std::string& family, int msaStart, int msaEnd, int utrStart, int utrEnd,
                 int group, const std::string& type, const std::string& inSpecies = "x") {
  return gene + "\t" + family + "\t9606\t" + std::to_string(msaStart) + "\t" + std::to_string(msaEnd) + "\t" +
         std::to_string(utrStart) + "\t" + std::to_string(utrEnd) + "\t" + std::to_string(group) + "\t" + type + "\t" +
         inSpecies + "\t" + type + "\t9606\n";
}

TEST(SiteFinder, Rules) {
  struct Case {
    const char* rule;
    std::string families, utrs, sites;
  };
  const Case cases[] = {
      // 8mer at 3-10 (its 7mer-m8 at 3-9 and 7mer-1a at 4-10 are merged into it), 7mer-m8 at 13-19, 7mer-1a at
      // 21-27; listed in text order of "9606::start::end", so 13 and 21 come before 3.
      {"site types and the 8mer merge", kFamilies, "G1\t9606\tGGAUAAGCUACCAUAAGCUGUAAGCUA\n",
       Line("G1", "F", 13, 19, 13, 19, 1, "7mer-m8") + Line("G1", "F", 21, 27, 21, 27, 2, "7mer-1a") +
           Line("G1", "F", 3, 10, 3, 10, 3, "8mer-1a")},
      {"gaps count in aligned but not in UTR positions", kFamilies, "G\t9606\t--AU-AAGCU\n",
       Line("G", "F", 3, 10, 1, 7, 1, "7mer-m8")},
      {"a site neither starts nor ends on a gap: -A after a 7mer-m8 makes no 8mer", kFamilies, "G\t9606\tAUAAGCU-A\n",
       Line("G", "F", 1, 9, 1, 8, 1, "8mer-1a")},
      {"T is U", kFamilies, "G\t9606\tATAAGCT\n", Line("G", "F", 1, 7, 1, 7, 1, "7mer-m8")},
      {"lower case and other characters never match", kFamilies,
       "G\t9606\tauaagcu\nH\t9606\tAUAAG\rCU\nK\t9606\tAUAAGNU\r\n", ""},
      {"overlapping sites (of M = UUUUUUU) are all found", "P\tAAAAAAA\t9606\n", "G\t9606\tUUUUUUUU\n",
       Line("G", "P", 1, 7, 1, 7, 1, "7mer-m8") + Line("G", "P", 2, 8, 2, 8, 2, "7mer-m8")},
      {"families in byte order (A's last seed wins), groups counted over the run, genes in file order",
       "b\tAGCUUAU\t9606\nA\tAGCUUAU\t9606\nA\tGGGGGGG\t9606\n", "Z\t9606\tAUAAGCUCCCCCCC\nY\t9606\tCCCCCCC\n",
       Line("Z", "A", 8, 14, 8, 14, 1, "7mer-m8") + Line("Z", "b", 1, 7, 1, 7, 2, "7mer-m8") +
           Line("Y", "A", 1, 7, 1, 7, 3, "7mer-m8")},
      {"a repeated gene line replaces the earlier one inside a block", kFamilies,
       "G\t9606\tAUAAGCU\nG\t9606\tCCAUAAGCU\n\nH\t9606\tC\nG\t9606\tAUAAGCU\n",
       Line("G", "F", 3, 9, 3, 9, 1, "7mer-m8") + Line("G", "F", 1, 7, 1, 7, 2, "7mer-m8")},
      {"a family without a line for the species is marked with a space", "F\tAGCUUAU\t10090\n", "G\t9606\tAUAAGCU\n",
       Line("G", "F", 1, 7, 1, 7, 1, "7mer-m8", " ")},
  };
  for (const Case& c : cases) EXPECT_EQ(Sites(c.families, c.utrs), c.sites) << c.rule;
}

// Random families and gene blocks built from the families' own site
// patterns, with gaps, T, N, lower case, CR and repeated lines mixed in.
TEST(SiteFinder, MatchesTheStringSearchReferenceOnRandomInput) {
  std::mt19937 random(7);
  auto pick = [&](const std::string& letters) { return letters[random() % letters.size()]; };
  for (int round = 0; round < 300; ++round) {
    std::string families;
    std::vector<std::string> pieces = {"A", "UUUUUUUA", "AAAAAAAA"};
    for (int f = 0; f < 6; ++f) {
      std::string seed;
      for (int i = 0; i < 7; ++i) seed += pick("ACGU");
      if (f == 5) seed = round % 2 ? "UUUUUUU" : "ACG";  // all-U: its 7mer-m8 and 7mer-1a share every span
      families.append("F").append(std::to_string(random() % 5)).append("\t" + seed + "\t") += pick("12");
      families += '\n';
      std::string m;
      for (char c : seed) m.insert(m.begin(), c == 'A' ? 'U' : c == 'U' ? 'A' : c == 'C' ? 'G' : 'C');
      pieces.push_back(m + "A");
    }
    std::string utrs;
    for (int line = 0; line < 6; ++line) {
      std::string sequence;
      while (sequence.size() < 60) {
        for (char c : pieces[random() % pieces.size()]) {
          sequence += random() % 8 ? c : pick("-T-Nu\r");
          if (random() % 6 == 0) sequence += '-';
        }
      }
      utrs += std::string("G") + pick("ab") + "\t" + pick("12") + "\t" + sequence + "\n";
    }
    ASSERT_EQ(Output(families, utrs), test::ReferenceSites(families, utrs)) << families << utrs;
  }
}

}  // namespace
}  // namespace velmora::sitefinder
