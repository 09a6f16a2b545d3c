#pragma once

// Builds a collection, the reference files of a folder such as lib/: the
// universe (nor_mir.txt), the disease sets (disease_mirset.txt), the mature
// miRNAs the predictors use (small_mirs.txt, hsa_mir_seed.txt), the
// factorial table (mulnum.txt), a description and the MANIFEST. The sets
// come from an HMDD all-data table or a GMT file, the sequences from a
// miRBase mature-miRNA FASTA file.

#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "stats/enrichment.h"

namespace velmora::refdata {

// HMDD v2.0 rows (no header): index, miRNA, disease, ...; HMDD v3.x and
// v4.x: a header "category TAB mir TAB disease ...", then rows in that order.
enum class HmddLayout { V2, V3 };

struct Associations {
  HmddLayout layout = HmddLayout::V2;
  std::set<std::pair<std::string, std::string>> pairs;  // distinct (disease, normalised miRNA)
  int skipped = 0;                                      // rows whose miRNA has fewer than three "-" parts
  int otherCategory = 0;                                // rows of another category than the one asked for
  std::vector<std::string> merged;                      // normalised names that several spellings share
};

// Reads an HMDD table, its layout told by its first line; disease names are
// trimmed of spaces. With `category` (v3/v4 layout only) only the rows of
// that category count. An unknown layout, a category asked of the v2.0
// layout, or a row with fewer than three fields throws RunFailure naming
// the file and line.
Associations ReadAssociations(const std::string& text, const std::string& fileName, const std::string& category = {});

// The `count` miRNAs with the most distinct diseases, ties by name; in byte order.
std::vector<std::string> SelectUniverse(const std::set<std::pair<std::string, std::string>>& pairs, std::size_t count);

struct DiseaseSet {
  std::string name;
  std::vector<std::string> mirnas;  // byte order
};

// The `count` diseases with the most distinct miRNAs of the universe, ties
// by name; in byte order of the name.
std::vector<DiseaseSet> SelectDiseases(const std::set<std::pair<std::string, std::string>>& pairs,
                                       const std::vector<std::string>& universe, std::size_t count);

struct GmtSet {
  std::string name;
  std::vector<std::string> members;  // as written
};

// One set per line: name TAB description TAB members... (CR LF or LF; empty
// lines and empty member fields are skipped). A line without TAB, a set
// without a name or without members, and a name used twice throw
// RunFailure naming the file and line.
std::vector<GmtSet> ReadGmt(const std::string& text, const std::string& fileName);

struct Mature {
  std::string header;  // without ">"
  std::string sequence;
};

std::vector<Mature> ReadMatures(const std::string& fasta);

// The matures whose normalised name is in the universe, in file order.
std::vector<Mature> KeepUniverse(const std::vector<Mature>& matures, const std::vector<std::string>& universe);

std::string ReferenceListFile(const std::vector<std::string>& universe);  // one per line, CR LF
std::string DiseaseSetFile(const std::vector<DiseaseSet>& diseases);      // name, TAB miRNA..., LF
std::string ScannerMirnaFile(const std::vector<Mature>& matures);         // FASTA, LF
// ">" id TAB nucleotides 2 to 8 (U for T) TAB "9606" LF; throws for a
// sequence shorter than 8 nucleotides.
std::string SeedFamilyFile(const std::vector<Mature>& matures);

// Where a collection comes from: `hmdd` or `gmt`, and `mirbase`.
struct CollectionSources {
  std::string hmdd;
  std::size_t universeSize = kUniverseSize;  // HMDD: the miRNAs with the most diseases
  std::size_t diseases = kDiseaseCount;      // HMDD: the diseases with the most of them
  std::string category;                      // HMDD v3/v4: only this category's rows
  std::string gmt;
  std::string universe;  // GMT: a file of miRNA names, one a line; empty: the members with a mature sequence
  std::string mirbase;
};

// A collection ready to be written, with what building it counted: every
// row, member, set or name left out is in `report`, one line each.
struct Collection {
  std::vector<std::string> universe;  // byte order
  std::vector<DiseaseSet> sets;       // every one with a member
  std::vector<Mature> matures;        // of the universe, in the miRBase file's order
  std::vector<std::string> report;
};

// The universe and disease sets chosen from `sources.hmdd` as the shipped
// collection was (SelectUniverse, SelectDiseases); too few miRNAs or
// diseases for the sizes asked throws RunFailure naming the file.
Collection BuildFromHmdd(const CollectionSources& sources);

// The sets of `sources.gmt` in file order, members normalised
// (NormaliseMirnaName) and kept when in the universe; sets left without a
// member are reported and not written. No set left, or a universe larger
// than FactorialTable::kMost, throws RunFailure naming the file.
Collection BuildFromGmt(const CollectionSources& sources);

// description.txt: "name: NAME", the sources, the lines of `how` (how and
// when it was built), the sizes and every report line.
std::string DescriptionText(const std::string& name, const CollectionSources& sources, const Collection& collection,
                            const std::string& how);

// Writes nor_mir.txt, disease_mirset.txt, small_mirs.txt and hsa_mir_seed.txt into `lib`.
void WriteReferenceFiles(const std::filesystem::path& lib, const Collection& collection);

// Writes the whole collection into `lib` (created when missing): the
// reference files, the factorials up to the universe size (at least the
// shipped 500), description.txt and the MANIFEST.
void WriteCollection(const std::filesystem::path& lib, const Collection& collection, const std::string& description);

}  // namespace velmora::refdata
