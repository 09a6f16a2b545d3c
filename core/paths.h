#pragma once

// Every file of a run is the installation folder followed by one of these
// fixed relative paths.

#include <filesystem>
#include <string_view>

namespace velmora::paths {

inline constexpr std::string_view kTmp = "tmp/";
inline constexpr std::string_view kMirandaInput = "tmp/lncrna_custom_ori.txt";
inline constexpr std::string_view kTargetScanInput = "tmp/lncrna_custom.txt";
inline constexpr std::string_view kTargetScanOutput = "tmp/targetscan60_out.txt";
inline constexpr std::string_view kMirandaOutput = "tmp/miranda_out.txt";
inline constexpr std::string_view kPairs = "tmp/mir_lnc2.txt";
inline constexpr std::string_view kTargetScanPairs = "tmp/mir_lnc2_t.txt";
inline constexpr std::string_view kMirandaPairs = "tmp/mir_lnc2_m.txt";
inline constexpr std::string_view kGroupedPairs = "tmp/mir_lnc3.txt";
inline constexpr std::string_view kLncMirSets = "tmp/lnc_mirset.txt";
inline constexpr std::string_view kResult = "tmp/result.xls";

inline constexpr std::string_view kSeedFamilies = "lib/hsa_mir_seed.txt";
inline constexpr std::string_view kMirnaSequences = "lib/small_mirs.txt";
inline constexpr std::string_view kReferenceMirnas = "lib/nor_mir.txt";
inline constexpr std::string_view kDiseaseSets = "lib/disease_mirset.txt";
inline constexpr std::string_view kFactorials = "lib/mulnum.txt";
inline constexpr std::string_view kTargetScanProgram = "perlbin/targetscan_60";
inline constexpr std::string_view kMirandaProgram = "lib/miranda";

inline std::filesystem::path In(const std::filesystem::path& home, std::string_view relative) {
  return home / relative;
}

}  // namespace velmora::paths
