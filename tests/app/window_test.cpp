// The window under QtTest: start-up, input hint, layout, list keys and
// copying, column sort, Import, Save All, and a full Predict run.

#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "app/form1.h"
#include "engine/workspace_lock.h"

namespace fs = std::filesystem;
using velmora::Form1;

namespace {

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// Log lines without their date and time.
QStringList LogMessages(const Form1& window) {
  QStringList messages;
  for (const QString& line : window.Text2->toPlainText().split('\n', Qt::SkipEmptyParts)) {
    const qsizetype separator = line.indexOf(" : ");
    messages << (separator < 0 ? line : line.mid(separator + 3));
  }
  return messages;
}

velmora::ResultRow Row(const std::string& lnc, const std::string& disease, int a) {
  return {0, {lnc, disease, std::to_string(a), "1", "2", "3", "0.01", "1", "-1"}};
}

QStringList Column(const QTableWidget* list, int column) {
  QStringList texts;
  for (int i = 0; i < list->rowCount(); ++i) texts << list->item(i, column)->text();
  return texts;
}

bool Selected(const QTableWidget* list, int row) { return list->selectionModel()->isRowSelected(row, QModelIndex()); }

int SelectedRows(const QTableWidget* list) { return static_cast<int>(list->selectionModel()->selectedRows().size()); }

void SelectRow(QTableWidget* list, int row) {
  list->selectionModel()->select(list->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private:
  fs::path scratch_;
  fs::path home_;  // a full installation in a scratch folder

  std::unique_ptr<Form1> OpenWindow(const fs::path& home) {
    auto window = std::make_unique<Form1>(home);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) qWarning("window not active");
    return window;
  }

  // Rows handed over the way a run hands them: numbered on, queued, then
  // delivered by the event loop.
  void AddRows(Form1& window, std::vector<velmora::ResultRow> rows) {
    for (auto& row : rows) {
      row.id = window.ListView1->rowCount() + 1 + static_cast<int>(&row - rows.data());
      window.ShowResultRow(row);
    }
    QCoreApplication::processEvents();
  }

  static void WaitForRun(const Form1& window) { QTRY_VERIFY_WITH_TIMEOUT(!window.Running(), 120000); }

  // An installation whose site finder only copies a prepared output of
  // `lncRNAs` lncRNAs with 150 miRNAs each: its mapping and enrichment take
  // long enough to be interrupted.
  fs::path SlowMappingHome(int lncRNAs) {
    const fs::path home = scratch_ / "slow-home";
    if (fs::exists(home)) return home;
    fs::create_directories(home / "perlbin");
    fs::copy(home_ / "lib", home / "lib");
    std::vector<std::string> universe;
    std::ifstream names(home / "lib/nor_mir.txt");
    for (std::string name; std::getline(names, name);) universe.push_back(name.substr(0, name.size() - 1));
    std::mt19937 random(7);
    std::string output = "a_Gene_ID\tmiRNA_family_ID\n";
    for (int l = 0; l < lncRNAs; ++l) {
      std::shuffle(universe.begin(), universe.end(), random);
      for (int m = 0; m < 150; ++m) output += ">L" + std::to_string(l) + "\t>" + universe[m] + "\t9606\n";
    }
    WriteBytes(scratch_ / "slow_targetscan_out.txt", output);
    WriteBytes(home / "perlbin/targetscan_60",
               "#!/bin/sh\ncp '" + (scratch_ / "slow_targetscan_out.txt").string() + "' \"$3\"\n");
    fs::permissions(home / "perlbin/targetscan_60", fs::perms::owner_all);
    return home;
  }

 private slots:
  void initTestCase() {
    scratch_ = fs::temp_directory_path() / ("velmora-window-" + std::to_string(QCoreApplication::applicationPid()));
    home_ = scratch_ / "home";
    fs::create_directories(home_);
    fs::copy(fs::path(VELMORA_HOME) / "lib", home_ / "lib");
    fs::copy(fs::path(VELMORA_HOME) / "perlbin", home_ / "perlbin");
  }

  void cleanupTestCase() { fs::remove_all(scratch_); }

  void startUp() {
    auto window = OpenWindow(home_);
    QCOMPARE(window->windowTitle(), QString("Velmora 1.41 - a tool for human LncRNA-disease association prediction"));
    QVERIFY(!window->windowIcon().isNull());
    QCOMPARE(window->size(), QSize(845, 593));
    QVERIFY(window->Label1->text().startsWith("Version 1.41\n"));
    QCOMPARE(window->Text2->toPlainText(), QString("Log:\n"));
    QVERIFY(window->Option1->isChecked());
    QVERIFY(!window->Command1->isEnabled());
    QCOMPARE(window->Frame3->title(), QString("LncRNAs Input"));
    QCOMPARE(window->Frame5->title(), QString("Results"));
    QStringList headers;
    for (int c = 0; c < window->ListView1->columnCount(); ++c) {
      headers << window->ListView1->horizontalHeaderItem(c)->text();
    }
    QCOMPARE(headers,
             QStringList({"ID", "LncName", "Disease", "a", "b", "c", "d", "P-value", "P-Bonferoni", "OR-value"}));
    QCOMPARE(window->ListView1->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(window->ListView1->editTriggers(), QAbstractItemView::NoEditTriggers);
    // The header in full and the empty list without a scroll bar.
    QVERIFY(!window->ListView1->horizontalScrollBar()->isVisible());
    const QHeaderView* header = window->ListView1->horizontalHeader();
    for (int c = 0; c < window->ListView1->columnCount(); ++c) {
      QVERIFY2(header->sectionSize(c) >= header->fontMetrics().horizontalAdvance(headers[c]) + 12,
               qPrintable(headers[c]));
    }
  }

  void saveAllIsEnabledAtStartUpWhenAResultExists() {
    const fs::path home = scratch_ / "result-home";
    fs::create_directories(home / "lib");
    fs::copy_file(home_ / "lib/mulnum.txt", home / "lib/mulnum.txt");
    QVERIFY(!OpenWindow(home)->Command1->isEnabled());
    WriteBytes(home / "tmp/result.xls", "LncName\tDisease\ta\tb\tc\td\tP-value\tP-bonferoni\tOR-value\r\n\r\n");
    auto window = OpenWindow(home);
    QVERIFY(window->Command1->isEnabled());
    QVERIFY(window->SaveChart->isEnabled());
  }

  // At the minimum size no control covers another, and the window cannot
  // be made smaller.
  void minimumSizeKeepsControlsApart() {
    auto window = OpenWindow(home_);
    window->resize(200, 150);
    QTRY_COMPARE(window->size(), window->minimumSize());
    QVERIFY(window->minimumSize().width() >= 640 && window->minimumSize().height() >= 380);
    for (QWidget* parent : std::initializer_list<QWidget*>{window.get(), window->Frame3, window->Frame5}) {
      QList<QWidget*> children;
      for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isVisible()) children << child;
      }
      for (int i = 0; i < children.size(); ++i) {
        QVERIFY(parent == window.get() || parent->rect().contains(children[i]->geometry()));
        for (int j = i + 1; j < children.size(); ++j) {
          QVERIFY2(!children[i]->geometry().intersects(children[j]->geometry()),
                   qPrintable(children[i]->metaObject()->className() + QString(" / ") +
                              children[j]->metaObject()->className()));
        }
      }
    }
  }

