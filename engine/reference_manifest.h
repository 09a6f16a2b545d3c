#pragma once

// lib/MANIFEST: the SHA-256 of every reference file and of the factorial
// table, with the counts they hold. It is written with the reference data
// and checked before every run, so that no run uses a changed file.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The manifest of the reference files present in the folder `lib`: the
// counts ("universe N", "diseases N", "matures N": reference miRNAs, disease
// lines, scanner miRNAs), then one "<sha256>  <file name>" line per file, the
// form `sha256sum -c` reads.
std::string ManifestText(const std::filesystem::path& lib);

// Writes lib/MANIFEST from the files in lib (through a temporary name).
void WriteManifest(const std::filesystem::path& lib);

// Throws RunFailure naming the file and how to rebuild the reference data
// when lib/MANIFEST is missing, does not list one of the `relatives` (paths
// under the installation folder), a listed file's digest differs, or the
// counts are not the universe and disease counts of the design.
void VerifyReferenceData(const std::filesystem::path& home, const std::vector<std::string_view>& relatives);

}  // namespace velmora
