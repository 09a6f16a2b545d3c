#include "engine/fasta_input.h"

#include <gtest/gtest.h>

#include "core/fasta_records.h"
#include "core/run_failure.h"
#include "engine/input_files.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

// What a pass reports, as "NAME=SEQUENCE" joined by ";", descriptions in
// brackets when there are any; the largest sequence piece is kept apart.
class Recorder final : public FastaSink {
 public:
  void Header(std::string_view name, std::string_view description) override {
    if (!text.empty()) text += ';';
    text += name;
    if (!description.empty()) text.append("[").append(description).append("]");
    text += '=';
  }
  void Sequence(std::string_view nucleotides) override {
    text += nucleotides;
    largestPiece = std::max(largestPiece, nucleotides.size());
  }
  void EndRecord() override { ++records; }

  std::string text;
  std::size_t largestPiece = 0;
  int records = 0;
};

// The records of `text`, or the failure's message. The input read whole and
// read a byte or a few at a time gives the same, or the test says where not.
std::string Read(const std::string& text) {
  std::string outcomes[3];
  const std::size_t steps[3] = {1 << 16, 1, 3};
  for (int i = 0; i < 3; ++i) {
    test::TrickleStream stream(text, steps[i]);
    Recorder recorder;
    outcomes[i] = test::FailureOf([&] { ReadLncRnaFasta(stream, recorder); });
    if (outcomes[i] == "no failure") outcomes[i] = recorder.text;
  }
  EXPECT_EQ(outcomes[1], outcomes[0]) << "read a byte at a time: " << text;
  EXPECT_EQ(outcomes[2], outcomes[0]) << "read three bytes at a time: " << text;
  return outcomes[0];
}

TEST(ReadLncRnaFasta, AcceptedInputs) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {">a\nacgu\nggcc\n>b\nuuu", "a=ACGUGGCC;b=UUU"},
      {">a\r\nacgu\r\nggcc\r\n>b\r\nuuu\r\n", "a=ACGUGGCC;b=UUU"},
      {">a\racgu\rggcc\r", "a=ACGUGGCC"},
      {"\xEF\xBB\xBF>bom\nACGT\n", "bom=ACGT"},
      {">s\nAC GU\n  GG\tCC\t\n", "s=ACGUGGCC"},
      {"\t >tabbed desc\nACGU\n", "tabbed[desc]=ACGU"},
      {"\n  \n>blank-lines-first\n\nAC\n\n", "blank-lines-first=AC"},
      {">iupac\nNRYSWKMBDHVnryswkmbdhv\n", "iupac=NRYSWKMBDHVNRYSWKMBDHV"},
      {">H19  NR_002196.2 some text \t\nACGU", "H19[NR_002196.2 some text]=ACGU"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(Read(text), expected) << text;
}