  void missingInstallationFilesAreLoggedAtStartUp() {
    const fs::path bare = scratch_ / "bare";
    fs::create_directories(bare / "lib");
    fs::copy_file(home_ / "lib/mulnum.txt", bare / "lib/mulnum.txt");
    auto window = OpenWindow(bare);
    const QStringList messages = LogMessages(*window);
    QCOMPARE(messages.size(), 7);
    QCOMPARE(messages[0], QString("Log:"));
    QVERIFY(messages[1].endsWith("lib/nor_mir.txt: file not found"));
    QVERIFY(messages[5].endsWith("perlbin/targetscan_60: file not found"));
    QVERIFY(messages[6].endsWith("lib/miranda: file not found"));
  }

  void inputHintRules() {
    auto window = OpenWindow(home_);
    QPlainTextEdit* text = window->Text1;
    window->Command2->setFocus();
    QTRY_VERIFY(window->Command2->hasFocus());
    QCOMPARE(text->toPlainText(), QString(velmora::kInputHint));
    QVERIFY(text->palette().color(QPalette::Text) != QColor(Qt::black));
    QVERIFY(!window->Command3->isEnabled());

    text->setFocus();
    QTRY_VERIFY(text->hasFocus());
    QCOMPARE(text->toPlainText(), QString());
    QCOMPARE(text->palette().color(QPalette::Text), QColor(Qt::black));
    QVERIFY(!window->Command3->isEnabled());

    QTest::keyClicks(text, ">a");
    QVERIFY(window->Command3->isEnabled());
    QTest::keyClick(text, Qt::Key_Backspace);
    QTest::keyClick(text, Qt::Key_Backspace);
    QVERIFY(!window->Command3->isEnabled());

    window->Command2->setFocus();  // leaving the empty box brings the hint back
    QTRY_COMPARE(text->toPlainText(), QString(velmora::kInputHint));
    QVERIFY(!window->Command3->isEnabled());

    text->setPlainText(velmora::kInputHint);  // the hint's words in black: still empty
    QVERIFY(!window->Command3->isEnabled());
    text->setFocus();  // and focusing the box clears them
    QTRY_COMPARE(text->toPlainText(), QString());
  }

