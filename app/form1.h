#pragma once

// The main window: input box, prediction options, results list, log.

#include <QElapsedTimer>
#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <thread>
#include <vector>

#include "app/logic/form_layout.h"
#include "app/logic/result_store.h"
#include "app/window_frontend.h"
#include "chart/chart_data.h"
#include "engine/evidence_file.h"
#include "engine/pipelines.h"
#include "stats/factorial_table.h"

class QFileSystemWatcher;
class QFocusFrame;
class QAbstractButton;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTableWidget;

namespace velmora {

// "Velmora <version> - a tool for human LncRNA-disease association prediction".
QString WindowTitle();
// The grey hint of the empty input box (its line breaks as the box holds them).
inline constexpr char kInputHint[] = "Format:\nfasta file\n---------------\n";
// A click on Predict this soon after it turned into Stop, or back, is
// ignored: a double click must not start a run and stop it.
inline constexpr int kPredictStopGuardMs = 400;
// The line under the list that explains the selected row wraps to this many lines.
inline constexpr int kEvidenceLines = 3;

// A run works on a thread of its own and sees the window only through a
// WindowFrontend, which hands its calls to the window's thread.
class Form1 : public QWidget {
 public:
  explicit Form1(std::filesystem::path home, QWidget* parent = nullptr);

  // The controls, named as the design names them.
  QGroupBox* Frame3;
  QPlainTextEdit* Text1;
  QPushButton* Command2;
  QPushButton* Command4;
  QGroupBox* Frame5;
  QPushButton* Command3;
  QPlainTextEdit* Text2;
  QLabel* Label1;
  QTableWidget* ListView1;  // a report-style list: one row per result
  QPushButton* Command1;
  QRadioButton* Option1;
  QRadioButton* Option2;
  QRadioButton* Option3;
  QRadioButton* Option4;
  // Added to the design: the selected row's miRNAs, the chart of the result
  // in place of the list, and the buttons that switch and save it.
  QLabel* EvidenceLine;
  QScrollArea* ChartView;
  QPushButton* ViewList;
  QPushButton* ViewChart;
  QPushButton* SaveChart;
  // Added too: how far a run is and the time left, left of Exit while it goes.
  QProgressBar* ProgressBar1;

  // The open and save dialogs: each returns the chosen path, or an empty
  // text when the user cancels. Tests answer them instead of a user. Cd3
  // saves the chart. A name saved without an extension gets the chosen
  // format's (".xls" for Save All).
  std::function<QString()> Cd1;
  std::function<QString()> Cd2;
  std::function<QString()> Cd3;
  // The folder dialog of the reference collection (a click on the
  // reference-data line).
  std::function<QString()> Cd4;

  ~Form1() override;

  const ResultStore& Results() const { return store_; }
  // True from Predict until the run's last row and log line are shown.
  bool Running() const { return running_; }

  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void SaveChart_Click();
  void ListView1_ColumnClick(int column);
  // Shows the chart (true) or the list in the "Results" frame.
  void ShowChart(bool chart);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class WindowFrontend;  // what a run shows arrives through these four

  void AppendLogText(const QString& line);
  void AddListRow(const ResultRow& row);
  void ClearList();
  void ShowRunProgress(const RunProgress& progress);
  void PlaceProgressBar();

  // What the list shows of a complete result, set aside while a run goes
  // and shown again if the run does not complete.
  struct ListedResult {
    std::vector<std::array<QString, 10>> rows;  // as listed, ID first
    ResultStore store;
    std::map<std::pair<std::string, std::string>, Evidence> evidence;
    std::array<int, 10> widest;
    int sortSection;
    Qt::SortOrder sortOrder;
  };
  ListedResult TakeListedResult();
  void ShowListedResult(ListedResult listed);

  void Form_Load();
  void Form_Resize();
  void Text1_Change();
  void Text1_FocusChange();
  void TextTip(QPlainTextEdit* objText, bool StatusToBlank, const QString& strWord);
  void ListViewSET();
  void ListViewSub();
  bool ListView1_KeyDown(int keyCode, int shift);
  void SelectAllRows();
  bool RowSelected(int row) const;
  void PaceListRepaints();
  void SetListRow(int row, const QString& id, const std::array<std::string, 9>& cells);
  void SetListRow(int row, const std::array<QString, 10>& texts);
  void SetCommand3Caption(const QString& caption);
  void RunFinished(bool completed);
  void EnableResultCommands();
  void RefreshChart();
  void ShowEvidence();
  void NoteWidths(int row);
  QString DialogFolder(const QString& lastPath) const;
  QString SaveFileName(const QString& title, const QString& start, const QString& filters);
  void WatchWorkspace();
  void KeepOneTabStop(std::initializer_list<QAbstractButton*> group);
  void ShowChartLabel(const QPoint& at, const QPoint& globalAt);
  void EnableRunControls(bool enabled);
  void CheckInstallation();
  void ChooseCollection();
  // Makes `folder` the runs' collection once it passes its checks (files,
  // manifest, factorials), keeping the choice for later starts when `keep`;
  // a collection that fails them is named in the log and changes nothing.
  bool UseCollection(const std::filesystem::path& folder, bool keep);
  void UseKeptCollection();
  PredictionOption SelectedOption() const;
  void Log(const std::string& message);
  void Guarded(const std::function<void()>& handler);

  std::filesystem::path home_;
  std::filesystem::path reference_;  // the chosen collection's folder; empty: the shipped lib/
  FormLayout layout_;
  ResultStore store_;
  std::optional<FactorialTable> factorials_;
  std::string factorialProblem_;
  int sortDirection_ = 0;  // 0: the next header click sorts ascending
  bool running_ = false;
  bool stopRequested_ = false;
  QElapsedTimer command3Changed_;  // since Predict turned into Stop or back
  // What the list shows: nothing yet, a complete run's result, or the rows of
  // a run that did not complete.
  enum class Listed { Nothing, Complete, Incomplete } listed_ = Listed::Nothing;
  std::optional<ListedResult> setAside_;
  bool repaintPending_ = false;
  QElapsedTimer listPainted_;
  std::array<int, 10> widest_{};        // each column's widest text in pixels, its header's included
  std::array<int, 10> headerWidths_{};  // each header's text without the sort arrow
  int arrowWidth_ = 0;                  // what the sort arrow adds to a header
  std::map<std::pair<std::string, std::string>, Evidence> evidence_;  // by LncName and Disease
  QString lastImport_;
  QString lastSave_;
  QString lastChart_;
  ChartData chartData_;  // what the Chart view shows, at chartScale_ pixels per unit
  double chartScale_ = 1;
  QFileSystemWatcher* workspaceWatcher_;
  QFocusFrame* focusFrame_;
  QMetaObject::Connection focusWatch_;  // the application's, so ended before the window's members go
  WindowFrontend frontend_{*this};      // the runs' and the window's own log lines: one queue
  std::jthread run_;                    // last member: joined before the rest of the window goes
};

}  // namespace velmora
