#include "engine/reference_manifest.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/run_failure.h"
#include "tests/support/test_support.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string_view> kNeeded = {"lib/nor_mir.txt", "lib/disease_mirset.txt", "lib/mulnum.txt"};

// A copy of the hand-made reference data with its manifest.
void MakeLib(const fs::path& home) {
  fs::copy(fs::path(VELMORA_SOURCE) / "tests/data/home/lib", home / "lib");
  fs::copy_file(fs::path(VELMORA_HOME) / "lib/mulnum.txt", home / "lib/mulnum.txt");
  WriteManifest(home / "lib");
}

std::string Failure(const fs::path& home) {
  return test::FailureOf([&] { VerifyReferenceData(ReferenceCollection::Installed(home), kNeeded); });
}

TEST(ReferenceManifest, ListsCountsAndDigestsInTheFormSha256sumReads) {
  test::TempDir dir;
  MakeLib(dir.path());
  const std::string manifest = test::ReadBytes(dir / "lib/MANIFEST");
  EXPECT_EQ(manifest.rfind("universe 494\ndiseases 372\nmatures 0\n", 0), 0u) << manifest;
  EXPECT_NE(manifest.find("  mulnum.txt\n"), std::string::npos);
  const std::string check = "cd " + (dir / "lib").string() + " && grep '  ' MANIFEST | sha256sum -c --quiet";
  EXPECT_EQ(std::system(check.c_str()), 0);
  EXPECT_EQ(Failure(dir.path()), "no failure");
}

// Each change of the reference data stops the run, naming the file (the
// command-line tests run the other changes end to end).
TEST(ReferenceManifest, EveryChangeIsNamed) {
  const auto edit = [](const fs::path& file, const std::function<void(std::string&)>& change) {
    std::string bytes = test::ReadBytes(file);
    change(bytes);
    test::WriteBytes(file, bytes);
  };
  const std::vector<std::pair<std::function<void(const fs::path&)>, std::string>> cases = {
      {[&](const fs::path& lib) { edit(lib / "nor_mir.txt", [](std::string& b) { std::erase(b, '\r'); }); },
       "lib/nor_mir.txt: changed since"},
      {[](const fs::path& lib) { fs::remove(lib / "MANIFEST"); }, "lib/MANIFEST: missing; rebuild the reference data"},
      {[&](const fs::path& lib) {
         edit(lib / "MANIFEST", [](std::string& b) { b = "universe 0" + b.substr(b.find('\n')); });
       },
       "lib/MANIFEST: universe 0, a whole number from 1 to 5000 expected"},
      {[&](const fs::path& lib) { edit(lib / "MANIFEST", [](std::string& b) { b.erase(0, b.find("diseases")); }); },
       "lib/MANIFEST: universe missing, a whole number from 1 to 5000 expected"},
      {[&](const fs::path& lib) {
         edit(lib / "MANIFEST", [](std::string& b) { b.erase(b.find("  nor_mir") - 64, 78); });
       },
       "lib/nor_mir.txt: not listed in"},
  };
  for (const auto& [change, message] : cases) {
    test::TempDir dir;
    MakeLib(dir.path());
    change(dir / "lib");
    const std::string failure = Failure(dir.path());
    EXPECT_NE(failure.find(message), std::string::npos) << failure;
    EXPECT_NE(failure.find("prepare_reference_data --lib"), std::string::npos) << failure;
  }
}

}  // namespace
}  // namespace velmora
