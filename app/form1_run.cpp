// Predict and Stop: the run on its own thread, and what it shows in the window.

#include <QGroupBox>
#include <QHeaderView>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "app/form1.h"
#include "core/input_source.h"
#include "core/installation.h"
#include "core/paths.h"
#include "core/run_failure.h"
#include "engine/predict.h"
#include "engine/progress_tracker.h"
#include "engine/session.h"
#include "engine/workspace_lock.h"

namespace velmora {

Form1::~Form1() {
  if (run_.joinable()) run_.request_stop();
}

// Predict, or Stop while a run goes: the run then ends its predictor and
// logs "Stopped"; its rows so far stay, marked as incomplete.
void Form1::Command3_Click() {
  if (running_) {
    stopRequested_ = true;
    run_.request_stop();
    Command3->setEnabled(false);
    return;
  }
  if (!factorials_) {
    Log(factorialProblem_);
    return;
  }
  running_ = true;
  stopRequested_ = false;
  Frame5->setTitle("Results");
  Command3->setText("Stop");
  EnableRunControls(false);
  RefreshChart();
  const std::string text = Text1->toPlainText().toStdString();
  const PredictionOption option = SelectedOption();
  run_ = std::jthread([this, text, option](std::stop_token stop) {
    Session session{home_, frontend_, *factorials_, std::move(stop)};
    // The workspace is held for the whole run: another window or command
    // line on the same installation waits its turn instead of mixing files.
    const bool completed = RunLocked(session, [&] { return Predict(session, InputSource::Text(text), option); });
    QMetaObject::invokeMethod(
        this, [this, completed] { RunFinished(completed); }, Qt::QueuedConnection);
  });
}

void Form1::RunFinished(bool completed) {
  if (run_.joinable()) run_.join();  // closing the window may have joined it
  running_ = false;
  ProgressBar1->hide();
  Command3->setText("Predict");
  if (!completed && stopRequested_) Frame5->setTitle("Results (stopped: incomplete)");
  EnableRunControls(true);
  EnableResultCommands();
  if (completed) {
    try {
      for (Evidence& row : ReadEvidenceFile(DefaultWorkspace(home_) / paths::kEvidence)) {
        const auto key = std::pair(row.lnc, row.disease);
        evidence_.emplace(key, std::move(row));
      }
    } catch (const RunFailure& failure) {
      Log(failure.what());
    }
  }
  ShowEvidence();
  RefreshChart();
}

// Save All and Save Chart want the result file of a completed run.
void Form1::EnableResultCommands() {
  std::error_code error;
  const bool result = std::filesystem::is_regular_file(DefaultWorkspace(home_) / paths::kResult, error);
  Command1->setEnabled(result && !running_);
  SaveChart->setEnabled(result && !running_);
}

// While a run goes, nothing may change what it reads or writes, nor reorder
// the rows it is still adding.
void Form1::EnableRunControls(bool enabled) {
  for (QWidget* control : std::initializer_list<QWidget*>{Command2, Option1, Option2, Option3, Option4}) {
    control->setEnabled(enabled);
  }
  if (!enabled) {
    Command1->setEnabled(false);
    SaveChart->setEnabled(false);
  }
  ListView1->horizontalHeader()->setSectionsClickable(enabled);
  Text1_Change();
}

void Form1::ClearList() {
  store_.Clear();
  evidence_.clear();
  ListViewSET();
}

void Form1::ShowRunProgress(const RunProgress& progress) {
  if (!running_) return;  // a report still queued when the run ended
  ProgressBar1->setValue(static_cast<int>(progress.fraction * 1000));
  ProgressBar1->setFormat(
      QString("%p % · %1 · %2")
          .arg(QString::fromStdString(progress.stage), QString::fromStdString(TimeLeftText(progress))));
  ProgressBar1->show();
}

void Form1::AppendLogText(const QString& line) {
  QTextCursor cursor = Text2->textCursor();
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(line + "\n");
  Text2->setTextCursor(cursor);
  Text2->ensureCursorVisible();
}

// The list takes every row; the store, which the sort works on, the first
// 10,000 (the run's frontend says so when there are more).
void Form1::AddListRow(const ResultRow& row) {
  const int at = ListView1->rowCount();
  ListView1->insertRow(at);
  SetListRow(at, QString::number(row.id), row.cells);
  NoteWidths(at);
  PaceListRepaints();
  store_.Hold(row);
}

}  // namespace velmora
