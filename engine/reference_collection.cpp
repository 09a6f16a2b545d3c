#include "engine/reference_collection.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <unordered_set>

#include "core/byte_stream.h"
#include "core/fasta_records.h"
#include "core/file_bytes.h"
#include "core/line_reader.h"
#include "core/output_file.h"
#include "core/run_failure.h"
#include "core/text.h"
#include "engine/reference_manifest.h"
#include "mapping/mirna_name.h"
#include "stats/factorial_table.h"

namespace velmora::refdata {
namespace {

// Names ranked by their number of partners (most first), ties by name.
std::vector<std::string> TopByCount(const std::map<std::string, std::size_t>& counts, std::size_t count) {
  std::vector<std::pair<std::string, std::size_t>> ranked(counts.begin(), counts.end());
  std::stable_sort(ranked.begin(), ranked.end(), [](const auto& x, const auto& y) { return x.second > y.second; });
  std::vector<std::string> names;
  for (std::size_t i = 0; i < ranked.size() && i < count; ++i) names.push_back(ranked[i].first);
  std::sort(names.begin(), names.end());
  return names;
}

// The layout the first line of an HMDD table shows: a v2.0 row (its index
// first) or the v3/v4 header.
HmddLayout LayoutOf(const std::vector<std::string_view>& fields, const std::string& fileName) {
  if (fields.size() >= 3 && !fields[0].empty() && fields[0].find_first_not_of("0123456789") == std::string_view::npos) {
    return HmddLayout::V2;
  }
  if (fields.size() >= 3 && LowerCase(TrimSpaces(fields[0])) == "category" &&
      LowerCase(TrimSpaces(fields[1])).starts_with("mir") && LowerCase(TrimSpaces(fields[2])) == "disease") {
    return HmddLayout::V3;
  }
  throw RunFailure(fileName +
                   ": line 1: unknown layout, neither an HMDD v2.0 row (index TAB miRNA TAB disease ...) nor an "
                   "HMDD v3/v4 header (category TAB mir TAB disease ...)");
}

// The normalised names written more than one way, in byte order.
std::vector<std::string> Merged(const std::map<std::string, std::set<std::string>>& spellings) {
  std::vector<std::string> merged;
  for (const auto& [name, written] : spellings) {
    if (written.size() > 1) merged.push_back(name);
  }
  return merged;
}

// "what: N" and up to ten of the names, for the build's report.
std::string Listed(const std::string& what, const std::vector<std::string>& names) {
  constexpr std::size_t kShown = 10;
  std::string line = what + ": " + std::to_string(names.size());
  for (std::size_t i = 0; i < names.size() && i < kShown; ++i) line += (i == 0 ? " (" : ", ") + names[i];
  if (names.size() > kShown) line += ", and " + std::to_string(names.size() - kShown) + " more";
  if (!names.empty()) line += ")";
  return line;
}

void WriteWhole(const std::filesystem::path& path, const std::string& bytes) {
  OutputFile out(path);
  out.Write(bytes);
  out.Close();
}

// The normalised names of the matures.
std::set<std::string> MatureNames(const std::vector<Mature>& matures) {
  std::set<std::string> names;
  for (const Mature& mature : matures) {
    if (const auto name = NormaliseMirnaName(mature.header.substr(0, mature.header.find_first_of(" \t")))) {
      names.insert(*name);
    }
  }
  return names;
}

// The universe names that no mature of the collection carries.
std::vector<std::string> WithoutSequence(const std::vector<std::string>& universe, const std::vector<Mature>& kept) {
  const std::set<std::string> named = MatureNames(kept);
  std::vector<std::string> missing;
  for (const std::string& name : universe) {
    if (!named.contains(name)) missing.push_back(name);
  }
  return missing;
}

// Each line of a set file's text with its number, a CR before its LF dropped.
void ForEachLine(const std::string& text, const std::function<void(int, std::string&)>& each) {
  LineFile lines(std::make_unique<MemoryStream>(text));
  int number = 0;
  for (std::string line; lines.ReadLine(true, line);) {
    if (line.ends_with('\r')) line.pop_back();
    each(++number, line);
  }
}

}  // namespace

Associations ReadAssociations(const std::string& text, const std::string& fileName, const std::string& category) {
  Associations read;
  std::map<std::string, std::set<std::string>> spellings;  // normalised name -> names as written
  ForEachLine(text, [&](int lineNumber, const std::string& line) {
    const auto fields = Split(line, '\t');
    if (lineNumber == 1) {
      read.layout = LayoutOf(fields, fileName);
      if (!category.empty() && read.layout == HmddLayout::V2) {
        throw RunFailure(fileName + ": line 1: a category is asked for, but the HMDD v2.0 layout has none");
      }
      if (read.layout == HmddLayout::V3) return;  // the header
    }
    if (fields.size() < 3) {
      throw RunFailure(fileName + ": line " + std::to_string(lineNumber) + " has fewer than 3 tab-separated fields");
    }
    if (!category.empty() && TrimSpaces(fields[0]) != category) {
      ++read.otherCategory;
      return;
    }
    const auto mirna = NormaliseMirnaName(fields[1]);
    if (!mirna) {
      ++read.skipped;
      return;
    }
    spellings[*mirna].emplace(fields[1]);
    read.pairs.emplace(std::string(TrimSpaces(fields[2])), *mirna);
  });
  read.merged = Merged(spellings);
  return read;
}

std::vector<std::string> SelectUniverse(const std::set<std::pair<std::string, std::string>>& pairs, std::size_t count) {
  std::map<std::string, std::size_t> diseases;
  for (const auto& [disease, mirna] : pairs) ++diseases[mirna];
  return TopByCount(diseases, count);
}

std::vector<DiseaseSet> SelectDiseases(const std::set<std::pair<std::string, std::string>>& pairs,
                                       const std::vector<std::string>& universe, std::size_t count) {
  const std::unordered_set<std::string> inUniverse(universe.begin(), universe.end());
  std::map<std::string, std::vector<std::string>> mirnasOf;  // pairs are sorted, so each list is too
  for (const auto& [disease, mirna] : pairs) {
    if (inUniverse.contains(mirna)) mirnasOf[disease].push_back(mirna);
  }
  std::map<std::string, std::size_t> counts;
  for (const auto& [disease, mirnas] : mirnasOf) counts[disease] = mirnas.size();
  std::vector<DiseaseSet> diseases;
  for (const std::string& name : TopByCount(counts, count)) diseases.push_back({name, mirnasOf[name]});
  return diseases;
}

std::vector<Mature> ReadMatures(const std::string& fasta) {
  class Matures final : public FastaRecordSink {
   public:
    void Header(std::string_view text, std::int64_t /*line*/) override { all.push_back({std::string(text), {}}); }
    void SequencePiece(std::string_view bytes, std::int64_t /*line*/, std::size_t /*column*/) override {
      if (!all.empty()) all.back().sequence += bytes;
    }
    std::vector<Mature> all;
  } matures;
  MemoryStream stream(fasta);
  ReadFastaRecords(stream, matures);
  return std::move(matures.all);
}

std::vector<Mature> KeepUniverse(const std::vector<Mature>& matures, const std::vector<std::string>& universe) {
  const std::unordered_set<std::string> inUniverse(universe.begin(), universe.end());
  std::vector<Mature> kept;
  for (const Mature& mature : matures) {
    const auto name = NormaliseMirnaName(mature.header.substr(0, mature.header.find_first_of(" \t")));
    if (name && inUniverse.contains(*name)) kept.push_back(mature);
  }
  return kept;
}

std::string ReferenceListFile(const std::vector<std::string>& universe) {
  std::string file;
  for (const std::string& name : universe) file += name + "\r\n";
  return file;
}

std::string DiseaseSetFile(const std::vector<DiseaseSet>& diseases) {
  std::string file;
  for (const DiseaseSet& disease : diseases) {
    file += disease.name;
    for (const std::string& mirna : disease.mirnas) file += "\t" + mirna;
    file += "\n";
  }
  return file;
}

std::string ScannerMirnaFile(const std::vector<Mature>& matures) {
  std::string file;
  for (const Mature& mature : matures) file += ">" + mature.header + "\n" + mature.sequence + "\n";
  return file;
}

std::string SeedFamilyFile(const std::vector<Mature>& matures) {
  std::string file;
  for (const Mature& mature : matures) {
    const std::string id = mature.header.substr(0, mature.header.find_first_of(" \t"));
    if (mature.sequence.size() < 8) throw RunFailure(id + ": sequence shorter than 8 nucleotides");
    std::string seed = mature.sequence.substr(1, 7);
    std::replace(seed.begin(), seed.end(), 'T', 'U');
    file += ">" + id + "\t" + seed + "\t9606\n";
  }
  return file;
}

std::vector<GmtSet> ReadGmt(const std::string& text, const std::string& fileName) {
  std::vector<GmtSet> sets;
  std::map<std::string, int, std::less<>> lineOf;
  ForEachLine(text, [&](int lineNumber, const std::string& line) {
    if (line.empty()) return;
    const std::string at = fileName + ": line " + std::to_string(lineNumber);
    const auto fields = Split(line, '\t');
    if (fields.size() == 1) throw RunFailure(at + " has no TAB (name TAB description TAB members ...)");
    if (fields[0].empty()) throw RunFailure(at + ": a set without a name");
    GmtSet set{std::string(fields[0]), {}};
    for (std::size_t i = 2; i < fields.size(); ++i) {
      if (!fields[i].empty()) set.members.emplace_back(fields[i]);
    }
    if (set.members.empty()) throw RunFailure(at + ": the set \"" + set.name + "\" has no members");
    if (const auto [first, added] = lineOf.try_emplace(set.name, lineNumber); !added) {
      throw RunFailure(at + ": the set name \"" + set.name + "\" was used on line " + std::to_string(first->second));
    }
    sets.push_back(std::move(set));
  });
  return sets;
}

Collection BuildFromHmdd(const CollectionSources& sources) {
  const Associations read = ReadAssociations(ReadFileBytes(sources.hmdd), sources.hmdd, sources.category);
  Collection built;
  built.universe = SelectUniverse(read.pairs, sources.universeSize);
  if (built.universe.size() < sources.universeSize) {
    throw RunFailure(sources.hmdd + ": " + std::to_string(built.universe.size()) + " distinct miRNAs, " +
                     std::to_string(sources.universeSize) + " needed");
  }
  built.sets = SelectDiseases(read.pairs, built.universe, sources.diseases);
  if (built.sets.size() < sources.diseases) {
    throw RunFailure(sources.hmdd + ": " + std::to_string(built.sets.size()) + " diseases, " +
                     std::to_string(sources.diseases) + " needed");
  }
  built.matures = KeepUniverse(ReadMatures(ReadFileBytes(sources.mirbase)), built.universe);
  if (built.matures.empty()) throw RunFailure(sources.mirbase + ": no mature miRNA of the universe");
  built.report = {std::string(read.layout == HmddLayout::V2 ? "HMDD v2.0" : "HMDD v3/v4") +
                      " layout: " + std::to_string(read.pairs.size()) + " distinct disease-miRNA pairs",
                  "rows without a three-part miRNA name: " + std::to_string(read.skipped),
                  Listed("miRNA names that several spellings share", read.merged),
                  Listed("universe miRNAs without a mature sequence", WithoutSequence(built.universe, built.matures))};
  if (!sources.category.empty()) {
    built.report.push_back("rows of other categories than " + sources.category + ": " +
                           std::to_string(read.otherCategory));
  }
  return built;
}

Collection BuildFromGmt(const CollectionSources& sources) {
  const std::vector<GmtSet> sets = ReadGmt(ReadFileBytes(sources.gmt), sources.gmt);
  const std::vector<Mature> matures = ReadMatures(ReadFileBytes(sources.mirbase));
  std::map<std::string, std::set<std::string>> spellings;  // normalised name -> names as written
  std::set<std::string> notNames;                          // members with fewer than three "-" parts
  const auto normalise = [&](const std::string& written) {
    auto name = NormaliseMirnaName(written);
    if (name) spellings[*name].insert(written);
    return name;
  };

  std::set<std::string> universe;
  if (sources.universe.empty()) {
    const std::set<std::string> sequenced = MatureNames(matures);
    for (const GmtSet& set : sets) {
      for (const std::string& member : set.members) {
        if (const auto name = NormaliseMirnaName(member); name && sequenced.contains(*name)) universe.insert(*name);
      }
    }
  } else {
    ForEachLine(ReadFileBytes(sources.universe), [&](int lineNumber, const std::string& line) {
      if (line.empty()) return;
      const auto name = normalise(line);
      if (!name) {
        throw RunFailure(sources.universe + ": line " + std::to_string(lineNumber) + ": \"" + line +
                         "\" is not a miRNA name (fewer than three \"-\" parts)");
      }
      universe.insert(*name);
    });
  }
  if (universe.size() > static_cast<std::size_t>(FactorialTable::kMost)) {
    throw RunFailure((sources.universe.empty() ? sources.gmt : sources.universe) + ": a universe of " +
                     std::to_string(universe.size()) + " miRNAs, at most " + std::to_string(FactorialTable::kMost) +
                     " allowed");
  }

  Collection built;
  built.universe.assign(universe.begin(), universe.end());
  std::set<std::string> outside;
  std::vector<std::string> emptied;
  for (const GmtSet& set : sets) {
    std::set<std::string> kept;
    for (const std::string& member : set.members) {
      const auto name = normalise(member);
      if (!name) {
        notNames.insert(member);
      } else if (universe.contains(*name)) {
        kept.insert(*name);
      } else {
        outside.insert(*name);
      }
    }
    if (kept.empty()) {
      emptied.push_back(set.name);
    } else {
      built.sets.push_back({set.name, {kept.begin(), kept.end()}});
    }
  }
  if (built.sets.empty()) throw RunFailure(sources.gmt + ": no set keeps a member of the universe");
  built.matures = KeepUniverse(matures, built.universe);
  built.report = {
      "GMT: " + std::to_string(sets.size()) + " sets",
      Listed(sources.universe.empty() ? "members without a mature sequence" : "members outside the universe",
             {outside.begin(), outside.end()}),
      Listed("members that are no miRNA name (fewer than three \"-\" parts)", {notNames.begin(), notNames.end()}),
      Listed("miRNA names that several spellings share", Merged(spellings)),
      Listed("sets left empty, not written", emptied)};
  if (!sources.universe.empty()) {
    built.report.push_back(
        Listed("universe miRNAs without a mature sequence", WithoutSequence(built.universe, built.matures)));
  }
  return built;
}

void WriteReferenceFiles(const std::filesystem::path& lib, const Collection& collection) {
  WriteWhole(lib / "nor_mir.txt", ReferenceListFile(collection.universe));
  WriteWhole(lib / "disease_mirset.txt", DiseaseSetFile(collection.sets));
  WriteWhole(lib / "small_mirs.txt", ScannerMirnaFile(collection.matures));
  WriteWhole(lib / "hsa_mir_seed.txt", SeedFamilyFile(collection.matures));
}

std::string DescriptionText(const std::string& name, const CollectionSources& sources, const Collection& collection,
                            const std::string& how) {
  std::string text =
      "name: " + name + "\nsets: " + (sources.gmt.empty() ? "HMDD table " + sources.hmdd : "GMT file " + sources.gmt);
  if (!sources.category.empty()) text += ", category " + sources.category;
  if (!sources.universe.empty()) text += "\nuniverse: " + sources.universe;
  text += "\nsequences: " + sources.mirbase + "\n" + how + "sizes: universe " +
          std::to_string(collection.universe.size()) + ", sets " + std::to_string(collection.sets.size()) +
          ", matures " + std::to_string(collection.matures.size()) + "\n";
  for (const std::string& line : collection.report) text += line + "\n";
  return text;
}

void WriteCollection(const std::filesystem::path& lib, const Collection& collection, const std::string& description) {
  constexpr int kShippedFactorials = 500;
  std::error_code error;
  std::filesystem::create_directories(lib, error);
  if (error) throw RunFailure(lib.string() + ": cannot be created: " + error.message());
  WriteReferenceFiles(lib, collection);
  WriteWhole(lib / "mulnum.txt",
             FactorialFile(std::max(kShippedFactorials, static_cast<int>(collection.universe.size()))));
  WriteWhole(lib / "description.txt", description);
  WriteManifest(lib);
}

}  // namespace velmora::refdata
