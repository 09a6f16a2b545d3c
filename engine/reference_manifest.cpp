#include "engine/reference_manifest.h"

#include <map>

#include "core/file_bytes.h"
#include "core/line_reader.h"
#include "core/output_file.h"
#include "core/paths.h"
#include "core/run_failure.h"
#include "core/sha256.h"
#include "core/text_lines.h"
#include "stats/enrichment.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDigestSeparator = "  ";

// The files a manifest covers, under lib/.
constexpr std::string_view kCovered[] = {paths::kReferenceMirnas, paths::kDiseaseSets, paths::kMirnaSequences,
                                         paths::kSeedFamilies, paths::kFactorials};

std::string_view FileName(std::string_view relative) { return relative.substr(relative.rfind('/') + 1); }

// Lines that hold something (CR LF and LF alike), or those starting with `mark`.
int CountLines(const fs::path& file, std::string_view mark = {}) {
  std::error_code error;
  if (!fs::exists(file, error)) return 0;
  FileStream bytes(file);
  TextLines lines(bytes);
  int count = 0;
  bool lineStart = true;
  // A line's first piece holds at least its first byte, all a mark needs.
  for (LinePiece piece; lines.Next(piece); lineStart = piece.ends) {
    if (lineStart && !piece.bytes.empty() && piece.bytes.starts_with(mark)) ++count;
  }
  return count;
}

std::string RebuildHint(const fs::path& home) {
  return "; rebuild the reference data (cmake --build build, or prepare_reference_data --lib " +
         (home / "lib").string() + ")";
}

}  // namespace

std::string ManifestText(const fs::path& lib) {
  std::string text = "universe " + std::to_string(CountLines(lib / FileName(paths::kReferenceMirnas))) + "\n" +
                     "diseases " + std::to_string(CountLines(lib / FileName(paths::kDiseaseSets))) + "\n" + "matures " +
                     std::to_string(CountLines(lib / FileName(paths::kMirnaSequences), ">")) + "\n";
  for (std::string_view relative : kCovered) {
    const fs::path file = lib / FileName(relative);
    std::error_code error;
    if (!fs::exists(file, error)) continue;
    text += Sha256FileHex(file) + std::string(kDigestSeparator) + std::string(FileName(relative)) + "\n";
  }
  return text;
}

void WriteManifest(const fs::path& lib) {
  OutputFile out(lib / FileName(paths::kManifest));
  out.Write(ManifestText(lib));
  out.Close();
}

void VerifyReferenceData(const fs::path& home, const std::vector<std::string_view>& relatives) {
  const fs::path manifest = paths::In(home, paths::kManifest);
  std::error_code error;
  if (!fs::is_regular_file(manifest, error)) throw RunFailure(manifest.string() + ": missing" + RebuildHint(home));
  std::map<std::string, std::string, std::less<>> digests;  // file name -> digest
  std::map<std::string, std::string, std::less<>> counts;
  LineFile lines(manifest);
  for (std::string line; lines.ReadLine(true, line);) {
    const std::size_t separator = line.find(kDigestSeparator);
    if (separator != std::string_view::npos) {
      digests[std::string(line.substr(separator + kDigestSeparator.size()))] = line.substr(0, separator);
    } else if (const std::size_t space = line.find(' '); space != std::string_view::npos) {
      counts[std::string(line.substr(0, space))] = line.substr(space + 1);
    }
  }
  for (const auto& [name, expected] : {std::pair{"universe", kUniverseSize}, std::pair{"diseases", kDiseaseCount}}) {
    const auto found = counts.find(name);
    if (found == counts.end() || found->second != std::to_string(expected)) {
      throw RunFailure(manifest.string() + ": " + name + " " + (found == counts.end() ? "missing" : found->second) +
                       ", " + std::to_string(expected) + " expected" + RebuildHint(home));
    }
  }
  for (std::string_view relative : relatives) {
    const fs::path file = paths::In(home, relative);
    const auto listed = digests.find(FileName(relative));
    if (listed == digests.end()) {
      throw RunFailure(file.string() + ": not listed in " + manifest.string() + RebuildHint(home));
    }
    if (Sha256FileHex(file) != listed->second) {
      throw RunFailure(file.string() + ": changed since " + manifest.string() + " was written" + RebuildHint(home));
    }
  }
}

}  // namespace velmora
