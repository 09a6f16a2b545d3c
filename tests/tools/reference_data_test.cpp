#include "tools/reference_data.h"

#include <gtest/gtest.h>

namespace velmora::refdata {
namespace {

// m1 has 3 diseases, m2 and m3 two each (tie: m2 first by name), m4 one.
const std::string kAssociations =
    "1\thsa-mir-1-1\tLung Neoplasms\t111\tup\r\n"
    "2\thsa-miR-1-2\tGlioma \t112\tdown\r\n"  // normalises to hsa-mir-1; trailing space trimmed
    "3\thsa-mir-1\tHeart Failure\t113\t\r\n"
    "4\thsa-mir-3\tGlioma\t114\t\r\n"
    "5\thsa-mir-3\tHeart Failure\t115\t\r\n"
    "6\thsa-mir-2\tGlioma\t116\t\r\n"
    "7\thsa-mir-2\tAsthma\t117\t\r\n"
    "8\thsa-mir-2\tAsthma\t118\trepeat\r\n"  // the same pair again
    "9\thsa-mir-4\tAsthma\t119\t\r\n"
    "10\thsa-miR21\tAsthma\t120\t\r\n";  // two parts: skipped

TEST(ReferenceData, UniverseByDiseaseCountThenName) {
  int skipped = 0;
  const auto pairs = ReadAssociations(kAssociations, "hmdd.txt", skipped);
  EXPECT_EQ(skipped, 1);
  EXPECT_EQ(pairs.size(), 8u);
  EXPECT_EQ(SelectUniverse(pairs, 2), (std::vector<std::string>{"hsa-mir-1", "hsa-mir-2"}));
  EXPECT_EQ(ReferenceListFile(SelectUniverse(pairs, 3)), "hsa-mir-1\r\nhsa-mir-2\r\nhsa-mir-3\r\n");
}

TEST(ReferenceData, DiseasesCountOnlyMirnasOfTheUniverse) {
  int skipped = 0;
  const auto pairs = ReadAssociations(kAssociations, "hmdd.txt", skipped);
  const auto universe = SelectUniverse(pairs, 2);  // m1, m2
  // Glioma 2 (m1, m2), Asthma 1 (m2), Heart Failure 1 (m1), Lung 1 (m1):
  // the tie at 1 goes by name, so Asthma and Heart Failure stay.
  EXPECT_EQ(DiseaseSetFile(SelectDiseases(pairs, universe, 3)),
            "Asthma\thsa-mir-2\nGlioma\thsa-mir-1\thsa-mir-2\nHeart Failure\thsa-mir-1\n");
}

TEST(ReferenceData, MalformedAssociationRowIsNamed) {
  int skipped = 0;
  try {
    ReadAssociations("1\thsa-mir-1\tGlioma\n2\thsa-mir-2\n", "hmdd.txt", skipped);
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "hmdd.txt: line 2 has fewer than 3 tab-separated fields");
  }
}

TEST(ReferenceData, MatureFilesKeepTheUniverseInFileOrder) {
  const auto matures = ReadMatures(
      ">hsa-miR-2-5p MIMAT0000002 Homo sapiens miR-2-5p\nTGAGGTAG\nTAG\n"
      ">hsa-miR-9-3p MIMAT0000009 Homo sapiens miR-9-3p\nAAAAAAAAAA\n"
      ">hsa-miR-1-3p MIMAT0000001 Homo sapiens miR-1-3p\r\nUGGAAUGUAAAG\r\n");
  const auto kept = KeepUniverse(matures, {"hsa-mir-1", "hsa-mir-2"});
  EXPECT_EQ(ScannerMirnaFile(kept),
            ">hsa-miR-2-5p MIMAT0000002 Homo sapiens miR-2-5p\nTGAGGTAGTAG\n"
            ">hsa-miR-1-3p MIMAT0000001 Homo sapiens miR-1-3p\nUGGAAUGUAAAG\n");
  EXPECT_EQ(SeedFamilyFile(kept), ">hsa-miR-2-5p\tGAGGUAG\t9606\n>hsa-miR-1-3p\tGGAAUGU\t9606\n");
  EXPECT_THROW(SeedFamilyFile({{"hsa-miR-5", "ACGU"}}), std::runtime_error);
}

}  // namespace
}  // namespace velmora::refdata