  void layoutFollowsTheClientArea() {
    auto window = OpenWindow(home_);
    QCOMPARE(window->Frame5->geometry(), QRect(312, 8, 526, 427));       // 4680, 120, 7895, 6405 twips
    QCOMPARE(window->ListView1->geometry(), QRect(8, 16, 500, 347));     // 7495 x 5530, less the evidence line
    QCOMPARE(window->Option4->geometry().top(), 366);                    // 5495
    QCOMPARE(window->Command4->geometry().topLeft(), QPoint(712, 529));  // 10675, 7940
    window->resize(1000, 700);
    QTRY_COMPARE(window->Frame5->width(), velmora::ToPixels(1000 * 15 - 4680 - 100));
    QCOMPARE(window->Text2->geometry().top(), velmora::ToPixels(700 * 15 - 855 - 1335 - 100));
    QCOMPARE(window->ListView1->columnWidth(1), velmora::ToPixels((1000 * 15 - 4680 - 500) / 5.0f));
  }

  void listKeysAndTheCopiedText() {
    auto window = OpenWindow(home_);
    AddRows(*window, {Row(">L1", "Glioma", 3), Row(">L2", "Asthma", 2), Row(">L3", "Lupus", 5)});
    QTableWidget* list = window->ListView1;
    list->setFocus();
    QTRY_VERIFY(list->hasFocus());
    QApplication::clipboard()->setText("before");

    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);  // nothing selected: clipboard untouched
    QCOMPARE(QApplication::clipboard()->text(), QString("before"));

