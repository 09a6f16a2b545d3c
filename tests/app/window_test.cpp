// The window under QtTest: start-up, the input hint, list keys and copying,
// the column sort, Import, Save All and the save dialogs, the order of log
// lines, Predict runs (complete, waiting, stopped, ended by Exit) and the
// result a stop shows, the row detail line, the keyboard and chart tooltips.

#include <QTest>
#include <QtWidgets>
#include <algorithm>
#include <csignal>
#include <functional>
#include <optional>
#include <thread>
#include <tuple>

#include "app/form1.h"
#include "chart/chart.h"
#include "engine/run_log.h"
#include "engine/workspace_lock.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;
using velmora::Form1;
using velmora::test::ReadBytes;
using velmora::test::WriteBytes;

namespace {

QString Text(const fs::path& path) { return QString::fromStdString(path.string()); }

// The log's lines without their date and time, once the calls queued to the
// window are delivered (twice: a delivered row may queue a line in turn).
QStringList LogMessages(const Form1& window) {
  for (int pass = 0; pass < 2; ++pass) QCoreApplication::processEvents();
  QStringList messages;
  for (const QString& line : window.Text2->toPlainText().split('\n', Qt::SkipEmptyParts))
    messages << (line.contains(" : ") ? line.section(" : ", 1) : line);
  return messages;
}

// The log lines that `action` adds.
QStringList Logged(const Form1& window, const std::function<void()>& action) {
  const qsizetype before = LogMessages(window).size();
  action();
  return LogMessages(window).mid(before);
}

velmora::ResultRow Row(const std::string& lnc, const std::string& disease, int a) {
  return {0, {lnc, disease, std::to_string(a), "1", "2", "3", "0.01", "1", "-1"}};
}

// Rows handed over as a run hands them: numbered on, from another thread,
// and then a log line if there is one.
void AddRows(Form1& window, std::vector<velmora::ResultRow> rows, const std::string& then = {}) {
  int id = window.ListView1->rowCount();
  for (auto& row : rows) row.id = ++id;
  velmora::WindowFrontend frontend(window);
  std::thread([&] {
    for (const auto& row : rows) frontend.ShowResultRow(row);
    if (!then.empty()) velmora::AppendLogLine(frontend, then);
  }).join();
  LogMessages(window);
}

QStringList Column(const QTableWidget* list, int column) {
  QStringList texts;
  for (int i = 0; i < list->rowCount(); ++i) texts << list->item(i, column)->text();
  return texts;
}

QStringList SelectedIds(const QTableWidget* list) {
  QStringList ids;
  for (const QModelIndex& index : list->selectionModel()->selectedRows()) ids << list->item(index.row(), 0)->text();
  std::sort(ids.begin(), ids.end());
  return ids;
}

// Every cell of the list, column by column, and the sort arrow.
QStringList Listed(const QTableWidget* list) {
  QStringList cells;
  for (int c = 0; c < list->columnCount(); ++c) cells << Column(list, c);
  const QHeaderView* header = list->horizontalHeader();
  return cells << QString("%1 %2").arg(header->sortIndicatorSection()).arg(header->sortIndicatorOrder());
}

void SelectRow(QTableWidget* list, int row) {
  list->selectionModel()->select(list->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private:
  velmora::test::TempDir scratch_;
  // A full installation whose site finder, while the file "stall" exists,
  // reports progress, writes its process ID and waits until it is ended.
  fs::path home_ = scratch_ / "home", stall_ = scratch_ / "stall", pid_ = scratch_ / "predictor.pid";

  std::unique_ptr<Form1> OpenWindow(const fs::path& home) {
    auto window = std::make_unique<Form1>(home);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) qWarning("window not active");
    return window;
  }

  // An installation of the factorials alone: the window opens, no run can.
  // With an lncRNA name, a result file of one line of it.
  fs::path BareHome(const std::string& name, const std::string& lnc = "") {
    const fs::path home = scratch_ / name;
    for (const char* folder : {"lib", "tmp"}) fs::create_directories(home / folder);
    fs::copy_file(home_ / "lib/mulnum.txt", home / "lib/mulnum.txt");
    const std::string header = "LncName\tDisease\ta\tb\tc\td\tP-value\tP-bonferoni\tOR-value\r\n\r\n";
    if (!lnc.empty()) WriteBytes(home / "tmp/result.xls", header + lnc + "\tAsthma\t3\t1\t2\t3\t0.01\t1\t-1\n");
    return home;
  }

  static void WaitForRun(const Form1& window) { QTRY_VERIFY_WITH_TIMEOUT(!window.Running(), 120000); }

  // Starts (by a click or a call) a run that waits in its predictor.
  void StartStalledRun(const std::function<void()>& start) {
    WriteBytes(stall_, "");
    fs::remove(pid_);
    start();
    QTRY_VERIFY_WITH_TIMEOUT(ReadBytes(pid_).ends_with('\n'), 30000);
  }

 private slots:
  void initTestCase() {
    fs::create_directories(home_ / "tmp");  // as the build lays it out
    for (const char* folder : {"lib", "perlbin"}) fs::copy(fs::path(VELMORA_HOME) / folder, home_ / folder);
    const fs::path finder = home_ / "perlbin/targetscan_60";
    fs::rename(finder, finder.string() + ".real");
    WriteBytes(finder, "#!/bin/sh\nif [ -e '" + stall_.string() + "' ]; then echo '1 4' >&3; echo $$ > '" +
                           pid_.string() + "'; exec sleep 600; fi\nexec '" + finder.string() + ".real' \"$@\"\n");
    fs::permissions(finder, fs::perms::owner_all);
  }

  // Nothing missing from a full installation; every header in full, no
  // scroll bar; no smaller than the minimum size; the input hint.
  void startUpAndTheInputHint() {
    auto window = OpenWindow(home_);
    QVERIFY(!window->windowIcon().isNull() && window->Option1->isChecked());
    QCOMPARE(LogMessages(*window), QStringList({"Log:"}));
    const QHeaderView* header = window->ListView1->horizontalHeader();
    for (int c = 0; c < header->count(); ++c) {
      const QString text = window->ListView1->horizontalHeaderItem(c)->text();
      QVERIFY2(header->sectionSize(c) >= header->fontMetrics().horizontalAdvance(text) + 12, qPrintable(text));
    }
    QVERIFY(!window->ListView1->horizontalScrollBar()->isVisible());
    window->resize(200, 150);
    QTRY_COMPARE(window->size(), window->minimumSize());

    // One row per step: the box's text, whether it is grey (unknown: not
    // looked at), and whether Predict can start.
    QPlainTextEdit* text = window->Text1;
    const QString hint = velmora::kInputHint;
    const std::tuple<std::function<void()>, QString, std::optional<bool>, bool> steps[] = {
        {[&] { window->Command2->setFocus(); }, hint, true, false},
        {[&] { text->setFocus(); }, "", false, false},  // the hint goes; Predict waits for text
        {[&] { QTest::keyClicks(text, ">a"); }, ">a", false, true},
        {[&] { QTest::keyClick(text, Qt::Key_Backspace), QTest::keyClick(text, Qt::Key_Backspace); }, "", false, false},
        {[&] { window->Command2->setFocus(); }, hint, true, false},  // leaving the empty box brings the hint back
        {[&] { text->setPlainText(hint); }, hint, {}, false},        // the hint's words typed: still empty
        {[&] { text->setFocus(); }, "", false, false},               // and focusing the box clears them
        {[&] { window->Command2->setFocus(); }, hint, true, false},
    };
    for (const auto& [action, box, grey, predict] : steps) {
      action();
      QTRY_COMPARE(text->toPlainText(), box);
      if (grey) QCOMPARE(text->palette().color(QPalette::Text) != QColor(Qt::black), *grey);
      QCOMPARE(window->Command3->isEnabled(), predict);
    }
  }

  // One row per import: the file (none: cancelled) and its bytes (none: it
  // does not exist), then the box and the log. Predict can start once the
  // box holds text, and imported text is black even where the grey hint was.
  void importFillsTheBox() {
    auto window = OpenWindow(home_);
    QPlainTextEdit* text = window->Text1;
    window->Command2->setFocus();
    QTRY_COMPARE(text->toPlainText(), QString(velmora::kInputHint));
    const QString unreadable =
        "Import failed: " + Text(scratch_ / "missing.fa") + ": cannot be read: No such file or directory";
    const std::tuple<const char*, std::optional<std::string>, QString, QStringList> cases[] = {
        {"crlf.fa", ">x\r\nAC\r\nGU", ">x\nAC\nGU\n", {}},  // the box's line ends, the last line's too
        {nullptr, std::nullopt, ">x\nAC\nGU\n", {}},        // cancelled: the box keeps its text
        {"missing.fa", std::nullopt, ">x\nAC\nGU\n", {unreadable}},
        {"empty.fa", "", "", {}},
    };
    for (const auto& [name, bytes, box, logged] : cases) {
      const fs::path file = name ? scratch_ / name : fs::path();
      if (bytes) WriteBytes(file, *bytes);
      window->Cd1 = [&] { return Text(file); };
      QCOMPARE(Logged(*window, [&] { window->Command2_Click(); }), logged);
      QCOMPARE(text->toPlainText(), box);
      QCOMPARE(text->palette().color(QPalette::Text), QColor(Qt::black));
      QCOMPARE(window->Command3->isEnabled(), !box.isEmpty());
    }
  }

  // One row per key: the rows selected first, the IDs selected after, and
  // the clipboard ("before" when the key left it alone).
  void listKeysAndTheColumnSort() {
    auto window = OpenWindow(home_);
    AddRows(*window, {Row(">b", "D1", 10), Row(">B", "D2", 2), Row(">a", "D3", 7), Row(">C", "D4", 2)});
    QTableWidget* list = window->ListView1;
    list->setFocus();
    QTRY_VERIFY(list->hasFocus());
    const QString copied =
        "ID\tLncName\tDisease\ta\tb\tc\td\tP-value\tP-bonferoni\tOR-value\r\n"
        "1\t>b\tD1\t10\t1\t2\t3\t0.01\t1\t-1\r\n3\t>a\tD3\t7\t1\t2\t3\t0.01\t1\t-1\r\n";
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, QList<int>, QStringList, QString> cases[] = {
        {Qt::Key_C, Qt::ControlModifier, {}, {}, "before"},  // nothing selected: the clipboard is left alone
        {Qt::Key_C, Qt::ControlModifier | Qt::AltModifier, {0}, {"1"}, "before"},  // Ctrl alone copies
        {Qt::Key_C, Qt::ControlModifier, {2, 0}, {"1", "3"}, copied},
        {Qt::Key_Delete, Qt::NoModifier, {1}, {}, "before"},  // clears the selection, not the rows
        {Qt::Key_Delete, Qt::ShiftModifier, {0, 1, 2}, {}, "before"},
        {Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier, {}, {}, "before"},
        {Qt::Key_A, Qt::ControlModifier, {}, {"1", "2", "3", "4"}, "before"},
    };
    for (const auto& [key, modifiers, select, selected, clipboard] : cases) {
      list->clearSelection();
      for (int row : select) SelectRow(list, row);
      QApplication::clipboard()->setText("before");
      QTest::keyClick(list, key, modifiers);
      QCOMPARE(SelectedIds(list), selected);
      QCOMPARE(QApplication::clipboard()->text(), clipboard);
    }
    QCOMPARE(list->rowCount(), 4);
    list->clearSelection();  // the window's own Ctrl+A works from another control
    window->Command2->setFocus();
    QTRY_VERIFY(window->Command2->hasFocus());
    QTest::keyClick(window->Command2, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(SelectedIds(list), QStringList({"1", "2", "3", "4"}));

    // One row per header click: the column, the order its arrow shows, and
    // LncName and "a" after it. Rows move whole but for the ID, which numbers
    // the list's places; the selected IDs stay selected.
    list->clearSelection();
    SelectRow(list, 1);
    SelectRow(list, 3);
    QHeaderView* header = list->horizontalHeader();
    const std::tuple<int, Qt::SortOrder, QStringList, QStringList> clicks[] = {
        {3, Qt::AscendingOrder, {">C", ">B", ">a", ">b"}, {"2", "2", "7", "10"}},  // numbers as numbers
        {3, Qt::DescendingOrder, {">b", ">a", ">C", ">B"}, {"10", "7", "2", "2"}},
        {1, Qt::AscendingOrder, {">B", ">C", ">a", ">b"}, {"2", "2", "7", "10"}},   // character codes
        {0, Qt::DescendingOrder, {">b", ">a", ">C", ">B"}, {"10", "7", "2", "2"}},  // the places, reversed
    };
    for (const auto& [column, order, lncs, a] : clicks) {
      const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
      QCOMPARE(std::pair(header->sortIndicatorSection(), header->sortIndicatorOrder()), std::pair(column, order));
      QCOMPARE(Column(list, 1), lncs);
      QCOMPARE(Column(list, 3), a);
      QCOMPARE(Column(list, 0).join(""), order == Qt::AscendingOrder ? "1234" : "4321");
      QCOMPARE(SelectedIds(list), QStringList({"2", "4"}));
    }
  }

  // The store takes 10,000 rows, which sort; past them the log says so once,
  // among the run's lines where the first row past them came, and the list
  // stays in its order.
  void tenThousandRowsAndBeyond() {
    auto window = OpenWindow(home_);
    std::vector<velmora::ResultRow> rows;
    for (int i = 1; i <= velmora::ResultStore::kLastRow; ++i) rows.push_back(Row(">L", "D", i));
    AddRows(*window, rows);
    window->ListView1_ColumnClick(4);  // already in order: as deep as a sort goes
    QCOMPARE(window->ListView1->item(9999, 3)->text(), QString("10000"));
    AddRows(*window, {Row(">L", "D", 0), Row(">L", "D", 0)}, "Ready");
    const QStringList log = LogMessages(*window);
    QVERIFY(log[log.size() - 2].startsWith("Results > 10000 rows.") && log.last() == "Ready");  // with its row
    QCOMPARE(log.filter("Results > 10000 rows.").size(), 1);
    window->ListView1->horizontalHeader()->setSortIndicator(4, Qt::DescendingOrder);  // as a header click leaves it
    window->ListView1_ColumnClick(5);
    QVERIFY(LogMessages(*window).last().startsWith("The list holds 10002 rows"));
    QCOMPARE(window->ListView1->horizontalHeader()->sortIndicatorSection(), -1);  // no arrow on an unsorted list
    QCOMPARE(window->ListView1->item(10000, 3)->text(), QString("0"));
  }

  // Each missing file a run needs is logged on a line of its own, and Save
  // All and Save Chart wait for a result. A line the window makes while a
  // run's lines wait to be shown comes after them, never before. Then one row
  // per Save All: the result file (none: there is none), the chosen path
  // (empty: cancelled), the log, and what the chosen path then holds (none: no
  // file); no failure leaves debris.
  void aBareInstallationAndSaveAll() {
    const fs::path home = BareHome("bare");
    WriteBytes(home / "lib/miranda", "not a program");
    auto window = OpenWindow(home);
    QStringList missing = {"Log:"};
    for (const char* file : {"lib/nor_mir.txt", "lib/disease_mirset.txt", "lib/hsa_mir_seed.txt", "lib/small_mirs.txt",
                             "perlbin/targetscan_60"})
      missing << Text(home / file) + ": file not found";
    QCOMPARE(LogMessages(*window), missing << Text(home / "lib/miranda") + ": not executable");
    QVERIFY(!window->Command1->isEnabled() && !window->SaveChart->isEnabled());
    QStringList expected = LogMessages(*window);
    velmora::WindowFrontend frontend(*window);
    auto runLines = [&](int from, int to) {
      std::thread([&] {
        for (int i = from; i < to; ++i) velmora::AppendLogLine(frontend, "run line " + std::to_string(i));
      }).join();
      for (int i = from; i < to; ++i) expected << QString("run line %1").arg(i);
    };
    window->Cd2 = [] { return QString("saved.xls"); };
    runLines(0, 200);
    window->Command1_Click();  // fails: the window's own line
    expected << "Save All failed: " + Text(home / "tmp/result.xls") + " does not exist; run Predict first";
    runLines(200, 400);
    QCOMPARE(LogMessages(*window), expected);
    const fs::path saved = scratch_ / "saved.xls", folder = scratch_ / "a-folder";
    fs::create_directories(folder);
    // The evidence and the run record go beside the result, under its stem.
    const QString failed = "Save All failed: ";
    const QStringList exported = {"Results Exported to: " + Text(saved),
                                  "Evidence Exported to: " + Text(scratch_ / "saved_mirnas.tsv"),
                                  "Run record Exported to: " + Text(scratch_ / "saved_run_info.json")};
    const std::tuple<std::optional<std::string>, fs::path, QStringList, std::optional<std::string>> cases[] = {
        {{}, saved, {failed + Text(home / "tmp/result.xls") + " does not exist; run Predict first"}, {}},
        {"first", saved, exported, "first"},
        {"second", saved, exported, "second"},  // over an earlier copy
        {"third", "", {}, {}},                  // cancelled: nothing at all (saved.xls keeps "second")
        {"third", folder, {failed + "cannot write " + Text(folder) + ": Is a directory"}, {}},
    };
    for (const auto& [result, chosen, logged, holds] : cases) {
      for (const char* file : {"result.xls", "result_mirnas.tsv", "run_info.json"}) {
        if (result) WriteBytes(home / "tmp" / file, *result + file);
      }
      window->Cd2 = [path = Text(chosen)] { return path; };
      QCOMPARE(Logged(*window, [&] { window->Command1_Click(); }), logged);
      if (holds) {
        QCOMPARE(ReadBytes(chosen), *holds + "result.xls");
        QCOMPARE(ReadBytes(scratch_ / "saved_mirnas.tsv"), *holds + "result_mirnas.tsv");
        QCOMPARE(ReadBytes(scratch_ / "saved_run_info.json"), *holds + "run_info.json");
      }
      if (!holds && !chosen.empty()) QVERIFY(!fs::is_regular_file(chosen));
      QVERIFY(!fs::exists(chosen.string() + ".partial"));
    }
    QCOMPARE(ReadBytes(saved), std::string("secondresult.xls"));
    QVERIFY(fs::is_empty(folder));
  }

  // The example lncRNAs, both predictors: the list as the result file has
  // it, every value of the number columns in full; the most shared row's
  // detail line, FDR first, in three lines, every miRNA with its predictor;
  // the chart in the list's place. A stopped run then sets its rows aside
  // and the list shows the result again as it was, sorted.
  void predictShowsTheResultAgainAfterAStop() {
    auto window = OpenWindow(home_);
    window->Cd1 = [] { return QString(VELMORA_SHARED_DATA "/lncrna_examples.fa"); };
    window->Command2_Click();
    window->Option3->setChecked(true);
    fs::remove(stall_);
    window->Command3_Click();
    WaitForRun(*window);
    QVERIFY(window->Command1->isEnabled() && window->Command3->isEnabled());
    QCOMPARE(LogMessages(*window).last(), QString("Ready"));  // the run's lines are the engine tests'
    // The result's rows: after its header and an empty line.
    const QStringList lines =
        QString::fromStdString(ReadBytes(home_ / "tmp/result.xls")).split('\n', Qt::SkipEmptyParts).mid(2);
    QTableWidget* list = window->ListView1;
    QCOMPARE(list->rowCount(), lines.size());
    QStyleOptionViewItem option;
    option.initFrom(list->viewport());
    option.font = list->font();
    qsizetype longest = 0;
    int most = 0;
    for (int row = 0; row < list->rowCount(); ++row) {
      QStringList cells;
      for (int c = 0; c < list->columnCount(); ++c) {
        const QModelIndex index = list->model()->index(row, c);
        cells << list->item(row, c)->text();
        QCOMPARE(list->item(row, c)->toolTip(), cells.last());
        if (c == 1 || c == 2) continue;  // names may be cut; their tooltip holds them
        QVERIFY2(list->columnWidth(c) >= list->itemDelegateForIndex(index)->sizeHint(option, index).width(),
                 qPrintable(cells.last()));
      }
      QCOMPARE(cells.join('\t'), QString::number(row + 1) + "\t" + lines[row]);
      longest = std::max(longest, cells[7].size());
      if (cells[3].toInt() > list->item(most, 3)->text().toInt()) most = row;
    }
    QVERIFY(longest >= 20);  // P-values in exponent form among them

    // The evidence file's rows follow the result's, after a header.
    const QStringList fields =
        QString::fromStdString(ReadBytes(home_ / "tmp/result_mirnas.tsv")).split('\n')[most + 1].split('\t');
    QCOMPARE(fields[0] + fields[1], list->item(most, 1)->text() + list->item(most, 2)->text());
    list->selectRow(most);
    const QLabel* detail = window->EvidenceLine;
    const QString text = detail->text(), shared = list->item(most, 3)->text();
    const QRegularExpression leads("^FDR (0\\.0*[1-9]\\d{0,2}|\\d(\\.\\d{1,2})?E-\\d+|1) · " + shared + " shared");
    QVERIFY2(leads.match(text).hasMatch() && text.endsWith(" more"), qPrintable(text));
    const QStringList mirnas = fields[2].split(','), sources = fields[3].split(',');
    for (int m = 0; m < mirnas.size(); ++m) QVERIFY(detail->toolTip().contains(mirnas[m] + " (" + sources[m] + ")"));
    QCOMPARE(detail->toolTip().count('('), shared.toInt());
    const QFontMetrics metrics = detail->fontMetrics();
    const int height = metrics.boundingRect(detail->contentsRect(), Qt::TextWordWrap, text).height();
    QCOMPARE(qCeil(height / static_cast<double>(metrics.lineSpacing())), velmora::kEvidenceLines);
    QVERIFY(detail->height() >= height && detail->textInteractionFlags() & Qt::TextSelectableByMouse);

    QTest::mouseClick(window->ViewChart, Qt::LeftButton);
    QVERIFY(window->ChartView->isVisible() && !list->isVisible());
    QVERIFY(static_cast<QLabel*>(window->ChartView->widget())->pixmap().width() > 300);
    QTest::mouseClick(window->ViewList, Qt::LeftButton);
    QVERIFY(list->isVisible() && !window->ChartView->isVisible());

    window->ListView1_ColumnClick(8);
    window->ListView1_ColumnClick(8);  // descending
    const QStringList listed = Listed(list);
    StartStalledRun([&] { window->Command3_Click(); });
    QTRY_COMPARE(list->rowCount(), 0);
    window->Command3_Click();
    WaitForRun(*window);
    QCOMPARE(LogMessages(*window).last(),
             QString("The stopped run's 0 rows were set aside; the list shows the last complete result again"));
    QCOMPARE(Listed(list), listed);
    QCOMPARE(window->Frame5->title(), QString("Results"));
    QVERIFY(window->Command1->isEnabled() && window->SaveChart->isEnabled());
  }

  // Another run holds the workspace: Predict says who and what to do, and
  // the last result stays. Two clicks 120 ms apart start a run and leave it
  // going. While it goes, the progress bar shows the site finder's report,
  // Save All, Import, the options and the column sort wait (no half-written
  // result is saved, the input stays), and editing the input keeps Stop.
  // Stop ends the run: the list is marked incomplete, the last result is
  // back in the workspace, and Predict is back, ignoring a click as it turns.
  void aRunWaitsForTheWorkspaceIgnoresADoubleClickAndStops() {
    auto window = OpenWindow(home_);
    window->Text1->setPlainText(">L0\nACGU\n");
    WriteBytes(home_ / "tmp/result.xls", "the last run's result");
    {
      velmora::WorkspaceLock other(home_ / "tmp");
      window->Command3_Click();
      WaitForRun(*window);
    }
    QCOMPARE(LogMessages(*window).last(),
             QString("another run (pid %1) is using %2; wait for it to end, then press Predict again")
                 .arg(QCoreApplication::applicationPid())
                 .arg(Text(home_ / "tmp")));
    QCOMPARE(ReadBytes(home_ / "tmp/result.xls"), std::string("the last run's result"));

    int dialogs = 0;
    window->Cd1 = window->Cd2 = [&] { return ++dialogs, Text(scratch_ / "during.xls"); };
    QTest::qWait(velmora::kPredictStopGuardMs);  // past the guard of the locked run's end
    StartStalledRun([&] {
      QTest::mouseClick(window->Command3, Qt::LeftButton);
      QTest::mouseClick(window->Command3, Qt::LeftButton, {}, {}, 120);
    });
    // The site finder's report, as the whole run's fraction and its stage.
    QTRY_VERIFY(window->ProgressBar1->isVisible() && window->ProgressBar1->text().contains(" · TargetScan · "));
    QVERIFY(window->ProgressBar1->value() > 0 && window->ProgressBar1->value() < 1000);
    QVERIFY(!window->Command1->isEnabled() && !window->Command2->isEnabled() && !window->Option2->isEnabled());
    QVERIFY(!window->SaveChart->isEnabled() && !window->ListView1->horizontalHeader()->sectionsClickable());
    window->Command1_Click();
    window->Command2_Click();
    window->ListView1_ColumnClick(8);
    window->Text1->appendPlainText(">edited during the run");
    QVERIFY(dialogs == 0 && window->Running() && window->Command3->isEnabled());
    QCOMPARE(window->ListView1->horizontalHeader()->sortIndicatorSection(), -1);
    QCOMPARE(window->Command3->text().remove('&'), QString("Stop"));
    QTest::qWait(velmora::kPredictStopGuardMs);
    QTest::mouseClick(window->Command3, Qt::LeftButton);
    QVERIFY(!window->Command3->isEnabled());  // one stop is enough
    WaitForRun(*window);
    QTest::mouseClick(window->Command3, Qt::LeftButton);
    QVERIFY(!window->Running());
    QCOMPARE(LogMessages(*window).last(), QString("Stopped"));
    QCOMPARE(window->Frame5->title(), QString("Results (stopped: incomplete)"));
    QCOMPARE(window->Command3->text().remove('&'), QString("Predict"));
    QVERIFY(!window->ProgressBar1->isVisible());
    QVERIFY(window->Command3->isEnabled() && window->Command2->isEnabled() && window->Option2->isEnabled());
    // The last complete result is back in place; the list shows none, so Save All waits.
    QVERIFY(!window->Command1->isEnabled() && !window->SaveChart->isEnabled() && !fs::exists(scratch_ / "during.xls"));
    QCOMPARE(ReadBytes(home_ / "tmp/result.xls"), std::string("the last run's result"));
  }

  // Exit while a predictor runs: the run, and the predictor with it, have
  // ended when the window goes.
  void exitDuringARunEndsItAndItsPredictor() {
    auto window = OpenWindow(home_);
    window->Text1->setPlainText(">L0\nACGU\n");
    StartStalledRun([&] { window->Command3_Click(); });
    const pid_t predictor = std::stoi(ReadBytes(pid_));
    QCOMPARE(kill(predictor, 0), 0);
    window->Command4_Click();
    QVERIFY(!window->isVisible() && !window->Running() && kill(predictor, 0) != 0);
    QTRY_COMPARE(LogMessages(*window).last(), QString("Stopped"));
  }

  // Tab from the input box through the designed order, the options one stop
  // at the checked one, the added controls last, none hidden; Shift+Tab
  // back; Ctrl+Tab types a TAB. Focus shows on every stop. Each button and
  // option has an Alt+letter of its own.
  void keyboard() {
    auto window = OpenWindow(BareHome("keyboard-home", ">L1"));
    window->Text1->setPlainText(">L0\n");
    auto order = [&](Qt::KeyboardModifiers modifiers) {
      window->Text1->setFocus();
      QList<QWidget*> stops;
      do {
        stops << QApplication::focusWidget();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
      } while (QApplication::focusWidget() != window->Text1 && stops.size() < 30);
      return stops;
    };
    auto focusShows = [&](QWidget* stop) {  // the stop and its edge look different
      const QRect around(stop->mapTo(window.get(), QPoint(-3, -3)), stop->size() + QSize(6, 6));
      (stop == window->Command4 ? window->Command2 : window->Command4)->setFocus();
      const QImage before = window->grab(around).toImage();
      stop->setFocus();
      return window->grab(around).toImage() != before;
    };
    window->Option3->setChecked(true);
    QList<QWidget*> stops = {window->Text1,    window->Command2,  window->Command4, window->Command3,
                             window->Text2,    window->ListView1, window->Command1, window->Option3,
                             window->ViewList, window->SaveChart};
    QCOMPARE(order(Qt::NoModifier), stops);
    std::reverse(stops.begin() + 1, stops.end());
    QCOMPARE(order(Qt::ShiftModifier), stops);
    for (QWidget* stop : stops) QVERIFY2(focusShows(stop), stop->metaObject()->className());

    window->Option3->setFocus();
    QTest::keyClick(window->Option3, Qt::Key_Down);  // arrow keys move within the options
    QVERIFY(window->Option4->isChecked());
    QTest::mouseClick(window->ViewChart, Qt::LeftButton);
    QCOMPARE(order(Qt::NoModifier), QList<QWidget*>({window->Text1, window->Command2, window->Command4,
                                                     window->Command3, window->Text2, window->Command1, window->Option4,
                                                     window->ChartView, window->ViewChart, window->SaveChart}));
    QVERIFY(focusShows(window->ChartView));
    window->Text1->setFocus();
    QTest::keyClick(window->Text1, Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(window->Text1->toPlainText().contains('\t') && window->Text1->hasFocus());

    QStringList captions;
    QSet<QChar> letters;
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
      if (button->text().isEmpty()) continue;  // the list's corner
      captions << button->text();
      QVERIFY2(captions.last().count('&') == 1, qPrintable(captions.last()));
      letters.insert(captions.last()[captions.last().indexOf('&') + 1].toUpper());
    }
    QCOMPARE(captions.size(), 11);
    QCOMPARE(letters.size(), captions.size());
    QTest::keyClick(window.get(), Qt::Key_M, Qt::AltModifier);
    QTRY_VERIFY(window->Option2->isChecked());  // a shortcut clicks a moment later
  }

  // A 260-character name is cut on the chart; its label's tooltip holds it.
  // A click on the reference-data line chooses the runs' collection: a
  // folder that fails the checks changes nothing; one that passes is named
  // there and in the run's log, and kept for the next window, which names it
  // in the log and uses the shipped one once it no longer passes.
  void aCollectionOfTheUsersOwn() {
    const fs::path collection = scratch_ / "collection", empty = scratch_ / "no-collection";
    fs::copy(home_ / "lib", collection);
    fs::create_directories(empty);
    auto window = OpenWindow(home_);
    for (const fs::path& chosen : {empty, collection}) {
      window->Cd4 = [&] { return Text(chosen); };
      QTest::mouseClick(window->Label1, Qt::LeftButton);
    }
    const QStringList log = LogMessages(*window);
    QVERIFY(log[log.size() - 2].startsWith("Reference collection " + Text(empty) + " cannot be used: "));
    QCOMPARE(log.last(), "Reference collection: HMDD v2.0, shipped (" + Text(collection) + ")");
    QVERIFY(window->Label1->text().contains(Text(collection)));
    fs::remove(stall_);
    window->Text1->setPlainText(">L0\nACGUACGUACGUACGU\n");
    window->Command3_Click();
    WaitForRun(*window);
    QVERIFY(LogMessages(*window).contains("Reference: HMDD v2.0, shipped (" + Text(collection) + ")"));
    QVERIFY(OpenWindow(home_)->Label1->text().contains(Text(collection)));
    fs::remove(collection / "disease_mirset.txt");
    const QStringList started = LogMessages(*OpenWindow(home_));
    QVERIFY(started.last() == "The shipped reference collection is used instead" &&
            started[started.size() - 2].startsWith("Reference collection " + Text(collection) + " cannot be used: "));
    window->Cd4 = [&] { return Text(home_ / "lib"); };  // back to the shipped one for the other tests
    QTest::mouseClick(window->Label1, Qt::LeftButton);
    QVERIFY(!OpenWindow(home_)->Label1->text().contains(Text(collection)));
  }

  void chartLabelsShowTheirFullName() {
    const std::string lnc(260, 'L');
    const fs::path home = BareHome("chart-home", ">" + lnc);
    auto window = OpenWindow(home);
    window->ShowChart(true);
    auto* picture = static_cast<QLabel*>(window->ChartView->widget());
    const velmora::ChartData data = velmora::TopDiseases(velmora::ReadResultPoints(home / "tmp/result.xls"));
    const double scale = picture->pixmap().deviceIndependentSize().width() / velmora::MeasureChart(data).width;
    QString shown;
    for (int x = 0; x < picture->width() && shown.isEmpty(); x += 3) {
      for (int y = 0; y < picture->height() && shown.isEmpty(); y += 3) {
        if (velmora::LabelAt(data, x / scale, y / scale) != lnc) continue;
        QHelpEvent help(QEvent::ToolTip, QPoint(x, y), picture->mapToGlobal(QPoint(x, y)));
        QApplication::sendEvent(picture, &help);
        shown = QToolTip::text();
      }
    }
    QCOMPARE(shown, QString::fromStdString(lnc));
  }

  // A name without an extension gets the chosen format's; one with an
  // extension keeps it, and the file is in the format it names. Save All is
  // back once another run makes the result.
  void saveDialogsAddTheExtension() {
    const fs::path home = BareHome("save-home", ">L1");
    auto window = OpenWindow(home);
    const QString exported = "Results Exported to: ", drawn = "Chart saved to: ";
    const std::tuple<QAbstractButton*, int, std::string, std::string, QString, std::string> cases[] = {
        {window->Command1, 0, "named", "named.xls", exported, "LncName\t"},
        {window->Command1, 1, "all", "all.xls", exported, "LncName\t"},  // "All Files"
        {window->SaveChart, 1, "chart", "chart.png", drawn, "\x89PNG"},
        {window->SaveChart, 0, "given.pdf", "given.pdf", drawn, "%PDF-"}};
    for (const auto& [button, format, typed, saved, logged, starts] : cases) {
      QTimer::singleShot(0, [&] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        for (int i = 0; i < format; ++i) QTest::keyClick(dialog->findChild<QComboBox*>("fileTypeCombo"), Qt::Key_Down);
        dialog->selectFile(Text(scratch_ / typed));
        static_cast<QDialog*>(dialog)->accept();  // as the Save button does
      });
      QTest::mouseClick(button, Qt::LeftButton);
      QVERIFY(LogMessages(*window).contains(logged + Text(scratch_ / saved)));
      QVERIFY(ReadBytes(scratch_ / saved).starts_with(starts));
    }
    // A workspace without the evidence and the run record: Save All says so.
    QVERIFY(LogMessages(*window).contains("Save All: " + Text(home / "tmp/run_info.json") + " does not exist; " +
                                          Text(scratch_ / "all_run_info.json") + " not written"));
    fs::remove(home / "tmp/result.xls");
    QTRY_VERIFY(!window->Command1->isEnabled() && !window->SaveChart->isEnabled());
    WriteBytes(home / "tmp/result.xls", "made by another run");
    QTRY_VERIFY(window->Command1->isEnabled() && window->SaveChart->isEnabled());
  }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
