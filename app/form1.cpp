#include "app/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFocusFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTableWidget>
#include <cmath>

#include "app/window_icon.h"
#include "core/installation.h"
#include "core/paths.h"
#include "core/run_failure.h"
#include "core/version.h"
#include "engine/run_log.h"
#include "engine/run_requirements.h"

namespace velmora {
namespace {

// The application workspace's system colour, the hint's grey.
const QColor kHintColour(171, 171, 171);

void SetTextColour(QPlainTextEdit* box, const QColor& colour) {
  QPalette palette = box->palette();
  palette.setColor(QPalette::Text, colour);
  box->setPalette(palette);
}

void Place(QWidget* widget, const Bounds& b) {
  widget->setGeometry(ToPixels(b.left), ToPixels(b.top), ToPixels(b.width), ToPixels(b.height));
}

}  // namespace

QString WindowTitle() {
  return QString("Velmora %1 - a tool for human LncRNA-disease association prediction").arg(kVersion);
}

Form1::Form1(std::filesystem::path home, QWidget* parent) : QWidget(parent), home_(std::move(home)) {
  setWindowTitle(WindowTitle());
  setWindowIcon(WindowIcon());
  // A dialog-sized font, so that the designed control sizes hold their captions.
  QFont dialogFont = font();
  dialogFont.setPointSizeF(8);
  setFont(dialogFont);
  layout_ = DesignLayout();

  // The captions as designed; "&" marks the Alt+letter of a button or option.
  Frame3 = new QGroupBox("LncRNAs Input", this);
  Text1 = new QPlainTextEdit(Frame3);
  Command2 = new QPushButton("&Import...", Frame3);
  Command4 = new QPushButton("E&xit", this);
  Frame5 = new QGroupBox("Results", this);
  Command3 = new QPushButton("&Predict", Frame3);
  Text2 = new QPlainTextEdit(this);
  Label1 = new QLabel("Label1", this);
  ListView1 = new QTableWidget(Frame5);
  Command1 = new QPushButton("Save &All...", Frame5);
  Option1 = new QRadioButton("Predict with &TargetScan only", Frame3);
  Option2 = new QRadioButton("Predict with &miRanda only", Frame3);
  Option3 = new QRadioButton("Predict with both(&union)", Frame3);
  Option4 = new QRadioButton("Predict with both(i&ntersection)", Frame3);
  EvidenceLine = new QLabel(Frame5);
  ChartView = new QScrollArea(Frame5);
  ViewList = new QPushButton("&List", Frame5);
  ViewChart = new QPushButton("&Chart", Frame5);
  SaveChart = new QPushButton("Save C&hart...", Frame5);
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setRange(0, 1000);
  ProgressBar1->setAlignment(Qt::AlignCenter);
  ProgressBar1->hide();
  ChartView->setWidget(new QLabel);
  ChartView->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  ChartView->setBackgroundRole(QPalette::Base);
  ChartView->hide();
  for (QPushButton* view : {ViewList, ViewChart}) {
    view->setCheckable(true);
    view->setAutoExclusive(true);
  }
  ViewList->setChecked(true);
  SaveChart->setEnabled(false);
  Option1->setChecked(true);
  Command1->setEnabled(false);
  Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Text1->setTabChangesFocus(true);  // Ctrl+Tab types a TAB (eventFilter)
  Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Text2->setReadOnly(true);
  Text2->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);  // a caret shows focus
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label1->setToolTip("Click to choose the reference collection the runs test against");
  Label1->setCursor(Qt::PointingHandCursor);
  Label1->installEventFilter(this);
  EvidenceLine->setTextFormat(Qt::PlainText);
  EvidenceLine->setWordWrap(true);
  EvidenceLine->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  EvidenceLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // Tab order as designed, then the added controls; frames and labels take
  // no focus. Each group of exclusive buttons is one stop (arrow keys move
  // within), and the boxes without a focus look of their own get a frame.
  QWidget* const order[] = {Text1,   Command2, Command4, Command3,  Text2,    ListView1, Command1, Option1,
                            Option2, Option3,  Option4,  ChartView, ViewList, ViewChart, SaveChart};
  for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
  KeepOneTabStop({Option1, Option2, Option3, Option4});
  KeepOneTabStop({ViewList, ViewChart});
  focusFrame_ = new QFocusFrame(this);
  QPalette framePalette = focusFrame_->palette();  // the style draws it in the window text's colour
  framePalette.setColor(QPalette::WindowText, framePalette.color(QPalette::Highlight));
  focusFrame_->setPalette(framePalette);
  focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    const bool framed = now == Text1 || now == Text2 || now == ListView1 || now == ChartView;
    focusFrame_->setWidget(framed ? now : nullptr);
  });
  for (const auto& [widget, bounds] : {std::pair<QWidget*, Bounds>{Frame3, layout_.frame3},
                                       {Text1, layout_.text1},
                                       {Command2, layout_.command2},
                                       {Command4, layout_.command4},
                                       {Frame5, layout_.frame5},
                                       {Command3, layout_.command3},
                                       {Text2, layout_.text2},
                                       {Label1, layout_.label1},
                                       {ListView1, layout_.listView1},
                                       {Command1, layout_.command1},
                                       {Option1, layout_.option1},
                                       {Option2, layout_.option2},
                                       {Option3, layout_.option3},
                                       {Option4, layout_.option4}}) {
    Place(widget, bounds);
  }

  // Each dialog opens where it was last used, the user's home at first.
  Cd1 = [this] {
    const QString path = QFileDialog::getOpenFileName(this, "Import", DialogFolder(lastImport_),
                                                      "FASTA files (*.fa *.fasta *.fna *.txt *.fa.gz *.fasta.gz "
                                                      "*.fna.gz);;PITA prediction file(*.tab) (*.tab);;All Files (*)");
    if (!path.isEmpty()) lastImport_ = path;
    return path;
  };
  Cd2 = [this] {
    const QString path =
        SaveFileName("Save All", lastSave_.isEmpty() ? DialogFolder(lastSave_) + "/result.xls" : lastSave_,
                     "Result files (*.xls);;All Files (*)");
    if (!path.isEmpty()) lastSave_ = path;
    return path;
  };
  Cd4 = [this] {
    const ReferenceCollection shown =
        reference_.empty() ? ReferenceCollection::Installed(home_) : ReferenceCollection{reference_};
    return QFileDialog::getExistingDirectory(this, "Reference collection",
                                             QString::fromStdString(shown.folder.string()));
  };
  Cd3 = [this] {
    const QString path =
        SaveFileName("Save Chart", lastChart_.isEmpty() ? DialogFolder(lastSave_) + "/chart.svg" : lastChart_,
                     "SVG picture (*.svg);;PNG image (*.png);;PDF document (*.pdf)");
    if (!path.isEmpty()) lastChart_ = path;
    return path;
  };

  connect(Text1, &QPlainTextEdit::textChanged, this, [this] { Text1_Change(); });
  connect(Command1, &QPushButton::clicked, this, [this] { Guarded([this] { Command1_Click(); }); });
  connect(Command2, &QPushButton::clicked, this, [this] { Guarded([this] { Command2_Click(); }); });
  connect(Command3, &QPushButton::clicked, this, [this] {
    if (!command3Changed_.isValid() || command3Changed_.elapsed() >= kPredictStopGuardMs) {
      Guarded([this] { Command3_Click(); });
    }
  });
  connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
  connect(SaveChart, &QPushButton::clicked, this, [this] { Guarded([this] { SaveChart_Click(); }); });
  connect(ViewChart, &QPushButton::toggled, this, [this](bool on) { Guarded([this, on] { ShowChart(on); }); });
  connect(ListView1, &QTableWidget::itemSelectionChanged, this, [this] { ShowEvidence(); });
  connect(ListView1->horizontalHeader(), &QHeaderView::sectionClicked, this,
          [this](int section) { Guarded([this, section] { ListView1_ColumnClick(section + 1); }); });
  Text1->installEventFilter(this);
  ListView1->installEventFilter(this);
  ChartView->widget()->installEventFilter(this);
  workspaceWatcher_ = new QFileSystemWatcher(this);
  // Another run (the command line's) may make or remove the result file.
  connect(workspaceWatcher_, &QFileSystemWatcher::directoryChanged, this, [this] { EnableResultCommands(); });

  Form_Load();
  setMinimumSize(static_cast<int>(std::ceil(kMinimumClientWidth / kTwipsPerPixel)),
                 static_cast<int>(std::ceil(kMinimumClientHeight / kTwipsPerPixel)));
  resize(ToPixels(kInitialClientWidth), ToPixels(kInitialClientHeight));
}

