#pragma once

// velmora-cli reference build: writes a collection (the reference files of a
// folder such as lib/) from an HMDD table or a GMT file and miRBase.

#include <CLI/CLI.hpp>
#include <string>

#include "engine/reference_collection.h"

namespace velmora::cli {

struct ReferenceOptions {
  refdata::CollectionSources sources;
  std::string out;   // the collection folder to write
  std::string name;  // the collection's name; empty: the folder's name
};

// Adds "reference" and its subcommand "build" to `app`; returns "build".
CLI::App* AddReferenceCommand(CLI::App& app, ReferenceOptions& options);

// Builds and writes the collection, printing what was counted and left out
// on standard output. 0 when written, 1 (with one line on standard error)
// when not. `commandLine` goes into the collection's description.
int ReferenceBuild(const ReferenceOptions& options, const std::string& commandLine);

}  // namespace velmora::cli
