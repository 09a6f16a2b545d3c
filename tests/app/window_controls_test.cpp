// The window's controls under QtTest: Predict and Stop against double
// clicks, the last complete result shown again after a stop, the row detail
// line, the keyboard, the chart's label tooltips and the save dialogs.

#include <QTest>
#include <QtWidgets>
#include <functional>
#include <tuple>

#include "app/form1.h"
#include "chart/chart.h"
#include "engine/workspace_lock.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;
using velmora::Form1;
using velmora::test::WriteBytes;

namespace {

QString Text(const fs::path& path) { return QString::fromStdString(path.string()); }

QString LastLogMessage(const Form1& window) {
  for (int pass = 0; pass < 2; ++pass) QCoreApplication::processEvents();
  return window.Text2->toPlainText().split('\n', Qt::SkipEmptyParts).last().section(" : ", 1);
}

// Every cell of the list, row by row, and the sort arrow.
QStringList Listed(const QTableWidget* list) {
  QStringList rows;
  for (int row = 0; row < list->rowCount(); ++row) {
    QStringList cells;
    for (int c = 0; c < list->columnCount(); ++c) cells << list->item(row, c)->text();
    rows << cells.join('\t');
  }
  return rows << QString::number(list->horizontalHeader()->sortIndicatorSection()) +
                     QString::number(list->horizontalHeader()->sortIndicatorOrder());
}

}  // namespace

class WindowControlsTest : public QObject {
  Q_OBJECT

 private:
  velmora::test::TempDir scratch_;
  // A full installation whose site finder, while the file "stall" exists,
  // writes its process ID and waits until it is ended.
  fs::path home_ = scratch_ / "home", stall_ = scratch_ / "stall", pid_ = scratch_ / "predictor.pid";

