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
  // Focus moves while the child widgets go, after this body: the handler
  // must not see a window that is no longer whole.
  disconnect(focusWatch_);
  if (run_.joinable()) run_.request_stop();
}

// Predict, or Stop while a run goes: the run then ends its predictor and
// logs "Stopped". A complete result the list showed before the run comes
// back; without one, the run's rows so far stay, marked as incomplete.
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
  SetCommand3Caption("&Stop");
  EnableRunControls(false);
  RefreshChart();
  const std::string text = Text1->toPlainText().toStdString();
  const PredictionOption option = SelectedOption();
  run_ = std::jthread([this, text, option](std::stop_token stop) {
    Session session{home_, frontend_, *factorials_, std::move(stop)};
    session.reference = reference_;
    // The workspace is held for the whole run: another window or command
    // line on the same installation waits its turn instead of mixing files.
    const bool completed = RunLocked(
        session, [&] { return Predict(session, InputSource::Text(text), option); },
        "wait for it to end, then press Predict again");
    QMetaObject::invokeMethod(
        this, [this, completed] { RunFinished(completed); }, Qt::QueuedConnection);
  });
}

void Form1::SetCommand3Caption(const QString& caption) {
  Command3->setText(caption);
  command3Changed_.start();
}

void Form1::RunFinished(bool completed) {
  if (run_.joinable()) run_.join();  // closing the window may have joined it
  running_ = false;
  ProgressBar1->hide();
  SetCommand3Caption("&Predict");
  if (completed) {
    listed_ = Listed::Complete;
  } else if (setAside_) {
    Log("The " + std::string(stopRequested_ ? "stopped" : "failed") + " run's " +
        std::to_string(ListView1->rowCount()) + " rows were set aside; the list shows the last complete result again");
    ShowListedResult(std::move(*setAside_));
  } else if (listed_ == Listed::Incomplete) {  // the run had cleared the list
    Frame5->setTitle("Results (stopped: incomplete)");
  }
  setAside_.reset();
  WatchWorkspace();
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

// Save All and Save Chart want the result file of a completed run, and a
// list that shows no other rows.
void Form1::EnableResultCommands() {
  std::error_code error;
  const bool result = std::filesystem::is_regular_file(DefaultWorkspace(home_) / paths::kResult, error);
  Command1->setEnabled(result && !running_ && listed_ != Listed::Incomplete);
  SaveChart->setEnabled(result && !running_ && listed_ != Listed::Incomplete);
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

// The run has started writing: what the list shows goes aside, kept if it
// is a complete result.
void Form1::ClearList() {
  if (listed_ == Listed::Complete) setAside_ = TakeListedResult();
  listed_ = Listed::Incomplete;
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

// The texts are shared, not copied.
Form1::ListedResult Form1::TakeListedResult() {
  ListedResult listed{{},
                      std::move(store_),
                      std::move(evidence_),
                      widest_,
                      ListView1->horizontalHeader()->sortIndicatorSection(),
                      ListView1->horizontalHeader()->sortIndicatorOrder()};
  listed.rows.resize(static_cast<std::size_t>(ListView1->rowCount()));
  for (int row = 0; row < ListView1->rowCount(); ++row) {
    for (int c = 0; c < ListView1->columnCount(); ++c) {
      listed.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(c)] = ListView1->item(row, c)->text();
    }
  }
  store_ = ResultStore();
  evidence_.clear();
  return listed;
}

void Form1::ShowListedResult(ListedResult listed) {
  ListViewSET();
  ListView1->setUpdatesEnabled(false);
  ListView1->setRowCount(static_cast<int>(listed.rows.size()));
  for (std::size_t row = 0; row < listed.rows.size(); ++row) SetListRow(static_cast<int>(row), listed.rows[row]);
  store_ = std::move(listed.store);
  evidence_ = std::move(listed.evidence);
  widest_ = listed.widest;
  ListView1->horizontalHeader()->setSortIndicator(listed.sortSection, listed.sortOrder);
  ListViewSub();
  ListView1->setUpdatesEnabled(true);
  Frame5->setTitle("Results");
  listed_ = Listed::Complete;
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
