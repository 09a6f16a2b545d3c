#include "engine/run_record.h"

#include <cmath>
#include <ctime>
#include <nlohmann/json.hpp>

#include "core/file_bytes.h"
#include "core/installation.h"
#include "core/output_file.h"
#include "core/paths.h"
#include "core/run_failure.h"
#include "core/sha256.h"
#include "core/version.h"
#include "engine/fasta_input.h"
#include "engine/logged_run.h"
#include "engine/pipelines.h"
#include "engine/reference_manifest.h"
#include "engine/session.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

// As the command line names the option.
std::string OptionName(PredictionOption option) {
  switch (option) {
    case PredictionOption::TargetScanOnly:
      return "targetscan";
    case PredictionOption::MirandaOnly:
      return "miranda";
    case PredictionOption::BothUnion:
      return "union";
    case PredictionOption::BothIntersection:
      return "intersection";
  }
  return {};
}

// ISO 8601 in UTC, to the second.
std::string UtcText(std::chrono::system_clock::time_point when) {
  const std::time_t time = std::chrono::system_clock::to_time_t(when);
  std::tm utc{};
  gmtime_r(&time, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

double Seconds(std::chrono::steady_clock::duration span) {
  return std::round(std::chrono::duration<double, std::milli>(span).count()) / 1000;
}

// What can be read of the collection: a run that failed may have failed on it.
Json CollectionJson(const ReferenceCollection& collection) {
  Json json = {{"path", collection.folder.string()}};
  const auto readable = [](const std::function<Json()>& read) -> Json {
    try {
      return read();
    } catch (const RunFailure&) {
      return nullptr;
    }
  };
  json["name"] = readable([&] { return collection.Name(); });
  const fs::path description = collection.Path(paths::kCollectionDescription);
  json["description"] = readable([&]() -> Json {
    std::error_code error;
    return fs::exists(description, error) ? Json(ReadFileBytes(description)) : Json(nullptr);
  });
  json["manifest_sha256"] = readable([&] { return Sha256FileHex(collection.Path(paths::kManifest)); });
  const Json sizes = readable([&] {
    const CollectionSizes found = ReadCollectionSizes(collection.folder);
    return Json{{"universe", found.universe}, {"sets", found.sets}};
  });
  json["universe"] = sizes.is_null() ? Json(nullptr) : sizes["universe"];
  json["sets"] = sizes.is_null() ? Json(nullptr) : sizes["sets"];
  return json;
}

// Only the records' sizes are wanted of the checking pass.
class CountingSink final : public FastaSink {
 public:
  void Header(std::string_view, std::string_view) override { ++records; }
  void Sequence(std::string_view nucleotides) override { this->nucleotides += nucleotides.size(); }
  std::int64_t records = 0, nucleotides = 0;
};

}  // namespace

RunRecord::RunRecord() : started_(std::chrono::system_clock::now()) {}

void RunRecord::Stage(std::string name) { stages_.push_back({std::move(name), std::chrono::steady_clock::now()}); }

void RunRecord::Input(std::string path, std::string sha256, std::int64_t records, std::int64_t nucleotides) {
  input_ = Checked{std::move(path), std::move(sha256), records, nucleotides};
}

void RunRecord::Failed(std::string reason, bool stopped) {
  if (outcome_ != "completed") return;
  outcome_ = stopped ? "stopped" : "failed";
  reason_ = std::move(reason);
}

std::string RunRecord::Text(const Session& session) const {
  const auto now = std::chrono::steady_clock::now();
  const std::vector<std::string> command = ProgramCommandLine();
  Json json = {{"velmora", kVersion}};
  json["front_end"] = {{"program", command.empty() ? "" : command.front()},
                       {"arguments", command.empty() ? std::vector<std::string>{}
                                                     : std::vector<std::string>(command.begin() + 1, command.end())}};
  json["option"] = option_ ? Json(OptionName(*option_)) : Json(nullptr);
  json["threads"] = session.ScannerThreads();
  json["input"] = input_ ? Json{{"path", input_->path.empty() ? Json(nullptr) : Json(input_->path)},
                                {"sha256", input_->sha256},
                                {"records", input_->records},
                                {"nucleotides", input_->nucleotides}}
                         : Json(nullptr);
  json["collection"] = CollectionJson(session.Collection());
  json["workspace"] = session.Workspace().string();
  json["started_utc"] = UtcText(started_);
  json["ended_utc"] = UtcText(std::chrono::system_clock::now());
  json["stages"] = Json::array();
  for (std::size_t k = 0; k < stages_.size(); ++k) {
    const auto end = k + 1 < stages_.size() ? stages_[k + 1].start : now;
    json["stages"].push_back({{"name", stages_[k].name}, {"seconds", Seconds(end - stages_[k].start)}});
  }
  json["result_rows"] = session.rowsShown;
  json["outcome"] = outcome_;
  if (!reason_.empty()) json["reason"] = reason_;
  return json.dump(2) + "\n";
}

std::int64_t CheckRecordedInput(Session& session, const InputSource& input) {
  const std::unique_ptr<ByteStream> bytes = input.Open();
  Sha256Stream digested(*bytes);
  CountingSink counts;
  ReadLncRnaFasta(digested, counts, session.stop);
  session.record.Input(input.Name(), digested.Hex(), counts.records, counts.nucleotides);
  return counts.nucleotides;
}

void WriteRunRecord(const Session& session, const fs::path& path) {
  OutputFile out(path);
  out.Write(session.record.Text(session));
  out.Close();
}

bool RunRecorded(Session& session, PredictionOption option, const std::function<void()>& steps) {
  session.record = RunRecord();  // a session may serve several runs
  session.record.Option(option);
  return RunLogged(session, [&] {
    steps();
    WriteRunRecord(session, session.Work(paths::kRunInfo));
  });
}

}  // namespace velmora