void Form1::Form_Load() {
  ListViewSET();
  TextTip(Text1, true, kInputHint);
  try {
    factorials_ = LoadFactorialTable(paths::In(home_, paths::kFactorials));
  } catch (const RunFailure& failure) {
    factorialProblem_ = failure.what();
  }
  Text2->setPlainText("Log:\n");
  CheckInstallation();
  UseKeptCollection();
  WatchWorkspace();
  EnableResultCommands();  // the last run's result, if it is there
  ShowEvidence();
}

QString Form1::DialogFolder(const QString& lastPath) const {
  return lastPath.isEmpty() ? QDir::homePath() : QFileInfo(lastPath).absolutePath();
}

// The save dialog: a name without an extension gets that of the chosen
// format, or of the first format when "All Files" is chosen.
QString Form1::SaveFileName(const QString& title, const QString& start, const QString& filters) {
  QFileDialog dialog(this, title, start, filters);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  auto useExtensionOf = [&dialog](const QString& filter) {
    const QRegularExpressionMatch pattern = QRegularExpression(R"(\*\.(\w+))").match(filter);
    if (pattern.hasMatch()) dialog.setDefaultSuffix(pattern.captured(1));
  };
  useExtensionOf(filters);
  connect(&dialog, &QFileDialog::filterSelected, &dialog, useExtensionOf);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

// The workspace once it is there (a run makes it).
void Form1::WatchWorkspace() {
  const QString workspace = QString::fromStdString(DefaultWorkspace(home_).string());
  if (!workspaceWatcher_->directories().contains(workspace) && QFileInfo(workspace).isDir()) {
    workspaceWatcher_->addPath(workspace);
  }
}

// The checked button of the group is its one Tab stop.
void Form1::KeepOneTabStop(std::initializer_list<QAbstractButton*> group) {
  const std::vector<QAbstractButton*> buttons(group);
  auto update = [buttons] {
    for (QAbstractButton* button : buttons)
      button->setFocusPolicy(button->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
  };
  for (QAbstractButton* button : buttons) connect(button, &QAbstractButton::toggled, this, update);
  update();
}

// Every file a run of any option needs, so that a missing one is known
// before Predict; each is logged on its own line.
void Form1::CheckInstallation() {
  const RunRequirements needs = PredictRequirements(PredictionOption::BothUnion);
  auto logged = [this](const std::function<void()>& check) {
    try {
      check();
    } catch (const RunFailure& failure) {
      Log(failure.what());
    }
  };
  for (std::string_view relative : needs.data) logged([&] { RequireFiles(home_, {relative}); });
  for (std::string_view relative : needs.programs) logged([&] { RequirePrograms(home_, {relative}); });
  if (!factorialProblem_.empty() && std::filesystem::exists(paths::In(home_, paths::kFactorials))) {
    Log(factorialProblem_);
  }
}

// Through the runs' queue, so that a line of the window's own never
// overtakes one a run made before it.
void Form1::Log(const std::string& message) { AppendLogLine(frontend_, message); }

// An exception must not leave an event handler: Qt would end the program.
void Form1::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    Log(std::string("The command failed: ") + error.what());
  }
}

