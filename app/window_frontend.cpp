#include "app/window_frontend.h"

#include <QMetaObject>

#include "app/form1.h"
#include "app/logic/result_store.h"
#include "engine/run_log.h"

namespace velmora {

void WindowFrontend::ShowLogLine(std::string_view line) {
  const QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
  Form1* window = window_;
  QMetaObject::invokeMethod(
      window, [window, text] { window->AppendLogText(text); }, Qt::QueuedConnection);
}

void WindowFrontend::ShowResultRow(const ResultRow& row) {
  Form1* window = window_;
  QMetaObject::invokeMethod(
      window, [window, row] { window->AddListRow(row); }, Qt::QueuedConnection);
  // Said with the first row the store cannot take, in its place among the
  // run's lines: once a run, as IDs count from 1 in every run.
  if (row.id == ResultStore::kLastRow + 1) AppendLogLine(*this, kResultLimitMessage);
}

void WindowFrontend::ShowProgress(const RunProgress& progress) {
  Form1* window = window_;
  QMetaObject::invokeMethod(
      window, [window, progress] { window->ShowRunProgress(progress); }, Qt::QueuedConnection);
}

void WindowFrontend::ClearResultRows() {
  Form1* window = window_;
  QMetaObject::invokeMethod(
      window, [window] { window->ClearList(); }, Qt::QueuedConnection);
}

}  // namespace velmora
