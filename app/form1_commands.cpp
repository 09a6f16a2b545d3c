// The window's file commands: Import and Save All.

#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>

#include "app/form1.h"
#include "core/file_bytes.h"
#include "core/gzip_file.h"
#include "core/installation.h"
#include "core/output_file.h"
#include "core/paths.h"
#include "core/run_failure.h"
#include "core/text.h"

namespace velmora {
namespace {

// A file's lines as the input box holds them: a line ends at CR, CR LF or
// LF (the box breaks lines at LF), and the last line has an end too.
QString ImportedText(const std::string& bytes) {
  std::string text = WithLineFeeds(bytes);
  if (!text.empty() && text.back() != '\n') text += '\n';
  return QString::fromStdString(text);
}

}  // namespace

void Form1::Command2_Click() {
  if (running_) return;  // the run read the box already; keep what it shows in step
  const QString path = Cd1();
  if (path.isEmpty()) return;
  // Read first: a file that cannot be read leaves the box as it was.
  std::string bytes;
  try {
    bytes = ReadPlainOrGzipFile(path.toStdString());
  } catch (const RunFailure& failure) {
    Log(std::string("Import failed: ") + failure.what());
    return;
  }
  Text1->setPlainText(ImportedText(bytes));
  TextTip(Text1, false, kInputHint);  // normal text colour: the box may have shown the grey hint
}

// Save All: the result file, and beside it under the same stem the evidence
// of its rows (NAME_mirnas.tsv) and the record of how it was made
// (NAME_run_info.json). Each is written whole or not at all; a file the
// workspace lacks (a run of an older Velmora) is said in the log.
void Form1::Command1_Click() {
  if (running_) return;  // the run is rewriting the result file
  const QString chosen = Cd2();
  if (chosen.isEmpty()) return;
  const std::filesystem::path workspace = DefaultWorkspace(home_), destination = chosen.toStdString();
  const std::string stem = (destination.parent_path() / destination.stem()).string();
  const struct {
    std::filesystem::path from, to;
    std::string what;
  } copies[] = {{workspace / paths::kResult, destination, "Results"},
                {workspace / paths::kEvidence, stem + "_mirnas.tsv", "Evidence"},
                {workspace / paths::kRunInfo, stem + "_run_info.json", "Run record"}};
  std::error_code error;
  if (!std::filesystem::is_regular_file(copies[0].from, error)) {
    Log("Save All failed: " + copies[0].from.string() + " does not exist; run Predict first");
    return;
  }
  for (const auto& copy : copies) {
    if (!std::filesystem::is_regular_file(copy.from, error)) {
      Log("Save All: " + copy.from.string() + " does not exist; " + copy.to.string() + " not written");
      continue;
    }
    try {
      OutputFile out(copy.to);
      out.Write(ReadFileBytes(copy.from));
      out.Close();
    } catch (const RunFailure& failure) {
      Log(std::string("Save All failed: ") + failure.what());
      return;
    }
    Log(copy.what + " Exported to: " + copy.to.string());
  }
}

}  // namespace velmora
