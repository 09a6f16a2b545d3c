// velmora-screenshot: opens the window, imports a FASTA file, runs Predict
// with the chosen option and saves a picture of the window: the list sorted
// by P-value with one row selected, or the Chart view; or, with --during,
// the window while the run goes.

#include <CLI/CLI.hpp>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include "app/form1.h"
#include "core/installation.h"

int main(int argc, char** argv) {
  CLI::App app{"Saves a picture of the Velmora window after a run."};
  std::string home = velmora::ProgramFolder().string();
  std::string input, output = "window.png";
  int option = 3;
  int select = 1;
  bool chart = false;
  double during = 0;
  app.add_option("--home", home, "Installation folder")->capture_default_str();
  app.add_option("--input", input, "FASTA file to import")->required();
  app.add_option("--option", option, "Prediction option, 1 to 4")->check(CLI::Range(1, 4))->capture_default_str();
  app.add_option("--output", output, "PNG file to write")->capture_default_str();
  app.add_option("--select", select, "Row of the sorted list to select (1 is the first; 0 none)")
      ->capture_default_str();
  app.add_flag("--chart", chart, "Show the Chart view instead of the list");
  app.add_option("--during", during, "Take the picture this many seconds into the run, while it goes")
      ->check(CLI::PositiveNumber);
  CLI11_PARSE(app, argc, argv);

  QApplication application(argc, argv);
  velmora::Form1 window(home);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  // As a user would: click into the input box (the hint goes), then import.
  window.activateWindow();
  (void)QTest::qWaitForWindowActive(&window);  // without a window manager it may stay inactive; the click still lands
  QTest::mouseClick(window.Text1->viewport(), Qt::LeftButton);
  window.Cd1 = [&] { return QString::fromStdString(input); };
  window.Command2_Click();
  QRadioButton* options[] = {window.Option1, window.Option2, window.Option3, window.Option4};
  options[option - 1]->setChecked(true);
  window.Command3_Click();
  if (during > 0) {
    QTest::qWait(static_cast<int>(during * 1000));
    const bool picture = window.Running() && window.grab().save(QString::fromStdString(output));
    window.close();  // stops the run
    return picture ? 0 : 1;
  }
  if (!QTest::qWaitFor([&] { return !window.Running(); }, 600000)) return 1;
  window.ListView1_ColumnClick(8);  // by P-value, smallest first
  if (select > 0 && select <= window.ListView1->rowCount()) window.ListView1->selectRow(select - 1);
  if (chart) window.ShowChart(true);
  QTest::qWait(200);
  return window.grab().save(QString::fromStdString(output)) ? 0 : 1;
}
