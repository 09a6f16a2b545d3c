#include "engine/input_files.h"

#include <gtest/gtest.h>

#include "core/run_failure.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

std::string TargetScanInputOf(const std::string& text) {
  test::TempDir dir;
  WriteTargetScanInput(dir / "lncrna_custom.txt", text);
  return test::ReadBytes(dir / "lncrna_custom.txt");
}

TEST(WriteTargetScanInput, CrLfTextKeepsItsCarriageReturnsInSequences) {
  EXPECT_EQ(TargetScanInputOf(">a\r\nacgu\r\nggcc\r\n>b\r\nuuu"), ">A\t9606\tACGU\rGGCC\r\r\n>B\t9606\tUUU\r\n");
}

TEST(WriteTargetScanInput, NameIsTheIdentifierTheScannerReports) {
  EXPECT_EQ(TargetScanInputOf(">H19 NR_002196.2\nacgu\n>Gas5\tdesc\nuu\n"), ">H19\t9606\tACGU\r\n>GAS5\t9606\tUU\r\n");
}

TEST(WriteTargetScanInput, LfText) {
  EXPECT_EQ(TargetScanInputOf(">a\nacgu\nggcc\n>b\nuuu"), ">A\t9606\tACGUGGCC\r\n>B\t9606\tUUU\r\n");
}

TEST(WriteTargetScanInput, HeaderRules) {
  // Spaces around a header are trimmed; a TAB before ">" makes it sequence.
  EXPECT_EQ(TargetScanInputOf("  >x desc  \nac\n\t>y\n"), ">X\t9606\tAC\t>Y\r\n");
  // Two headers in a row: the first leaves no line; so does a trailing header.
  EXPECT_EQ(TargetScanInputOf(">a\n>b\nac\n>c\n"), ">B\t9606\tAC\r\n");
  // A header followed only by a blank CR LF line has the sequence CR.
  EXPECT_EQ(TargetScanInputOf(">a\r\n\r\n"), ">A\t9606\t\r\r\n");
}

TEST(WriteTargetScanInput, TextWithoutHeaderHasAnEmptyName) {
  EXPECT_EQ(TargetScanInputOf("acgu\nuu"), "\t9606\tACGUUU\r\n");
  EXPECT_EQ(TargetScanInputOf(""), "");
}

TEST(WriteMirandaInput, UpperCasesTheWholeTextAndEndsWithCrLf) {
  test::TempDir dir;
  WriteMirandaInput(dir / "ori.txt", ">a desc\r\nacgu\r\n\r\n>b\r\nuuu");
  EXPECT_EQ(test::ReadBytes(dir / "ori.txt"), ">A DESC\r\nACGU\r\n\r\n>B\r\nUUU\r\n");
}

TEST(WriteMirandaInput, UnwritableFolderIsNamedInTheFailure) {
  test::TempDir dir;
  try {
    WriteMirandaInput(dir / "missing/ori.txt", ">a\nac");
    FAIL() << "no failure";
  } catch (const RunFailure& failure) {
    EXPECT_NE(std::string(failure.what()).find("missing/ori.txt"), std::string::npos) << failure.what();
  }
}

}  // namespace
}  // namespace velmora
