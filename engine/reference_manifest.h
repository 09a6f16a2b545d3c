#pragma once

// lib/MANIFEST: the SHA-256 of every reference file and of the factorial
// table, with the counts they hold. It is written with the reference data
// and checked before every run, so that no run uses a changed file. A
// collection is the folder of these files; its counts give the sizes the
// enrichment works with.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// A collection's folder, such as the installation's lib/. Its files are
// named by their installation paths (paths::kDiseaseSets, ...), so that one
// list of requirements serves every collection.
struct ReferenceCollection {
  std::filesystem::path folder;

  // The installation's own collection, HOME/lib.
  static ReferenceCollection Installed(const std::filesystem::path& home);
  // The collection's file that the installation keeps at `relative`.
  std::filesystem::path Path(std::string_view relative) const;
  // The "name: " line of its description, or the folder's name when it has
  // none. A description that cannot be read throws RunFailure naming it.
  std::string Name() const;
};

// The manifest of the reference files present in the folder `lib`: the
// counts ("universe N", "diseases N", "matures N": reference miRNAs, disease
// lines, scanner miRNAs), then one "<sha256>  <file name>" line per file, the
// form `sha256sum -c` reads.
std::string ManifestText(const std::filesystem::path& lib);

struct CollectionSizes {
  std::int32_t universe;  // every 2x2 table's total
  std::int32_t sets;      // disease set lines
};

// The counts of the MANIFEST in the collection folder `lib`. A missing
// manifest, or a universe or disease count that is missing or not a whole
// number from 1 to FactorialTable::kMost (universe) or above 0 (sets),
// throws RunFailure naming the manifest.
CollectionSizes ReadCollectionSizes(const std::filesystem::path& lib);

// Writes lib/MANIFEST from the files in lib (through a temporary name).
void WriteManifest(const std::filesystem::path& lib);

// Throws RunFailure naming the file and how to rebuild the reference data
// when the collection's MANIFEST is missing, does not list one of the
// `relatives` (installation paths, ReferenceCollection::Path), a listed
// file's digest differs, or its counts cannot be read (ReadCollectionSizes).
void VerifyReferenceData(const ReferenceCollection& collection, const std::vector<std::string_view>& relatives);

}  // namespace velmora