void Form1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Form_Resize();
}

void Form1::Form_Resize() {
  velmora::Form_Resize(layout_, static_cast<float>(width()) * kTwipsPerPixel,
                       static_cast<float>(height()) * kTwipsPerPixel);
  PlaceAddedControls(layout_);
  Place(Frame3, layout_.frame3);
  Place(Text1, layout_.text1);
  Place(Command2, layout_.command2);
  Place(Command4, layout_.command4);
  Place(Frame5, layout_.frame5);
  Place(Command3, layout_.command3);
  Place(Text2, layout_.text2);
  Place(Label1, layout_.label1);
  Place(ListView1, layout_.listView1);
  Place(Command1, layout_.command1);
  Place(Option1, layout_.option1);
  Place(Option2, layout_.option2);
  Place(Option3, layout_.option3);
  Place(Option4, layout_.option4);
  Place(EvidenceLine, layout_.evidence);
  Bounds chart = layout_.listView1;  // the chart takes the evidence line's place too
  chart.height = layout_.evidence.top + layout_.evidence.height - chart.top;
  Place(ChartView, chart);
  Place(ViewList, layout_.viewList);
  Place(ViewChart, layout_.viewChart);
  Place(SaveChart, layout_.saveChart);
  PlaceProgressBar();
  ListViewSub();
  ShowEvidence();  // fitted to the new width
  RefreshChart();  // fitted to the new width
}

