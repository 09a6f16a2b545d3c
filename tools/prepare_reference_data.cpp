// prepare_reference_data: writes lib/nor_mir.txt, lib/disease_mirset.txt,
// lib/small_mirs.txt and lib/hsa_mir_seed.txt from an HMDD export and a
// miRBase mature-miRNA FASTA file, the collection's lib/description.txt, and
// lib/MANIFEST, the digests every run checks them against.

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>

#include "core/output_file.h"
#include "core/paths.h"
#include "core/version.h"
#include "engine/reference_collection.h"
#include "engine/reference_manifest.h"

int main(int argc, char** argv) {
  CLI::App app{"Writes Velmora's reference data from HMDD and miRBase downloads."};
  velmora::refdata::CollectionSources sources;
  sources.hmdd = VELMORA_DEFAULT_HMDD;
  sources.mirbase = VELMORA_DEFAULT_MIRBASE;
  std::string lib = "lib";
  app.add_option("--hmdd", sources.hmdd, "HMDD disease-miRNA associations (v2.0, v3.x or v4.x all-data table)")
      ->capture_default_str();
  app.add_option("--mirbase", sources.mirbase, "miRBase mature miRNAs, human (FASTA)")->capture_default_str();
  app.add_option("--lib", lib, "Folder to write the four reference files to")->capture_default_str();
  bool manifestOnly = false;
  app.add_flag("--manifest-only", manifestOnly,
               "Only write MANIFEST for the reference files and factorial table already in --lib");
  CLI11_PARSE(app, argc, argv);

  try {
    if (!manifestOnly) {
      const velmora::refdata::Collection collection = velmora::refdata::BuildFromHmdd(sources);
      std::filesystem::create_directories(lib);
      velmora::refdata::WriteReferenceFiles(lib, collection);
      // Nothing of the day or the machine: the build writes the same file every time.
      velmora::refdata::CollectionSources named = sources;
      named.hmdd = std::filesystem::path(sources.hmdd).filename().string();
      named.mirbase = std::filesystem::path(sources.mirbase).filename().string();
      velmora::OutputFile description(std::filesystem::path(lib) /
                                      velmora::paths::FileName(velmora::paths::kCollectionDescription));
      description.Write(velmora::refdata::DescriptionText(
          "HMDD v2.0, shipped", named, collection,
          "built with: prepare_reference_data, Velmora " + std::string(velmora::kVersion) + "\n"));
      description.Close();
      for (const std::string& line : collection.report) std::cout << line << "\n";
      std::cout << collection.universe.size() << " miRNAs, " << collection.sets.size() << " diseases, "
                << collection.matures.size() << " mature miRNAs written to " << lib << "\n";
    }
    velmora::WriteManifest(lib);
  } catch (const std::exception& error) {
    std::cerr << "prepare_reference_data: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
