#include "cli/reference_command.h"

#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <iostream>

#include "core/installation.h"
#include "core/paths.h"
#include "core/run_failure.h"
#include "core/version.h"
#include "stats/factorial_table.h"

namespace velmora::cli {
namespace {

// A time's date, UTC, as YYYY-MM-DD.
std::string Date(std::time_t when) {
  std::tm utc{};
  gmtime_r(&when, &utc);
  char text[16];
  std::strftime(text, sizeof text, "%Y-%m-%d", &utc);
  return text;
}

// "source dates: FILE YYYY-MM-DD, ..." for the source files given: when each
// was last changed, so that a collection says which release it was built from.
std::string SourceDates(const refdata::CollectionSources& sources) {
  std::string text;
  for (const std::string& file : {sources.hmdd, sources.gmt, sources.universe, sources.mirbase}) {
    struct stat status {};
    if (file.empty() || stat(file.c_str(), &status) != 0) continue;
    text += (text.empty() ? "source dates: " : ", ") + file + " " + Date(status.st_mtime);
  }
  return text.empty() ? text : text + "\n";
}

std::string Description(const ReferenceOptions& options, const refdata::Collection& collection,
                        const std::string& commandLine) {
  return refdata::DescriptionText(
      options.name.empty() ? std::filesystem::path(options.out).filename().string() : options.name, options.sources,
      collection,
      "date: " + Date(std::time(nullptr)) + "\n" + SourceDates(options.sources) + "built with: velmora-cli " +
          kVersion + ": " + commandLine + "\n");
}

}  // namespace

CLI::App* AddReferenceCommand(CLI::App& app, ReferenceOptions& options) {
  CLI::App* reference = app.add_subcommand("reference", "Reference collections: disease sets in a miRNA universe");
  reference->require_subcommand(1);
  CLI::App* build = reference->add_subcommand(
      "build", "Write a collection (the reference files of a folder such as lib/) from HMDD or GMT sets and miRBase");
  build->add_option("--out", options.out, "The collection folder to write")->required();
  CLI::Option_group* source = build->add_option_group("sets", "Where the sets come from: exactly one of");
  CLI::Option* hmdd = source->add_option("--hmdd", options.sources.hmdd,
                                         "HMDD all-data table (v2.0 layout, or v3.x/v4.x with its category column)");
  CLI::Option* gmt = source->add_option("--gmt", options.sources.gmt, "GMT file: name TAB description TAB members...");
  source->require_option(1);
  build->add_option("--universe-size", options.sources.universeSize, "HMDD: the miRNAs with the most diseases")
      ->check(CLI::Range(1, FactorialTable::kMost))
      ->capture_default_str()
      ->excludes(gmt);
  build->add_option("--diseases", options.sources.diseases, "HMDD: the diseases with the most of those miRNAs")
      ->check(CLI::PositiveNumber)
      ->capture_default_str()
      ->excludes(gmt);
  build->add_option("--category", options.sources.category, "HMDD v3.x/v4.x: only the rows of this category")
      ->excludes(gmt);
  build
      ->add_option("--universe", options.sources.universe,
                   "GMT: a file of miRNA names, one a line (default: the members with a mature sequence)")
      ->excludes(hmdd);
  options.sources.mirbase = paths::In(ProgramFolder(), paths::kMirbaseMatures).string();
  build->add_option("--mirbase", options.sources.mirbase, "miRBase mature miRNAs (FASTA)")->capture_default_str();
  build->add_option("--name", options.name, "The collection's name in its description")
      ->default_str("the folder's name");
  return build;
}

int ReferenceBuild(const ReferenceOptions& options, const std::string& commandLine) {
  try {
    const refdata::Collection collection =
        options.sources.gmt.empty() ? refdata::BuildFromHmdd(options.sources) : refdata::BuildFromGmt(options.sources);
    refdata::WriteCollection(options.out, collection, Description(options, collection, commandLine));
    for (const std::string& line : collection.report) std::cout << line << "\n";
    std::cout << "universe " << collection.universe.size() << ", sets " << collection.sets.size() << ", matures "
              << collection.matures.size() << " written to " << options.out << "\n";
    return 0;
  } catch (const RunFailure& failure) {
    std::cerr << failure.what() << "\n";
    return 1;
  }
}

}  // namespace velmora::cli
