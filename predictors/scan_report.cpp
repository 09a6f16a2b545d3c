// The scanner's text output, and the scan of every miRNA-target pair.

#include <algorithm>
#include <atomic>
#include <charconv>
#include <concepts>
#include <exception>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>

#include "core/version.h"
#include "predictors/scan_pair.h"
#include "predictors/scanner.h"
#include "predictors/spill_buffer.h"

namespace velmora::scanner {
namespace {

// Appends text, numbers as printf's "%d" and "%.<precision>f" write them.
class Text {
 public:
  explicit Text(std::string& out) : out_(out) {}
  Text& operator<<(std::string_view text) {
    out_ += text;
    return *this;
  }
  Text& operator<<(char c) {
    out_ += c;
    return *this;
  }
  template <std::integral Number>
  Text& operator<<(Number value) {
    char digits[24];
    out_.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
    return *this;
  }
  Text& Fixed(double value, int precision) {
    char digits[400];  // the longest double in fixed notation
    out_.append(digits, std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, precision).ptr);
    return *this;
  }

 private:
  std::string& out_;
};

const std::string kSeparator = "=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=";

void PairReport(const Sequence& mirna, const Sequence& target, const std::vector<Hit>& hits, int scanned,
                std::string& text) {
  Text out(text);
  out << "Read Sequence:" << target.id << ' ' << target.description << '(' << target.bases.size() << " nt)\n"
      << kSeparator << "\nPerforming Scan: " << mirna.id << " vs " << target.id << '\n'
      << kSeparator << '\n';
  double totalScore = 0, totalEnergy = 0, maxScore = 0, minEnergy = 0;
  for (const Hit& hit : hits) {
    const auto percent = [&](double value) -> Text& { return out.Fixed(value, 2) << '%'; };
    out << "\n   Forward:\tScore: ";
    out.Fixed(hit.score, 6) << "  Q:" << hit.queryStart << " to " << hit.queryEnd << "  R:" << hit.refStart << " to "
                            << hit.refEnd << " Align Len (" << hit.length << ") (";
    percent(hit.identity) << ") (";
    percent(hit.similarity) << ")\n\n   Query:    3' " << hit.queryLine << " 5'\n                " << hit.barLine
                            << "\n   Ref:      5' " << hit.refLine << " 3'\n\n   Energy:  ";
    out.Fixed(hit.energy, 6) << " kCal/Mol\n\nScores for this hit:\n>" << mirna.id << '\t' << target.id << '\t';
    out.Fixed(hit.score, 2) << '\t';
    out.Fixed(hit.energy, 2) << '\t' << hit.queryStart << ' ' << hit.queryEnd << '\t' << hit.refStart << ' '
                             << hit.refEnd << '\t' << hit.length << '\t';
    percent(hit.identity) << '\t';
    percent(hit.similarity) << "\n\n";
    totalScore += hit.score;
    totalEnergy += hit.energy;
    maxScore = std::max(maxScore, static_cast<double>(hit.score));
    minEnergy = std::min(minEnergy, static_cast<double>(hit.energy));
  }
  out << "Score for this Scan:\nSeq1,Seq2,Tot Score,Tot Energy,Max Score,Max Energy,Strand,Len1,Len2,Positions\n>>"
      << mirna.id << '\t' << target.id << '\t';
  for (double value : {totalScore, totalEnergy, maxScore, minEnergy}) out.Fixed(value, 2) << '\t';
  out << scanned << '\t' << mirna.bases.size() << '\t' << target.bases.size() << '\t';
  for (const Hit& hit : hits) out << ' ' << hit.refStart;
  out << "\nComplete\n\n";
}

std::string Banner(const std::string& mirnaFile, const std::string& targetFile) {
  return "\n            miRanda v3.3a    microRNA Target Scanning Algorithm\n" + kSeparator + "\n(Velmora " +
         std::string(kVersion) + ": a miRanda-compatible scanner)\n" + kSeparator + "\n\nCurrent Settings:\n" +
         kSeparator + "\nQuery Filename:\t\t" + mirnaFile + "\nReference Filename:\t" + targetFile +
         "\nGap Open Penalty:\t-9.000000\nGap Extend Penalty:\t-4.000000\nScore Threshold:\t140.000000"
         "\nEnergy Threshold:\t1.000000 kcal/mol\nScaling Parameter:\t4.000000\n" +
         kSeparator + "\n\n";
}

}  // namespace

