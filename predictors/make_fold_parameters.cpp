// Writes the folding parameters at 30 °C as C++ source, from a parameter
// file of free energies at 37 °C and enthalpies (units of 0.01 kcal/mol).
//
// usage: make_fold_parameters PARAMETER_FILE OUTPUT_CPP

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/line_reader.h"
#include "core/output_file.h"
#include "core/run_failure.h"
#include "predictors/fold_parameters.h"

namespace {

constexpr double kScale = 303.15 / 310.15;  // 30 °C over 37 °C, in kelvin
constexpr long kInfinity = 10000000;

using Section = std::vector<std::string>;  // the numbers of one section, comments dropped

std::map<std::string, Section> ReadSections(velmora::LineFile& in) {
  std::map<std::string, Section> sections;
  Section* current = nullptr;
  for (std::string line; in.ReadLine(true, line);) {
    if (line.rfind("# ", 0) == 0) {
      current = &sections[line.substr(2)];
      continue;
    }
    for (std::size_t open; (open = line.find("/*")) != std::string::npos;) {
      const std::size_t close = line.find("*/", open);
      line.erase(open, close == std::string::npos ? std::string::npos : close + 2 - open);
    }
    std::istringstream words(line);
    for (std::string word; current && words >> word;) current->push_back(word);
  }
  return sections;
}

long Number(const std::string& word) { return word == "INF" ? kInfinity : std::stol(word); }

const Section& Find(const std::map<std::string, Section>& sections, const std::string& name, std::size_t size) {
  const auto found = sections.find(name);
  if (found == sections.end()) throw std::runtime_error("no section " + name);
  if (found->second.size() != size) throw std::runtime_error("section " + name + " has a wrong size");
  return found->second;
}

// Free energy at 30 °C from the one at 37 °C and the enthalpy.
long Rescaled(long g, long h) {
  if (g == kInfinity) return kInfinity;
  return static_cast<long>(h - (h - g) * kScale);  // the cast truncates toward zero
}
long Rescaled(const std::string& energy, const std::string& enthalpy) {
  return Rescaled(Number(energy), Number(enthalpy));
}

long LoopRescaled(const std::string& energy) {
  const long g = Number(energy);
  return g == kInfinity ? kInfinity : static_cast<long>(g * kScale);
}

// One table of the generated struct: its dimensions, and the value at each
// index tuple (the indices of the struct, not of the file).
void Emit(std::ostream& out, const std::vector<int>& dims, const std::function<long(const std::vector<int>&)>& at) {
  std::vector<int> index;
  std::function<void()> level = [&] {
    if (index.size() == dims.size()) {
      out << at(index);
      return;
    }
    out << '{';
    for (int k = 0; k < dims[index.size()]; ++k) {
      if (k) out << ',';
      index.push_back(k);
      level();
      index.pop_back();
    }
    out << '}';
  };
  level();
  out << ",\n";
}

// The file lists pair types 1 to 7 (the 7th, a non-standard pair, is never
// formed here) and bases 0 to 4; the struct keeps pair types 0 to 6.
bool Paired(int type) { return type >= 1; }

void Write(const std::map<std::string, Section>& sections, std::ostream& out) {
  auto table = [&](const std::string& name, std::vector<int> fileDims) {
    std::size_t size = 1;
    for (int d : fileDims) size *= static_cast<std::size_t>(d);
    const Section& g = Find(sections, name, size);
    const Section& h = Find(sections, name + "_enthalpies", size);
    return [&g, &h, fileDims](const std::vector<int>& fileIndex) {
      std::size_t flat = 0;
      for (std::size_t k = 0; k < fileDims.size(); ++k) flat = flat * fileDims[k] + fileIndex[k];
      return Rescaled(g[flat], h[flat]);
    };
  };
  const auto stack = table("stack", {7, 7});
  const auto hairpinMismatch = table("mismatch_hairpin", {7, 5, 5});
  const auto interiorMismatch = table("mismatch_internal", {7, 5, 5});
  const auto dangle5 = table("dangle5", {7, 5});
  const auto dangle3 = table("dangle3", {7, 5});
  const auto int11 = table("int11", {7, 7, 5, 5});
  const auto int21 = table("int21", {7, 7, 5, 5, 5});
  const auto int22 = table("int22", {6, 6, 4, 4, 4, 4});
  using I = std::vector<int>;
  Emit(out, {7, 7}, [&](const I& x) { return Paired(x[0]) && Paired(x[1]) ? stack({x[0] - 1, x[1] - 1}) : 0L; });
  for (const auto* mismatch : {&hairpinMismatch, &interiorMismatch}) {
    Emit(out, {7, 5, 5}, [&](const I& x) { return Paired(x[0]) ? (*mismatch)({x[0] - 1, x[1], x[2]}) : 0L; });
  }
  for (const auto* dangle : {&dangle5, &dangle3}) {
    Emit(out, {7, 5}, [&](const I& x) { return Paired(x[0]) ? (*dangle)({x[0] - 1, x[1]}) : 0L; });
  }
  Emit(out, {7, 7, 5, 5}, [&](const I& x) {
    return Paired(x[0]) && Paired(x[1]) ? int11({x[0] - 1, x[1] - 1, x[2], x[3]}) : 0L;
  });
  Emit(out, {7, 7, 5, 5, 5}, [&](const I& x) {
    return Paired(x[0]) && Paired(x[1]) ? int21({x[0] - 1, x[1] - 1, x[2], x[3], x[4]}) : 0L;
  });
  // The 2x2 table has no entries for N; an N there takes the least
  // favourable value over the four bases it could stand for.
  Emit(out, {7, 7, 5, 5, 5, 5}, [&](const I& x) {
    if (!Paired(x[0]) || !Paired(x[1])) return 0L;
    long worst = -kInfinity;
    for (int a = 1; a <= 4; ++a) {
      for (int b = 1; b <= 4; ++b) {
        for (int c = 1; c <= 4; ++c) {
          for (int d = 1; d <= 4; ++d) {
            const int bases[4] = {x[2] ? x[2] : a, x[3] ? x[3] : b, x[4] ? x[4] : c, x[5] ? x[5] : d};
            worst =
                std::max(worst, int22({x[0] - 1, x[1] - 1, bases[0] - 1, bases[1] - 1, bases[2] - 1, bases[3] - 1}));
          }
        }
      }
    }
    return worst;
  });
  // The file lists each tetraloop's whole loop, its hairpin[4] and terminal
  // mismatch included, as free energy at 37 °C and enthalpy; the model adds
  // a bonus to those two terms. The bonus is taken apart from them and
  // rescaled on its own, as the tables with enthalpies are.
  std::map<int, long> tetraloops;
  const auto listed = sections.find("Tetraloops");
  if (listed == sections.end() || listed->second.size() % 3 != 0) throw std::runtime_error("no Tetraloops section");
  const Section& hairpin = Find(sections, "hairpin", 31);
  const Section& hairpinEnthalpy = Find(sections, "hairpin_enthalpies", 31);
  const Section& mismatchEnergy = Find(sections, "mismatch_hairpin", 7 * 5 * 5);
  const Section& mismatchEnthalpy = Find(sections, "mismatch_hairpin_enthalpies", 7 * 5 * 5);
  for (std::size_t k = 0; k < listed->second.size(); k += 3) {
    const std::string& loop = listed->second[k];
    int hexamer = 0, codes[6];
    for (std::size_t b = 0; b < 6; ++b) {
      const auto code = std::string("ACGU").find(b < loop.size() ? loop[b] : '?');
      if (loop.size() != 6 || code == std::string::npos) throw std::runtime_error("tetraloop " + loop);
      codes[b] = static_cast<int>(code) + 1;
      hexamer = hexamer * 4 + codes[b] - 1;
    }
    const int type = velmora::fold::kPairType[codes[0]][codes[5]];
    if (type == 0) throw std::runtime_error("tetraloop " + loop + " is not closed by a pair");
    const std::size_t mismatch = (static_cast<std::size_t>(type - 1) * 5 + codes[1]) * 5 + codes[4];
    const long g = Number(listed->second[k + 1]) - Number(hairpin[4]) - Number(mismatchEnergy[mismatch]);
    const long h = Number(listed->second[k + 2]) - Number(hairpinEnthalpy[4]) - Number(mismatchEnthalpy[mismatch]);
    tetraloops[hexamer] = Rescaled(g, h);
  }
  Emit(out, {velmora::fold::kHexamers}, [&](const I& x) {
    const auto found = tetraloops.find(x[0]);
    return found == tetraloops.end() ? 0L : found->second;
  });
  for (const char* name : {"hairpin", "bulge", "internal"}) {
    const Section& g = Find(sections, name, 31);
    Emit(out, {31}, [&](const I& x) { return LoopRescaled(g[static_cast<std::size_t>(x[0])]); });
  }
  const Section& ninio = Find(sections, "NINIO", 3);
  const Section& multiloop = Find(sections, "ML_params", 6);
  const Section& misc = Find(sections, "Misc", 6);
  out << LoopRescaled(ninio[0]) << ", " << Number(ninio[2]) << ",\n"
      << LoopRescaled(multiloop[2]) << ", " << LoopRescaled(multiloop[4]) << ",\n"
      << Number(misc[2]) << ",\n";
  char lxc[64];
  std::snprintf(lxc, sizeof lxc, "%.17g", std::stod(misc[4]) * kScale);
  out << lxc << ",\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_fold_parameters PARAMETER_FILE OUTPUT_CPP\n");
    return 2;
  }
  try {
    velmora::LineFile in(argv[1]);
    std::ostringstream body;
    Write(ReadSections(in), body);
    velmora::OutputFile out(argv[2]);
    out.Write(std::string("// Generated by make_fold_parameters from ") + argv[1] + "; do not edit.\n" +
              "#include \"predictors/fold_parameters.h\"\n\n" +
              "namespace velmora::fold {\n\nconst Parameters kParameters = {\n" + body.str() +
              "};\n\n}  // namespace velmora::fold\n");
    out.Close();
  } catch (const velmora::RunFailure& failure) {  // it names its file
    std::fprintf(stderr, "make_fold_parameters: %s\n", failure.what());
    return 1;
  } catch (const std::exception& error) {  // a number that does not read
    std::fprintf(stderr, "make_fold_parameters: %s: %s\n", argv[1], error.what());
    return 1;
  }
  return 0;
}
