#pragma once

// Every file of a run is the installation folder followed by one of these
// fixed relative paths, or a file of the run's workspace.

#include <filesystem>
#include <string_view>

namespace velmora::paths {

// The files of a run's workspace (DefaultWorkspace in installation.h, unless
// the user gives a folder of their own), by name:
inline constexpr std::string_view kTmp = "tmp";
inline constexpr std::string_view kMirandaInput = "lncrna_custom_ori.txt";
inline constexpr std::string_view kTargetScanInput = "lncrna_custom.txt";
inline constexpr std::string_view kTargetScanOutput = "targetscan60_out.txt";
inline constexpr std::string_view kMirandaOutput = "miranda_out.txt";
inline constexpr std::string_view kPairs = "mir_lnc2.txt";
inline constexpr std::string_view kTargetScanPairs = "mir_lnc2_t.txt";
inline constexpr std::string_view kMirandaPairs = "mir_lnc2_m.txt";
inline constexpr std::string_view kGroupedPairs = "mir_lnc3.txt";
inline constexpr std::string_view kLncMirSets = "lnc_mirset.txt";
inline constexpr std::string_view kResult = "result.xls";
inline constexpr std::string_view kEvidence = "result_mirnas.tsv";
// How the last complete run was made (engine/run_record.h).
inline constexpr std::string_view kRunInfo = "run_info.json";

// Every file above: emptying a workspace deletes these (and their unfinished
// ".partial" forms) and nothing else, so a folder of the user's own never
// loses a file that is not Velmora's.
inline constexpr std::string_view kWorkspaceFiles[] = {
    kMirandaInput, kTargetScanInput, kTargetScanOutput, kMirandaOutput, kPairs,    kTargetScanPairs,
    kMirandaPairs, kGroupedPairs,    kLncMirSets,       kResult,        kEvidence, kRunInfo};
// Links to the files of the last complete run while another run goes.
inline constexpr std::string_view kLastResult = ".velmora-last";
// Held locked by the run that uses the workspace; it holds that run's pid.
inline constexpr std::string_view kLock = ".velmora-lock";
// The suffix of a file still being written.
inline constexpr std::string_view kPartial = ".partial";

inline constexpr std::string_view kSeedFamilies = "lib/hsa_mir_seed.txt";
inline constexpr std::string_view kMirnaSequences = "lib/small_mirs.txt";
inline constexpr std::string_view kReferenceMirnas = "lib/nor_mir.txt";
inline constexpr std::string_view kDiseaseSets = "lib/disease_mirset.txt";
inline constexpr std::string_view kFactorials = "lib/mulnum.txt";
inline constexpr std::string_view kTargetScanProgram = "perlbin/targetscan_60";
inline constexpr std::string_view kMirandaProgram = "lib/miranda";
// What a collection is (name, sources, date, how built), written by
// velmora-cli reference build.
inline constexpr std::string_view kCollectionDescription = "lib/description.txt";
// miRBase's human mature miRNAs, which velmora-cli reference build reads
// unless given another file.
inline constexpr std::string_view kMirbaseMatures = "lib/mirbase_mature.fa";
// The SHA-256 of every reference file, written with them.
inline constexpr std::string_view kManifest = "lib/MANIFEST";

// The last part of a relative path: a reference file's name in any collection.
constexpr std::string_view FileName(std::string_view relative) { return relative.substr(relative.rfind('/') + 1); }

inline std::filesystem::path In(const std::filesystem::path& home, std::string_view relative) {
  return home / relative;
}

}  // namespace velmora::paths
