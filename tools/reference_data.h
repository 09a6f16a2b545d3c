#pragma once

// Builds the reference files of lib/ from two public sources: disease-miRNA
// associations (HMDD's tab-separated export) and mature miRNA sequences
// (miRBase FASTA).

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace velmora::refdata {

// Distinct (disease, normalised miRNA) pairs; disease names are trimmed of
// spaces. Rows whose miRNA has fewer than three "-" parts are counted in
// `skipped`. A row with fewer than three fields throws std::runtime_error.
std::set<std::pair<std::string, std::string>> ReadAssociations(const std::string& text, const std::string& fileName,
                                                               int& skipped);

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

}  // namespace velmora::refdata
