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

void Form1::Command1_Click() {
  if (running_) return;  // the run is rewriting the result file
  const QString chosen = Cd2();
  if (chosen.isEmpty()) return;
  const std::filesystem::path source = DefaultWorkspace(home_) / paths::kResult;
  const std::filesystem::path destination = chosen.toStdString();
  std::error_code error;
  if (!std::filesystem::is_regular_file(source, error)) {
    Log("Save All failed: " + source.string() + " does not exist; run Predict first");
    return;
  }
  // A failed copy never leaves a half-written file where an earlier one stood.
  try {
    OutputFile out(destination);
    out.Write(ReadFileBytes(source));
    out.Close();
  } catch (const RunFailure& failure) {
    Log(std::string("Save All failed: ") + failure.what());
    return;
  }
  Log("Results Exported to: " + destination.string());
}

}  // namespace velmora
