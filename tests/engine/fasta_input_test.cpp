#include "engine/fasta_input.h"

#include <gtest/gtest.h>

#include "core/run_failure.h"

namespace velmora {
namespace {

std::string Failure(std::string_view text) {
  try {
    ReadLncRnaFasta(text);
  } catch (const RunFailure& failure) {
    return failure.what();
  }
  return "accepted";
}

// Each accepted input, with its records as "NAME=SEQUENCE" joined by ";".
TEST(ReadLncRnaFasta, AcceptedInputs) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {">a\nacgu\nggcc\n>b\nuuu", "a=ACGUGGCC;b=UUU"},
      {">a\r\nacgu\r\nggcc\r\n>b\r\nuuu\r\n", "a=ACGUGGCC;b=UUU"},
      {">a\racgu\rggcc\r", "a=ACGUGGCC"},
      {"\xEF\xBB\xBF>bom\nACGT\n", "bom=ACGT"},
      {">s\nAC GU\n  GG\tCC\t\n", "s=ACGUGGCC"},
      {"\t >tabbed desc\nACGU\n", "tabbed=ACGU"},
      {"\n  \n>blank-lines-first\n\nAC\n\n", "blank-lines-first=AC"},
      {">iupac\nNRYSWKMBDHVnryswkmbdhv\n", "iupac=NRYSWKMBDHVNRYSWKMBDHV"},
      {">H19 NR_002196.2 some text \nACGU", "H19=ACGU"},
  };
  for (const auto& [text, expected] : cases) {
    std::string got;
    for (const LncRnaRecord& record : ReadLncRnaFasta(text)) {
      got += (got.empty() ? "" : ";") + record.name + "=" + record.sequence;
    }
    EXPECT_EQ(got, expected) << text;
  }
}

TEST(ReadLncRnaFasta, KeepsTheDescriptionAndTheHeaderLine) {
  const auto records = ReadLncRnaFasta("\n>H19  NR_002196.2 text \t\nAC\n>b\nGG\n");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].description, "NR_002196.2 text");
  EXPECT_EQ(records[0].line, 2);
  EXPECT_EQ(records[1].description, "");
  EXPECT_EQ(records[1].line, 4);
}

// Every refusal names the line, and the record and character at fault.
TEST(ReadLncRnaFasta, RefusedInputs) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {">a\nAC3GU\n", "Input line 2: column 3: the sequence of \">a\" holds the character '3'"},
      {">a\nACGU*\n", "Input line 2: column 5: the sequence of \">a\" holds the character '*'"},
      {std::string(">a\nAC\0GU\n", 9), "Input line 2: column 3: the sequence of \">a\" holds the byte 0x00"},
      {">a\nAC>GU\n", "Input line 2: column 3: the sequence of \">a\" holds the character '>'"},
      {">a\nACGU-\n", "holds the character '-'"},
      {">a\nAC\xC3\xA9\n", "holds the byte 0xC3"},
      {">\nACGU\n", "Input line 1: the header has no name right after \">\""},
      {"> NAME\nACGU\n", "Input line 1: the header has no name right after \">\""},
      {">empty\n>b\nACGU\n", "Input line 1: the record \">empty\" has no sequence"},
      {">a\nACGU\n>last\n\n", "Input line 3: the record \">last\" has no sequence"},
      {"ACGU\n>a\nACGU\n", "Input line 1: text before the first header line"},
      {"\xEF\xBB\xBFnotes\n>a\nAC\n", "Input line 1: text before the first header line"},
      {">a x\nAC\n>a y\nGG\n", "Input line 3: the name \">a\" repeats the record of line 1"},
      {">Gas5\nAC\n>GAS5\nGG\n", "Input line 3: the name \">GAS5\" repeats the record of line 1"},
      {"", "The input is empty"},
      {" \n\t\n", "The input is empty"},
  };
  for (const auto& [text, message] : cases) {
    const std::string failure = Failure(text);
    EXPECT_EQ(failure.find('\n'), std::string::npos) << failure;
    EXPECT_NE(failure.find(message), std::string::npos) << "input: " << text << "\nmessage: " << failure;
  }
}

}  // namespace
}  // namespace velmora