std::uint64_t ScanUnits(const std::vector<Sequence>& mirnas, const std::vector<Sequence>& targets) {
  std::uint64_t nucleotides = 0;
  for (const Sequence& target : targets) nucleotides += target.bases.size();
  return (mirnas.size() + LaneGroup::Lanes() - 1) / LaneGroup::Lanes() * nucleotides;
}

void Scan(const std::vector<Sequence>& mirnas, const std::vector<Sequence>& targets, const std::string& mirnaFile,
          const std::string& targetFile, unsigned threads, const std::string& spillFolder, std::ostream& out,
          predictors::ProgressReport* progress) {
  out << Banner(mirnaFile, targetFile);
  std::vector<std::vector<Base>> codes;
  for (const Sequence& target : targets) codes.push_back(TargetCodes(target.bases));
  const std::size_t lanes = LaneGroup::Lanes();
  const std::size_t groups = (mirnas.size() + lanes - 1) / lanes;
  struct GroupText {
    std::vector<SpillBuffer> byMirna;
    bool done = false;
  };
  std::vector<GroupText> texts(groups);
  std::size_t nextToWrite = 0;
  std::mutex writing;
  std::exception_ptr failure;
  std::atomic<std::size_t> next{0};
  auto scanGroup = [&](std::size_t g) {
    const std::size_t first = g * lanes, count = std::min(lanes, mirnas.size() - first);
    std::vector<Rows> rows;
    std::vector<const Rows*> lanesRows;
    for (std::size_t k = 0; k < count; ++k) rows.emplace_back(mirnas[first + k].bases);
    for (const Rows& r : rows) lanesRows.push_back(&r);
    const LaneGroup group(lanesRows);
    std::vector<std::vector<Candidate>> candidates;
    std::vector<SpillBuffer> byMirna;
    byMirna.reserve(count);
    for (std::size_t k = 0; k < count; ++k) byMirna.emplace_back(spillFolder);
    for (std::size_t t = 0; t < targets.size(); ++t) {
      group.Sweep(codes[t], candidates);
      for (std::size_t k = 0; k < count; ++k) {
        const Sequence& mirna = mirnas[first + k];
        const std::vector<Hit> hits = SelectHits(mirna.bases, targets[t].bases, rows[k], codes[t], candidates[k]);
        if (hits.empty()) continue;
        byMirna[k].Append(
            [&](std::string& text) { PairReport(mirna, targets[t], hits, static_cast<int>(t + 1), text); });
      }
      if (progress) progress->Add(targets[t].bases.size());
    }
    const std::lock_guard lock(writing);
    texts[g] = {std::move(byMirna), true};
    for (; nextToWrite < groups && texts[nextToWrite].done; ++nextToWrite) {
      for (SpillBuffer& text : texts[nextToWrite].byMirna) text.WriteTo(out);
      texts[nextToWrite].byMirna.clear();
    }
  };
  auto work = [&] {
    try {
      for (std::size_t g; (g = next++) < groups;) scanGroup(g);
    } catch (...) {
      const std::lock_guard lock(writing);
      failure = std::current_exception();
      next = groups;
    }
  };
  {
    // Joined however this block is left. A thread that fails to start
    // leaves its groups to the threads that did and to this one.
    std::vector<std::jthread> pool;
    pool.reserve(threads);
    try {
      for (unsigned i = 1; i < threads; ++i) pool.emplace_back(work);
    } catch (const std::system_error&) {
      // Fewer threads, the same work.
    }
    work();
  }
  if (failure) std::rethrow_exception(failure);
  out << "Scan Complete\n\n";
}

}  // namespace velmora::scanner
