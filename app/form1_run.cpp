// Predict: the run on its own thread, and what it shows in the window.

#include <QHeaderView>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QThread>

#include "app/form1.h"
#include "engine/predict.h"
#include "engine/session.h"
#include "engine/workspace_lock.h"

namespace velmora {

Form1::~Form1() {
  if (run_.joinable()) run_.request_stop();
}

void Form1::Command3_Click() {
  if (running_) return;
  if (!factorials_) {
    Log(factorialProblem_);
    return;
  }
  running_ = true;
  limitLogged_ = false;
  EnableRunControls(false);
  const std::string text = Text1->toPlainText().toStdString();
  const PredictionOption option = SelectedOption();
  run_ = std::jthread([this, text, option](std::stop_token stop) {
    Session session{home_, *this, *factorials_, std::move(stop)};
    // The workspace is held for the whole run: another window or command
    // line on the same installation waits its turn instead of mixing files.
    RunLocked(session, [&] { return Predict(session, text, option); });
    QMetaObject::invokeMethod(
        this, [this] { RunFinished(); }, Qt::QueuedConnection);
  });
}

void Form1::RunFinished() {
  if (run_.joinable()) run_.join();  // closing the window may have joined it
  running_ = false;
  EnableRunControls(true);
  Command1->setEnabled(true);
}

// While a run goes, nothing may change what it reads or writes, nor reorder
// the rows it is still adding.
void Form1::EnableRunControls(bool enabled) {
  for (QWidget* control : std::initializer_list<QWidget*>{Command2, Option1, Option2, Option3, Option4}) {
    control->setEnabled(enabled);
  }
  if (!enabled) Command1->setEnabled(false);
  ListView1->horizontalHeader()->setSectionsClickable(enabled);
  Text1_Change();
}

void Form1::ShowLogLine(std::string_view line) {
  const QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
  if (QThread::currentThread() == thread()) return AppendLogText(text);
  QMetaObject::invokeMethod(
      this, [this, text] { AppendLogText(text); }, Qt::QueuedConnection);
}

void Form1::ShowResultRow(const ResultRow& row) {
  QMetaObject::invokeMethod(
      this, [this, row] { AddListRow(row); }, Qt::QueuedConnection);
}

void Form1::ClearResultRows() {
  QMetaObject::invokeMethod(
      this,
      [this] {
        store_.Clear();
        ListViewSET();
      },
      Qt::QueuedConnection);
}

void Form1::AppendLogText(const QString& line) {
  QTextCursor cursor = Text2->textCursor();
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(line + "\n");
  Text2->setTextCursor(cursor);
  Text2->ensureCursorVisible();
}

// The list takes every row; the store, which the sort works on, the first
// 10,000, and the log says so once.
void Form1::AddListRow(const ResultRow& row) {
  const int at = ListView1->rowCount();
  ListView1->insertRow(at);
  SetListRow(at, QString::number(row.id), row.cells);
  PaceListRepaints();
  if (!store_.Hold(row) && !limitLogged_) {
    limitLogged_ = true;
    Log(std::string(kResultLimitMessage));
  }
}

}  // namespace velmora
