// The scanner's text output, and the scan of every miRNA-target pair.

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <exception>
#include <mutex>
#include <thread>

#include "core/version.h"
#include "predictors/scan_pair.h"
#include "predictors/scanner.h"
#include "predictors/spill_buffer.h"

namespace velmora::scanner {
namespace {

// Whole, whatever the length of the ids in it; formatted once where it fits
// the usual size.
std::string Format(const char* pattern, auto... values) {
  char usual[256];
  const int length = std::snprintf(usual, sizeof usual, pattern, values...);
  if (length <= 0) return {};
  if (static_cast<std::size_t>(length) < sizeof usual) return std::string(usual, static_cast<std::size_t>(length));
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), pattern, values...);
  text.pop_back();
  return text;
}

const std::string kSeparator = "=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=";

std::string PairReport(const Sequence& mirna, const Sequence& target, const std::vector<Hit>& hits, int scanned) {
  std::string out = "Read Sequence:" + target.id + " " + target.description + "(" +
                    std::to_string(target.bases.size()) + " nt)\n" + kSeparator + "\nPerforming Scan: " + mirna.id +
                    " vs " + target.id + "\n" + kSeparator + "\n";
  double totalScore = 0, totalEnergy = 0, maxScore = 0, minEnergy = 0;
  std::string starts;
  for (const Hit& hit : hits) {
    out += '\n';
    out += Format("   Forward:\tScore: %f  Q:%d to %d  R:%d to %d Align Len (%d) (%3.2f%%) (%3.2f%%)",
                  static_cast<double>(hit.score), hit.queryStart, hit.queryEnd, hit.refStart, hit.refEnd, hit.length,
                  hit.identity, hit.similarity);
    out += "\n\n   Query:    3' " + hit.queryLine + " 5'\n                " + hit.barLine + " \n   Ref:      5' " +
           hit.refLine + " 3'\n\n" + Format("   Energy:  %f kCal/Mol", hit.energy) + "\n\nScores for this hit:\n";
    out += Format(">%s\t%s\t%.2f\t%.2f\t%d %d\t%d %d\t%d\t%.2f%%\t%.2f%%", mirna.id.c_str(), target.id.c_str(),
                  static_cast<double>(hit.score), hit.energy, hit.queryStart, hit.queryEnd, hit.refStart, hit.refEnd,
                  hit.length, hit.identity, hit.similarity) +
           "\n\n";
    totalScore += hit.score;
    totalEnergy += hit.energy;
    maxScore = std::max(maxScore, static_cast<double>(hit.score));
    minEnergy = std::min(minEnergy, static_cast<double>(hit.energy));
    starts += ' ';
    starts += std::to_string(hit.refStart);
  }
  out += "Score for this Scan:\nSeq1,Seq2,Tot Score,Tot Energy,Max Score,Max Energy,Strand,Len1,Len2,Positions\n";
  out += Format(">>%s\t%s\t%.2f\t%.2f\t%.2f\t%.2f\t%d\t%zu\t%zu\t", mirna.id.c_str(), target.id.c_str(), totalScore,
                totalEnergy, maxScore, minEnergy, scanned, mirna.bases.size(), target.bases.size()) +
         starts + "\nComplete\n\n";
  return out;
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

void Scan(const std::vector<Sequence>& mirnas, const std::vector<Sequence>& targets, const std::string& mirnaFile,
          const std::string& targetFile, unsigned threads, std::ostream& out) {
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
    std::vector<SpillBuffer> byMirna(count);
    for (std::size_t t = 0; t < targets.size(); ++t) {
      group.Sweep(codes[t], candidates);
      for (std::size_t k = 0; k < count; ++k) {
        const Sequence& mirna = mirnas[first + k];
        const std::vector<Hit> hits = SelectHits(mirna.bases, targets[t].bases, rows[k], codes[t], candidates[k]);
        if (!hits.empty()) byMirna[k].Append(PairReport(mirna, targets[t], hits, static_cast<int>(t + 1)));
      }
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
  std::vector<std::thread> pool;
  for (unsigned i = 1; i < std::max(1u, threads); ++i) pool.emplace_back(work);
  work();
  for (auto& thread : pool) thread.join();
  if (failure) std::rethrow_exception(failure);
  out << "Scan Complete\n\n";
}

}  // namespace velmora::scanner