// Right of the reference-data text, left of Exit, on Exit's line: as wide as
// the text leaves room for, up to 300 pixels.
void Form1::PlaceProgressBar() {
  const QRect exit = Command4->geometry();
  const int text = Label1->fontMetrics().boundingRect(QRect(0, 0, 10000, 10000), 0, Label1->text()).width();
  const int right = exit.left() - 8, left = std::max(Label1->x() + text + 12, right - 300);
  ProgressBar1->setGeometry(left, exit.top(), std::max(0, right - left), exit.height());
}

// While a run goes, Predict reads "Stop" and stays enabled.
void Form1::Text1_Change() {
  const QString text = Text1->toPlainText();
  Command3->setEnabled(running_ ? !stopRequested_ : !text.isEmpty() && text != kInputHint);
}

void Form1::Text1_FocusChange() { TextTip(Text1, Text1->toPlainText().isEmpty(), kInputHint); }

void Form1::TextTip(QPlainTextEdit* objText, bool StatusToBlank, const QString& strWord) {
  if (StatusToBlank) {
    objText->setPlainText(strWord);
    SetTextColour(objText, kHintColour);
    if (!running_) Command3->setEnabled(false);  // Stop stays
    return;
  }
  if (objText->toPlainText() == strWord) objText->setPlainText("");
  SetTextColour(objText, Qt::black);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Text1 && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
    Text1_FocusChange();
  }
  if (watched == Text1 && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Tab && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
      Text1->insertPlainText("\t");
      return true;
    }
  }
  if (watched == Label1 && event->type() == QEvent::MouseButtonRelease) {
    Guarded([this] { ChooseCollection(); });
    return true;
  }
  if (watched == ChartView->widget() && event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    ShowChartLabel(help->pos(), help->globalPos());
    return true;
  }
  if (watched == ListView1 && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const auto modifiers = key->modifiers() & ~Qt::KeypadModifier;
    const int shift = (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
                      (modifiers & Qt::AltModifier ? 4 : 0) | (modifiers & Qt::MetaModifier ? 8 : 0);
    const int keyCode = key->key() == Qt::Key_Delete ? 46 : key->key();
    if (ListView1_KeyDown(keyCode, shift)) return true;
  }
  return QWidget::eventFilter(watched, event);
}

// Form_KeyDown: Ctrl+A selects every row wherever the focus is, unless the
// focused control used the key itself.
void Form1::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_A && (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
    SelectAllRows();
    return;
  }
  QWidget::keyPressEvent(event);
}

void Form1::Command4_Click() { close(); }

void Form1::closeEvent(QCloseEvent* event) {
  // Whatever the run is doing, it stops (a predictor is ended) before the
  // window goes, and leaves no half-written file under a final name.
  if (run_.joinable()) {
    run_.request_stop();
    run_.join();
    running_ = false;
  }
  event->accept();
}

PredictionOption Form1::SelectedOption() const {
  if (Option2->isChecked()) return PredictionOption::MirandaOnly;
  if (Option3->isChecked()) return PredictionOption::BothUnion;
  if (Option4->isChecked()) return PredictionOption::BothIntersection;
  return PredictionOption::TargetScanOnly;
}

}  // namespace velmora