// Every refusal names the line, and the record and character at fault.
TEST(ReadLncRnaFasta, RefusedInputs) {
  const std::string longLine(100'000, 'a');
  const std::vector<std::pair<std::string, std::string>> cases = {
      {">a\nAC3GU\n", "Input line 2: column 3: the sequence of \">a\" holds the character '3'"},
      {">a\nACGU*\n", "Input line 2: column 5: the sequence of \">a\" holds the character '*'"},
      {std::string(">a\nAC\0GU\n", 9), "Input line 2: column 3: the sequence of \">a\" holds the byte 0x00"},
      {">a\nAC>GU\n", "Input line 2: column 3: the sequence of \">a\" holds the character '>'"},
      {">a\r\n \tAC GU-\r\n", "Input line 2: column 8: the sequence of \">a\" holds the character '-'"},
      {">a\nAC\xC3\xA9\n", "holds the byte 0xC3"},
      {">long\n" + longLine + "7\n", "Input line 2: column 100001: the sequence of \">long\" holds the character '7'"},
      {std::string(">a\0b\nACGU\n", 10), "Input line 1: the header holds the byte 0x00, which no name"},
      {std::string(">a\nAC\n>b x\0\nGU\n", 15), "Input line 3: the header holds the byte 0x00"},
      {std::string(">\0\nACGU\n", 8), "Input line 1: the header holds the byte 0x00"},
      {">a\nAC\n>" + std::string(kLongestHeader, 'n') + " x\nGU\n",
       "Input line 3: the header line is longer than 65536 bytes, more than any name needs"},
      {">\nACGU\n", "Input line 1: the header has no name right after \">\""},
      {"> NAME\nACGU\n", "Input line 1: the header has no name right after \">\""},
      {">empty\n>b\nACGU\n", "Input line 1: the record \">empty\" has no sequence"},
      {">a\nACGU\n>last\n\n", "Input line 3: the record \">last\" has no sequence"},
      {">a\rACGU\r>last", "Input line 3: the record \">last\" has no sequence"},
      {"ACGU\n>a\nACGU\n", "Input line 1: text before the first header line"},
      {"\xEF\xBB\xBFnotes\n>a\nAC\n", "Input line 1: text before the first header line"},
      {">a x\nAC\n>a y\nGG\n", "Input line 3: the name \">a\" repeats the record of line 1"},
      {">Gas5\r\nAC\r\n>GAS5\r\nGG\r\n", "Input line 3: the name \">GAS5\" repeats the record of line 1"},
      {"", "The input is empty"},
      {" \n\t\n", "The input is empty"},
  };
  for (const auto& [text, message] : cases) {
    const std::string failure = Read(text);
    EXPECT_EQ(failure.find('\n'), std::string::npos) << failure;
    EXPECT_NE(failure.find(message), std::string::npos) << "input: " << text << "\nmessage: " << failure;
  }
}

// A sequence on one long line reaches the sink in pieces, never whole.
TEST(ReadLncRnaFasta, ALongSequenceIsNeverHeldWhole) {
  const std::string text = ">one\r\n" + std::string(3'000'000, 'g') + "\r\n>two\nAC\n";
  MemoryStream stream(text);
  Recorder recorder;
  ReadLncRnaFasta(stream, recorder);
  EXPECT_EQ(recorder.text, "one=" + std::string(3'000'000, 'G') + ";two=AC");
  EXPECT_EQ(recorder.records, 2);
  EXPECT_LE(recorder.largestPiece, std::size_t{1} << 16);
}

// Both predictor inputs come from the same records, names upper-cased alike,
// so that the two predictors report every lncRNA under one name; a sequence
// read in pieces is written as one line.
TEST(PredictorInputs, BothFilesFromTheSameRecords) {
  test::TempDir dir;
  const std::string text =
      "\xEF\xBB\xBF>h19 NR_002196.2\r\nac gu\r\nggcc\r\n\t>Gas5\nuu\tn\n>Meg3 x\r" + std::string(70'000, 'a');
  for (std::size_t step : {std::size_t{1} << 16, std::size_t{5}}) {
    test::TrickleStream input(text, step);
    WritePredictorInputs(input, dir / "ori.txt", dir / "custom.txt");
    const std::string meg3(70'000, 'A');
    EXPECT_EQ(test::ReadBytes(dir / "ori.txt"),
              ">H19 NR_002196.2\r\nACGUGGCC\r\n>GAS5\r\nUUN\r\n>MEG3 X\r\n" + meg3 + "\r\n");
    EXPECT_EQ(test::ReadBytes(dir / "custom.txt"),
              ">H19\t9606\tACGUGGCC\r\n>GAS5\t9606\tUUN\r\n>MEG3\t9606\t" + meg3 + "\r\n");
  }
}

// A pass that fails or is stopped half-way leaves neither file.
TEST(PredictorInputs, NothingOfAPassThatDoesNotEnd) {
  test::TempDir dir;
  std::string text = ">a\n";
  for (int i = 0; i < 10'000; ++i) text += "ACGU\n";
  const std::string repeated = text + ">a\nGG\n";
  MemoryStream refused(repeated);
  const std::string failure =
      test::FailureOf([&] { WritePredictorInputs(refused, dir / "ori.txt", dir / "custom.txt"); });
  EXPECT_NE(failure.find("Input line 10002: the name \">a\" repeats the record of line 1"), std::string::npos)
      << failure;
  std::stop_source stop;
  stop.request_stop();
  MemoryStream stopped(text);
  EXPECT_THROW(WritePredictorInputs(stopped, dir / "ori.txt", dir / "custom.txt", stop.get_token()), RunStopped);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace velmora