    SelectRow(list, 1);
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier | Qt::AltModifier);  // not Ctrl alone
    QCOMPARE(QApplication::clipboard()->text(), QString("before"));
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(),
             QString("ID\tLncName\tDisease\ta\tb\tc\td\tP-value\tP-bonferoni\tOR-value\r\n"
                     "2\t>L2\tAsthma\t2\t1\t2\t3\t0.01\t1\t-1\r\n"));

    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(SelectedRows(list), 0);
    QCOMPARE(list->rowCount(), 3);
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(SelectedRows(list), 0);
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(SelectedRows(list), 3);
    QTest::keyClick(list, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(SelectedRows(list), 0);

    window->Command1->setEnabled(true);  // the window's own Ctrl+A works from another control
    window->Command1->setFocus();
    QTRY_VERIFY(window->Command1->hasFocus());
    QTest::keyClick(window->Command1, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(SelectedRows(list), 3);
  }

  void columnSortThroughTheHeader() {
    auto window = OpenWindow(home_);
    AddRows(*window, {Row(">b", "D1", 10), Row(">B", "D2", 2), Row(">a", "D3", 7), Row(">C", "D4", 2)});
    QTableWidget* list = window->ListView1;
    SelectRow(list, 1);  // IDs 2 and 4
    SelectRow(list, 3);
    auto clickHeader = [&](int column) {
      QHeaderView* header = list->horizontalHeader();
      QSignalSpy clicked(header, &QHeaderView::sectionClicked);
      QTest::mouseClick(
          header->viewport(), Qt::LeftButton, {},
          QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2));
      QCOMPARE(clicked.size(), 1);
    };
    clickHeader(3);  // "a", ascending: 2 before 10
    QCOMPARE(Column(list, 3), QStringList({"2", "2", "7", "10"}));
    QCOMPARE(Column(list, 0), QStringList({"1", "2", "3", "4"}));
    QCOMPARE(Column(list, 1), QStringList({">C", ">B", ">a", ">b"}));  // ties in the order the exchanges leave
    QCOMPARE(list->horizontalHeader()->sortIndicatorSection(), 3);
    QCOMPARE(list->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    QCOMPARE(SelectedRows(list), 2);
    QVERIFY(Selected(list, 1) && Selected(list, 3));

    clickHeader(3);  // again: descending
    QCOMPARE(Column(list, 3), QStringList({"10", "7", "2", "2"}));
    QCOMPARE(list->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    QCOMPARE(Column(list, 0), QStringList({"4", "3", "2", "1"}));

    clickHeader(1);  // LncName, ascending again: character codes
    QCOMPARE(Column(list, 1), QStringList({">B", ">C", ">a", ">b"}));
    clickHeader(0);  // ID: the table order, reversed
    QCOMPARE(Column(list, 0), QStringList({"4", "3", "2", "1"}));
    QCOMPARE(Column(list, 1), QStringList({">b", ">a", ">C", ">B"}));
  }

  void tenThousandPresortedRowsAndBeyond() {
    auto window = OpenWindow(home_);
    std::vector<velmora::ResultRow> rows;
    for (int i = 1; i <= velmora::ResultStore::kLastRow; ++i) rows.push_back(Row(">L", "D", i));
    AddRows(*window, rows);
    window->ListView1_ColumnClick(4);
    QCOMPARE(window->ListView1->item(9999, 3)->text(), QString("10000"));
    AddRows(*window, {Row(">L", "D", 0), Row(">L", "D", 0)});
    QVERIFY(LogMessages(*window).last().startsWith("Results > 10000 rows."));
    QCOMPARE(LogMessages(*window).filter("Results > 10000 rows.").size(), 1);         // once per run
    window->ListView1->horizontalHeader()->setSortIndicator(4, Qt::DescendingOrder);  // as a header click leaves it
    window->ListView1_ColumnClick(5);
    QVERIFY(LogMessages(*window).last().startsWith("The list holds 10002 rows"));
    QCOMPARE(window->ListView1->horizontalHeader()->sortIndicatorSection(), -1);  // no arrow on an unsorted list
    QCOMPARE(window->ListView1->item(10000, 3)->text(), QString("0"));
  }

  void importReadsLinesEndedByCrOrCrLf() {
    auto window = OpenWindow(home_);
    WriteBytes(scratch_ / "crlf.fa", "A\r\nB\r\n");
    WriteBytes(scratch_ / "no-end.fa", "A\r\nB");
    WriteBytes(scratch_ / "lf.fa", ">x\nACGU\n");
    WriteBytes(scratch_ / "empty.fa", "");
    QString chosen;
    window->Cd1 = [&] { return chosen; };
    for (const char* name : {"crlf.fa", "no-end.fa"}) {
      chosen = QString::fromStdString((scratch_ / name).string());
      window->Command2_Click();
      QCOMPARE(window->Text1->toPlainText(), QString("A\nB\n"));
      QVERIFY(window->Command3->isEnabled());
    }
    chosen = QString::fromStdString((scratch_ / "lf.fa").string());
    window->Text1->clear();
    window->Command2->setFocus();  // the box shows the grey hint; the import draws in black all the same
    QTRY_COMPARE(window->Text1->toPlainText(), QString(velmora::kInputHint));
    window->Command2_Click();
    QCOMPARE(window->Text1->toPlainText(), QString(">x\nACGU\n"));
    QCOMPARE(window->Text1->palette().color(QPalette::Text), QColor(Qt::black));

    chosen = "";  // cancelled
    window->Command2_Click();
    QCOMPARE(window->Text1->toPlainText(), QString(">x\nACGU\n"));

    chosen = QString::fromStdString((scratch_ / "missing.fa").string());
    window->Command2_Click();  // unreadable: the box keeps its text
    QCOMPARE(window->Text1->toPlainText(), QString(">x\nACGU\n"));
    QVERIFY(LogMessages(*window).last().startsWith("Import failed: " + chosen + ": "));

    chosen = QString::fromStdString((scratch_ / "empty.fa").string());
    window->Command2_Click();
    QCOMPARE(window->Text1->toPlainText(), QString());
    QVERIFY(!window->Command3->isEnabled());
  }

  void saveAllCopiesTheResultAndLogsIt() {
    const fs::path home = scratch_ / "save-home";
    fs::create_directories(home / "lib");
    fs::copy_file(home_ / "lib/mulnum.txt", home / "lib/mulnum.txt");
    auto window = OpenWindow(home);
    QString chosen = QString::fromStdString((scratch_ / "saved.xls").string());
    window->Cd2 = [&] { return chosen; };

    window->Command1_Click();  // no result yet
    QVERIFY(LogMessages(*window).last().startsWith("Save All failed: "));
    QVERIFY(!fs::exists(scratch_ / "saved.xls"));

    WriteBytes(home / "tmp/result.xls", "first");
    window->Command1_Click();
    WriteBytes(home / "tmp/result.xls", "second");
    window->Command1_Click();
    QCOMPARE(QString::fromStdString(ReadBytes(scratch_ / "saved.xls")), QString("second"));
    const QStringList messages = LogMessages(*window);
    QCOMPARE(messages.last(), "Results Exported to: " + chosen);
    QCOMPARE(messages[messages.size() - 2], "Results Exported to: " + chosen);

    const int lines = LogMessages(*window).size();
    chosen = "";  // cancelled: nothing copied, nothing logged
    window->Command1_Click();
    QCOMPARE(LogMessages(*window).size(), lines);

    chosen = QString::fromStdString((scratch_ / "no/such/folder/r.xls").string());
    window->Command1_Click();
    QVERIFY(LogMessages(*window).last().startsWith("Save All failed: cannot create " + chosen));
  }

  // /proc takes no new file, not even from root: a read-only place.
  void saveAllOntoAReadOnlyLocationLogsAndTheWindowLives() {
    WriteBytes(home_ / "tmp/result.xls", "a result");
    auto window = OpenWindow(home_);
    for (const QString& chosen : {QString("/proc/saved.xls"), QString("/proc/self/saved.xls"), QString("/proc")}) {
      window->Cd2 = [&] { return chosen; };
      QTest::mouseClick(window->Command1, Qt::LeftButton);
      QVERIFY2(LogMessages(*window).last().startsWith("Save All failed: "), qPrintable(LogMessages(*window).last()));
      QVERIFY(window->isVisible());
    }
    QVERIFY(!fs::exists("/proc/saved.xls.partial"));
    fs::remove(home_ / "tmp/result.xls");
  }

  void predictRunFillsTheListWithTheResultFile() {
    auto window = OpenWindow(home_);
    window->Cd1 = [] { return QString(VELMORA_SHARED_DATA "/lncrna_small.fa"); };
    window->Command2_Click();
    window->Option3->setChecked(true);
    QString captionDuringRun;
    QTimer::singleShot(0, window.get(), [&] {
      window->Text1->appendPlainText(">edited during the run");  // must not bring Predict back
      captionDuringRun = window->Command3->text();
    });
    window->Command3_Click();
    WaitForRun(*window);
    QCOMPARE(captionDuringRun, QString("Stop"));
    QCOMPARE(window->Command3->text(), QString("Predict"));
    QVERIFY(window->Command1->isEnabled());
    QVERIFY(window->Command3->isEnabled());
    const QString result = QString::fromStdString(ReadBytes(home_ / "tmp/result.xls"));
    QStringList lines = result.split('\n');
    QCOMPARE(lines.takeFirst(), QString("LncName\tDisease\ta\tb\tc\td\tP-value\tP-bonferoni\tOR-value\r"));
    QCOMPARE(lines.takeFirst(), QString("\r"));
    QCOMPARE(lines.takeLast(), QString());
    QVERIFY(!lines.isEmpty());
    QSet<QString> lncs;
    for (const QString& line : lines) lncs.insert(line.section('\t', 0, 0));
    QCOMPARE(LogMessages(*window).mid(1),
             QStringList({"Running miRanda, which may take a long time",
                          "Running Targetscan_60.pl, which may take a long time", "Preprocessing data",
                          "Mapping and calculating",
                          QString("%1 associations found for %2 of 3 lncRNAs, predicted with both (union)")
                              .arg(lines.size())
                              .arg(lncs.size()),
                          "Ready"}));
    QTableWidget* list = window->ListView1;
    QCOMPARE(list->rowCount(), lines.size());
    for (int i = 0; i < lines.size(); ++i) {
      QStringList cells;
      for (int c = 1; c < list->columnCount(); ++c) cells << list->item(i, c)->text();
      QCOMPARE(cells.join('\t'), lines[i]);
      QCOMPARE(list->item(i, 0)->text(), QString::number(i + 1));
    }

    // One selected row: its shared miRNAs, as the evidence file has them.
    const QStringList evidence = QString::fromStdString(ReadBytes(home_ / "tmp/result_mirnas.tsv")).split('\n');
    QCOMPARE(evidence.size(), lines.size() + 2);
    SelectRow(list, 1);
    const QStringList fields = evidence[2].split('\t');
    QCOMPARE(fields[0] + "\t" + fields[1], list->item(1, 1)->text() + "\t" + list->item(1, 2)->text());
    const QString shown = window->EvidenceLine->toolTip();
    QVERIFY2(shown.startsWith(list->item(1, 3)->text() + " shared miRNA"), qPrintable(shown));
    const QStringList mirnas = fields[2].split(','), sources = fields[3].split(',');
    for (int m = 0; m < mirnas.size(); ++m) QVERIFY(shown.contains(mirnas[m] + " (" + sources[m] + ")"));
    QVERIFY(shown.endsWith("FDR " + fields[4]));

    // The chart in place of the list, and saved.
    QTest::mouseClick(window->ViewChart, Qt::LeftButton);
    QVERIFY(window->ChartView->isVisible() && !list->isVisible());
    const auto* picture = static_cast<QLabel*>(window->ChartView->widget());
    QVERIFY(!picture->pixmap().isNull() && picture->pixmap().width() > 300);
    const QString chart = QString::fromStdString((scratch_ / "chart.svg").string());
    window->Cd3 = [&] { return chart; };
    QTest::mouseClick(window->SaveChart, Qt::LeftButton);
    QCOMPARE(LogMessages(*window).last(), "Chart saved to: " + chart);
    QVERIFY(ReadBytes(scratch_ / "chart.svg").starts_with("<?xml"));
    QTest::mouseClick(window->ViewList, Qt::LeftButton);
    QVERIFY(list->isVisible() && !window->ChartView->isVisible());
  }

  // The example lncRNAs, both predictors: at the initial size every value
  // of the number columns shows in full, P-values with their exponent.
  void numberColumnsShowTheirFullTextAtTheInitialSize() {
    auto window = OpenWindow(home_);
    window->Cd1 = [] { return QString(VELMORA_SHARED_DATA "/lncrna_examples.fa"); };
    window->Command2_Click();
    window->Option3->setChecked(true);
    window->Command3_Click();
    WaitForRun(*window);
    QCOMPARE(LogMessages(*window).last(), QString("Ready"));
    QTableWidget* list = window->ListView1;
    QVERIFY(list->rowCount() > 100);
    // A P-value in exponent form arrives later: its column widens for it.
    AddRows(*window,
            {{0, {">L", "Glioma", "3", "1", "2", "488", "5.92059799510842E-08", "2.20246245417993E-05", "-1"}}});
    QStyleOptionViewItem option;
    option.initFrom(list->viewport());
    option.font = list->font();
    qsizetype longest = 0;
    for (int row = 0; row < list->rowCount(); ++row) {
      for (int c : {0, 3, 4, 5, 6, 7, 8, 9}) {
        const QModelIndex index = list->model()->index(row, c);
        const int needed = list->itemDelegateForIndex(index)->sizeHint(option, index).width();
        QVERIFY2(list->columnWidth(c) >= needed,
                 qPrintable(list->item(row, c)->text() +
                            QString(" needs %1, column %2 is %3").arg(needed).arg(c).arg(list->columnWidth(c))));
        QCOMPARE(list->item(row, c)->toolTip(), list->item(row, c)->text());
      }
      longest = std::max(longest, list->item(row, 7)->text().size());
    }
    QVERIFY(longest >= 20);
  }

  // Another run holds the workspace: Predict says who, and the last result stays.
  void predictWaitsForAnotherRunOnTheWorkspace() {
    auto window = OpenWindow(home_);
    window->Text1->setPlainText(">L0\nACGU\n");
    const auto result = [&] { return fs::exists(home_ / "tmp/result.xls") ? ReadBytes(home_ / "tmp/result.xls") : ""; };
    const std::string before = result();
    {
      velmora::WorkspaceLock other(home_ / "tmp");
      window->Command3_Click();
      WaitForRun(*window);
    }
    QVERIFY(LogMessages(*window).last().startsWith("another run (pid " + QString::number(getpid()) + ") is using"));
    QVERIFY(result() == before);
    QVERIFY(window->Command3->isEnabled());
  }

  void exitDuringARunEndsThePredictor() {
    auto window = OpenWindow(home_);
    window->Cd1 = [] { return QString(VELMORA_SHARED_DATA "/lncrna_examples.fa"); };
    window->Command2_Click();
    window->Option2->setChecked(true);
    window->Command3_Click();
    QTRY_COMPARE(LogMessages(*window).last(), QString("Running miRanda, which may take a long time"));
    window->Command4_Click();
    QVERIFY(!window->isVisible());
    QVERIFY(!window->Running());
    QTRY_COMPARE(LogMessages(*window).last(), QString("Stopped"));
    QVERIFY(!fs::exists(home_ / "tmp/miranda_out.txt"));
  }

  // While a run goes, Save All, Import and the column sort do nothing: no
  // half-written result is saved, the input is not replaced, and the rows
  // keep the order in which they arrive.
  void commandsWaitWhileARunGoes() {
    const fs::path home = SlowMappingHome(4000);
    auto window = OpenWindow(home);
    window->Text1->setPlainText(">L0\nACGU\n");
    WriteBytes(home / "tmp/result.xls", "the last run's result");
    int dialogs = 0;
    window->Cd1 = [&] { return ++dialogs, QString(VELMORA_SHARED_DATA "/lncrna_small.fa"); };
    window->Cd2 = [&] { return ++dialogs, QString::fromStdString((scratch_ / "during.xls").string()); };
    window->Command3_Click();
    QTRY_VERIFY_WITH_TIMEOUT(LogMessages(*window).last() == "Mapping and calculating", 60000);
    QVERIFY(window->Running());
    QCOMPARE(window->Command3->text(), QString("Stop"));
    QVERIFY(window->Command3->isEnabled());
    QVERIFY(!window->Command1->isEnabled() && !window->Command2->isEnabled() && !window->Option2->isEnabled());
    QVERIFY(!window->ListView1->horizontalHeader()->sectionsClickable());
    window->Command1_Click();
    window->Command2_Click();
    window->ListView1_ColumnClick(8);
    QCOMPARE(dialogs, 0);
    QCOMPARE(window->Text1->toPlainText(), QString(">L0\nACGU\n"));
    WaitForRun(*window);
    QVERIFY(!fs::exists(scratch_ / "during.xls"));
    QVERIFY(window->Command1->isEnabled() && window->Command2->isEnabled() && window->Option2->isEnabled());
    const QStringList ids = Column(window->ListView1, 0);
    for (int i = 0; i < ids.size(); ++i) QCOMPARE(ids[i], QString::number(i + 1));
    QCOMPARE(LogMessages(*window).last(), QString("Ready"));
  }

  // Stop while the lncRNAs are tested: the run ends, the rows so far are
  // marked incomplete, nothing can be saved, and Predict is back.
  void stopEndsARun() {
    const fs::path home = SlowMappingHome(4000);
    auto window = OpenWindow(home);
    window->Text1->setPlainText(">L0\nACGU\n");
    QTest::mouseClick(window->Command3, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(LogMessages(*window).last() == "Mapping and calculating", 60000);
    QTRY_VERIFY_WITH_TIMEOUT(window->ListView1->rowCount() > 0, 60000);
    QTest::mouseClick(window->Command3, Qt::LeftButton);
    QVERIFY(!window->Command3->isEnabled());  // one stop is enough
    WaitForRun(*window);
    QCOMPARE(LogMessages(*window).last(), QString("Stopped"));
    QCOMPARE(window->Command3->text(), QString("Predict"));
    QVERIFY(window->Command3->isEnabled());
    QVERIFY(window->Frame5->title().contains("incomplete"));
    QVERIFY(!window->Command1->isEnabled() && !window->SaveChart->isEnabled());
    QVERIFY(!fs::exists(home / "tmp/result.xls"));
    QVERIFY(!fs::exists(home / "tmp/result_mirnas.tsv"));
    QVERIFY(LogMessages(*window).filter("associations found").isEmpty());
  }

  void exitDuringTheEnrichmentEndsTheRunAtOnce() {
    const fs::path home = SlowMappingHome(4000);
    auto window = OpenWindow(home);
    window->Text1->setPlainText(">L0\nACGU\n");
    window->Command3_Click();
    QTRY_VERIFY_WITH_TIMEOUT(LogMessages(*window).last() == "Mapping and calculating", 60000);
    const auto start = std::chrono::steady_clock::now();
    window->Command4_Click();
    const auto took = std::chrono::steady_clock::now() - start;
    QVERIFY(!window->Running());
    QVERIFY2(took < std::chrono::milliseconds(500),
             qPrintable(QString::number(std::chrono::duration<double>(took).count()) + " s"));
    QTRY_COMPARE(LogMessages(*window).last(), QString("Stopped"));
    QVERIFY(!fs::exists(home / "tmp/result.xls"));
    QVERIFY(!fs::exists(home / "tmp/result.xls.partial"));
  }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
