// prepare_reference_data: writes lib/nor_mir.txt, lib/disease_mirset.txt,
// lib/small_mirs.txt and lib/hsa_mir_seed.txt from an HMDD export and a
// miRBase mature-miRNA FASTA file, and lib/MANIFEST, the digests every run
// checks them against.

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>

#include "core/file_bytes.h"
#include "core/output_file.h"
#include "engine/reference_manifest.h"
#include "stats/enrichment.h"
#include "tools/reference_data.h"

namespace {

namespace fs = std::filesystem;

void WriteWhole(const fs::path& path, const std::string& bytes) {
  velmora::OutputFile out(path);
  out.Write(bytes);
  out.Close();
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Writes Velmora's reference data from HMDD and miRBase downloads."};
  std::string hmdd = VELMORA_DEFAULT_HMDD;
  std::string mirbase = VELMORA_DEFAULT_MIRBASE;
  std::string lib = "lib";
  app.add_option("--hmdd", hmdd, "HMDD disease-miRNA associations (tab-separated: index, miRNA, disease, ...)")
      ->capture_default_str();
  app.add_option("--mirbase", mirbase, "miRBase mature miRNAs, human (FASTA)")->capture_default_str();
  app.add_option("--lib", lib, "Folder to write the four reference files to")->capture_default_str();
  bool manifestOnly = false;
  app.add_flag("--manifest-only", manifestOnly,
               "Only write MANIFEST for the reference files and factorial table already in --lib");
  CLI11_PARSE(app, argc, argv);

  using namespace velmora::refdata;
  try {
    if (manifestOnly) {
      velmora::WriteManifest(lib);
      return 0;
    }
    int skipped = 0;
    const auto pairs = ReadAssociations(velmora::ReadFileBytes(hmdd), hmdd, skipped);
    const auto universe = SelectUniverse(pairs, velmora::kUniverseSize);
    if (universe.size() < static_cast<std::size_t>(velmora::kUniverseSize)) {
      throw std::runtime_error(hmdd + ": " + std::to_string(universe.size()) + " distinct miRNAs, " +
                               std::to_string(velmora::kUniverseSize) + " needed");
    }
    const auto diseases = SelectDiseases(pairs, universe, velmora::kDiseaseCount);
    if (diseases.size() < static_cast<std::size_t>(velmora::kDiseaseCount)) {
      throw std::runtime_error(hmdd + ": " + std::to_string(diseases.size()) + " diseases, " +
                               std::to_string(velmora::kDiseaseCount) + " needed");
    }
    const auto matures = KeepUniverse(ReadMatures(velmora::ReadFileBytes(mirbase)), universe);
    if (matures.empty()) throw std::runtime_error(mirbase + ": no mature miRNA of the universe");

    fs::create_directories(lib);
    WriteWhole(fs::path(lib) / "nor_mir.txt", ReferenceListFile(universe));
    WriteWhole(fs::path(lib) / "disease_mirset.txt", DiseaseSetFile(diseases));
    WriteWhole(fs::path(lib) / "small_mirs.txt", ScannerMirnaFile(matures));
    WriteWhole(fs::path(lib) / "hsa_mir_seed.txt", SeedFamilyFile(matures));
    velmora::WriteManifest(lib);
    std::cout << pairs.size() << " disease-miRNA pairs (" << skipped << " rows without a three-part miRNA name); "
              << universe.size() << " miRNAs, " << diseases.size() << " diseases, " << matures.size()
              << " mature miRNAs written to " << lib << "\n";
  } catch (const std::exception& error) {
    std::cerr << "prepare_reference_data: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
