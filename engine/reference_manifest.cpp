#include "engine/reference_manifest.h"

#include <charconv>
#include <limits>
#include <map>

#include "core/file_bytes.h"
#include "core/line_reader.h"
#include "core/output_file.h"
#include "core/paths.h"
#include "core/run_failure.h"
#include "core/sha256.h"
#include "core/text_lines.h"
#include "stats/factorial_table.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDigestSeparator = "  ";

// The files a manifest covers, under lib/.
constexpr std::string_view kCovered[] = {paths::kReferenceMirnas, paths::kDiseaseSets, paths::kMirnaSequences,
                                         paths::kSeedFamilies,    paths::kFactorials,  paths::kCollectionDescription};

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

std::string RebuildHint(const fs::path& lib) {
  return "; rebuild the reference data (cmake --build build, or prepare_reference_data --lib " + lib.string() + ")";
}

// A manifest's lines: "<name> <count>" and "<sha256>  <file name>".
struct Manifest {
  fs::path path;
  std::map<std::string, std::string, std::less<>> digests;  // file name -> digest
  std::map<std::string, std::string, std::less<>> counts;
};

Manifest ReadManifest(const fs::path& lib) {
  Manifest manifest{lib / paths::FileName(paths::kManifest), {}, {}};
  std::error_code error;
  if (!fs::is_regular_file(manifest.path, error)) {
    throw RunFailure(manifest.path.string() + ": missing" + RebuildHint(lib));
  }
  LineFile lines(manifest.path);
  for (std::string line; lines.ReadLine(true, line);) {
    const std::size_t separator = line.find(kDigestSeparator);
    if (separator != std::string_view::npos) {
      manifest.digests[std::string(line.substr(separator + kDigestSeparator.size()))] = line.substr(0, separator);
    } else if (const std::size_t space = line.find(' '); space != std::string_view::npos) {
      manifest.counts[std::string(line.substr(0, space))] = line.substr(space + 1);
    }
  }
  return manifest;
}

std::int32_t Count(const Manifest& manifest, std::string_view name, std::int32_t most) {
  const auto found = manifest.counts.find(name);
  std::int32_t value = 0;
  if (found != manifest.counts.end()) {
    const std::string& text = found->second;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc() && end == text.data() + text.size() && value >= 1 && value <= most) return value;
  }
  throw RunFailure(manifest.path.string() + ": " + std::string(name) + " " +
                   (found == manifest.counts.end() ? "missing" : found->second) + ", a whole number from 1 to " +
                   std::to_string(most) + " expected" + RebuildHint(manifest.path.parent_path()));
}

CollectionSizes SizesOf(const Manifest& manifest) {
  return {Count(manifest, "universe", FactorialTable::kMost),
          Count(manifest, "diseases", std::numeric_limits<std::int32_t>::max())};
}

}  // namespace

ReferenceCollection ReferenceCollection::Installed(const fs::path& home) {
  return {paths::In(home, paths::kManifest).parent_path()};
}

fs::path ReferenceCollection::Path(std::string_view relative) const { return folder / paths::FileName(relative); }

std::string ReferenceCollection::Name() const {
  constexpr std::string_view kName = "name: ";
  const fs::path description = Path(paths::kCollectionDescription);
  std::error_code error;
  if (fs::exists(description, error)) {
    LineFile lines(description);
    for (std::string line; lines.ReadLine(true, line);) {
      if (line.starts_with(kName)) return line.substr(kName.size());
    }
  }
  return (folder / "").parent_path().filename().string();  // "lib" of both lib and lib/
}

std::string ManifestText(const fs::path& lib) {
  std::string text = "universe " + std::to_string(CountLines(lib / paths::FileName(paths::kReferenceMirnas))) + "\n" +
                     "diseases " + std::to_string(CountLines(lib / paths::FileName(paths::kDiseaseSets))) + "\n" +
                     "matures " + std::to_string(CountLines(lib / paths::FileName(paths::kMirnaSequences), ">")) + "\n";
  for (std::string_view relative : kCovered) {
    const fs::path file = lib / paths::FileName(relative);
    std::error_code error;
    if (!fs::exists(file, error)) continue;
    text += Sha256FileHex(file) + std::string(kDigestSeparator) + std::string(paths::FileName(relative)) + "\n";
  }
  return text;
}

void WriteManifest(const fs::path& lib) {
  OutputFile out(lib / paths::FileName(paths::kManifest));
  out.Write(ManifestText(lib));
  out.Close();
}

CollectionSizes ReadCollectionSizes(const fs::path& lib) { return SizesOf(ReadManifest(lib)); }

void VerifyReferenceData(const ReferenceCollection& collection, const std::vector<std::string_view>& relatives) {
  const fs::path& lib = collection.folder;
  const Manifest manifest = ReadManifest(lib);
  SizesOf(manifest);
  for (std::string_view relative : relatives) {
    const fs::path file = collection.Path(relative);
    const auto listed = manifest.digests.find(paths::FileName(relative));
    if (listed == manifest.digests.end()) {
      throw RunFailure(file.string() + ": not listed in " + manifest.path.string() + RebuildHint(lib));
    }
    if (Sha256FileHex(file) != listed->second) {
      throw RunFailure(file.string() + ": changed since " + manifest.path.string() + " was written" + RebuildHint(lib));
    }
  }
}

}  // namespace velmora