  std::unique_ptr<Form1> OpenWindow(const fs::path& home) {
    auto window = std::make_unique<Form1>(home);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) qWarning("window not active");
    return window;
  }

  static void WaitForRun(const Form1& window) { QTRY_VERIFY_WITH_TIMEOUT(!window.Running(), 120000); }

  // Starts (by a click or a call) a run that waits in its predictor.
  void StartStalledRun(const std::function<void()>& start) {
    WriteBytes(stall_, "");
    fs::remove(pid_);
    start();
    QTRY_VERIFY_WITH_TIMEOUT(fs::exists(pid_), 30000);
  }

  // An installation of the factorials alone, with a result file of one line.
  fs::path BareHome(const std::string& name, const std::string& lnc = ">L1") {
    const fs::path home = scratch_ / name;
    fs::create_directories(home / "lib");
    fs::create_directory(home / "tmp");
    fs::copy_file(home_ / "lib/mulnum.txt", home / "lib/mulnum.txt");
    WriteBytes(home / "tmp/result.xls", "LncName\tDisease\ta\tb\tc\td\tP-value\tP-bonferoni\tOR-value\r\n\r\n" + lnc +
                                            "\tAsthma\t3\t1\t2\t3\t0.01\t1\t-1\n");
    return home;
  }

 private slots:
  void initTestCase() {
    fs::create_directories(home_ / "tmp");
    fs::copy(fs::path(VELMORA_HOME) / "lib", home_ / "lib");
    fs::copy(fs::path(VELMORA_HOME) / "perlbin", home_ / "perlbin");
    const fs::path finder = home_ / "perlbin/targetscan_60";
    fs::rename(finder, finder.string() + ".real");
    WriteBytes(finder, "#!/bin/sh\nif [ -e '" + stall_.string() + "' ]; then echo $$ > '" + pid_.string() +
                           "'; exec sleep 600; fi\nexec '" + finder.string() + ".real' \"$@\"\n");
    fs::permissions(finder, fs::perms::owner_all);
  }

  // Two clicks 120 ms apart start a run and leave it going; a click right
  // after Stop turned back into Predict starts nothing. The lock message
  // says what to do in the window.
  void predictIgnoresAClickRightAfterItTurns() {
    auto window = OpenWindow(home_);
    window->Text1->setPlainText(">L0\nACGU\n");
    StartStalledRun([&] {
      QTest::mouseClick(window->Command3, Qt::LeftButton);
      QTest::mouseClick(window->Command3, Qt::LeftButton, {}, {}, 120);
    });
    QVERIFY(window->Running());
    QTest::qWait(velmora::kPredictStopGuardMs);
    QTest::mouseClick(window->Command3, Qt::LeftButton);
    WaitForRun(*window);
    QTest::mouseClick(window->Command3, Qt::LeftButton);  // as the run ended
    QVERIFY(!window->Running());
    QCOMPARE(LastLogMessage(*window), QString("Stopped"));

    velmora::WorkspaceLock other(home_ / "tmp");
    QTest::qWait(velmora::kPredictStopGuardMs);
    QTest::mouseClick(window->Command3, Qt::LeftButton);
    WaitForRun(*window);
    QCOMPARE(LastLogMessage(*window), QString("another run (pid %1) is using %2; wait for it to end, then press "
                                              "Predict again")
                                          .arg(QCoreApplication::applicationPid())
                                          .arg(Text(home_ / "tmp")));
  }

  // A complete run, sorted; its most shared row's detail line, FDR first,
  // in three lines. A stopped run then shows the result again as it was
  // listed, with Save All. A window without a complete result keeps the
  // stopped run's rows, marked, and Save All and Save Chart wait.
  void aStoppedRunShowsTheLastCompleteResultAgain() {
    auto window = OpenWindow(home_);
    window->Cd1 = [] { return QString(VELMORA_SHARED_DATA "/lncrna_examples.fa"); };
    window->Command2_Click();
    fs::remove(stall_);
    window->Command3_Click();
    WaitForRun(*window);
    QTableWidget* list = window->ListView1;
    window->ListView1_ColumnClick(8);
    window->ListView1_ColumnClick(8);  // descending
    const QStringList listed = Listed(list);

    int most = 0;
    for (int row = 1; row < list->rowCount(); ++row) {
      if (list->item(row, 3)->text().toInt() > list->item(most, 3)->text().toInt()) most = row;
    }
    list->selectRow(most);
    const QLabel* detail = window->EvidenceLine;
    const QString text = detail->text(), shared = list->item(most, 3)->text();
    const QRegularExpression leads("^FDR (0\\.0*[1-9]\\d{0,2}|\\d(\\.\\d{1,2})?E-\\d+|1) · " + shared + " shared");
    QVERIFY2(leads.match(text).hasMatch() && text.endsWith(" more"), qPrintable(text));
    QCOMPARE(detail->toolTip().count('('), shared.toInt());  // every miRNA with its predictor
    const QFontMetrics metrics = detail->fontMetrics();
    const int height = metrics.boundingRect(detail->contentsRect(), Qt::TextWordWrap, text).height();
    QCOMPARE(qCeil(height / static_cast<double>(metrics.lineSpacing())), velmora::kEvidenceLines);
    QVERIFY(detail->height() >= height && detail->textInteractionFlags() & Qt::TextSelectableByMouse);

    StartStalledRun([&] { window->Command3_Click(); });
    QTRY_COMPARE(list->rowCount(), 0);
    window->Command3_Click();
    WaitForRun(*window);
    QCOMPARE(LastLogMessage(*window),
             QString("The stopped run's 0 rows were set aside; the list shows the last complete result again"));
    QCOMPARE(Listed(list), listed);
    QCOMPARE(window->Frame5->title(), QString("Results"));
    QVERIFY(window->Command1->isEnabled() && window->SaveChart->isEnabled());

    auto fresh = OpenWindow(home_);
    fresh->Text1->setPlainText(">L0\nACGU\n");
    StartStalledRun([&] { fresh->Command3_Click(); });
    fresh->Command3_Click();
    WaitForRun(*fresh);
    QCOMPARE(fresh->Frame5->title(), QString("Results (stopped: incomplete)"));
    QVERIFY(fs::exists(home_ / "tmp/result.xls") && !fresh->Command1->isEnabled() && !fresh->SaveChart->isEnabled());
  }

  // Tab from the input box through the designed order, the options one stop
  // at the checked one, the added controls last, none hidden; Shift+Tab
  // back; Ctrl+Tab types a TAB. Focus shows on every stop. Each button and
  // option has an Alt+letter of its own.
  void keyboard() {
    auto window = OpenWindow(BareHome("keyboard-home"));
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
  // extension keeps it. Save All is back once another run makes the result.
  void saveDialogsAddTheExtension() {
    const fs::path home = BareHome("save-home");
    auto window = OpenWindow(home);
    const std::tuple<QAbstractButton*, int, std::string, std::string> cases[] = {
        {window->Command1, 0, "saved", "saved.xls"},
        {window->Command1, 1, "all", "all.xls"},  // "All Files"
        {window->SaveChart, 1, "chart", "chart.png"},
        {window->SaveChart, 0, "given.pdf", "given.pdf"}};
    for (const auto& [button, format, typed, saved] : cases) {
      QTimer::singleShot(0, [&] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        for (int i = 0; i < format; ++i) QTest::keyClick(dialog->findChild<QComboBox*>("fileTypeCombo"), Qt::Key_Down);
        dialog->selectFile(Text(scratch_ / typed));
        static_cast<QDialog*>(dialog)->accept();  // as the Save button does
      });
      QTest::mouseClick(button, Qt::LeftButton);
      QVERIFY2(LastLogMessage(*window).endsWith(": " + Text(scratch_ / saved)), qPrintable(LastLogMessage(*window)));
      QVERIFY(fs::is_regular_file(scratch_ / saved));
    }
    fs::remove(home / "tmp/result.xls");
    QTRY_VERIFY(!window->Command1->isEnabled() && !window->SaveChart->isEnabled());
    WriteBytes(home / "tmp/result.xls", "made by another run");
    QTRY_VERIFY(window->Command1->isEnabled() && window->SaveChart->isEnabled());
  }
};

QTEST_MAIN(WindowControlsTest)
#include "window_controls_test.moc"
