// The "Chart" view of the results frame: the dot plot of the last result,
// drawn by the same routine as velmora-cli chart, and its Save Chart command.

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTableWidget>
#include <QToolTip>
#include <algorithm>

#include "app/form1.h"
#include "chart/chart.h"
#include "core/installation.h"
#include "core/paths.h"
#include "core/run_failure.h"

namespace velmora {
namespace {

constexpr double kSmallestChartScale = 0.6;

}  // namespace

void Form1::ShowChart(bool chart) {
  ViewChart->setChecked(chart);
  ViewList->setChecked(!chart);
  ListView1->setVisible(!chart);
  EvidenceLine->setVisible(!chart);
  ChartView->setVisible(chart);
  if (chart) RefreshChart();
}

// Drawn anew whenever it is shown or a run ends, from the result file, so
// that it never shows rows of an incomplete run.
void Form1::RefreshChart() {
  if (!ChartView->isVisible()) return;
  auto* picture = static_cast<QLabel*>(ChartView->widget());
  chartData_ = {};
  auto say = [picture](const QString& text) {
    picture->setPixmap({});
    picture->setText(text);
    picture->adjustSize();
  };
  const std::filesystem::path result = DefaultWorkspace(home_) / paths::kResult;
  std::error_code error;
  if (running_ || !std::filesystem::is_regular_file(result, error)) {
    return say(running_ ? "The chart is drawn when the run is complete." : "No result to draw yet.");
  }
  ChartData data;
  try {
    data = TopDiseases(ReadResultPoints(result));
  } catch (const RunFailure& failure) {  // said where the chart would be: this may run inside a resize
    return say(failure.what());
  }
  // As wide as the view, so that only the rows scroll; a chart of many
  // lncRNAs is not shrunk below legibility but scrolls sideways too.
  const int room =
      ChartView->width() - 2 * ChartView->frameWidth() - ChartView->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const double fit = std::clamp(room / MeasureChart(data).width, kSmallestChartScale, 1.0);
  const qreal pixelRatio = devicePixelRatioF();
  const ChartImage image = RenderChart(data, fit * pixelRatio);
  chartData_ = std::move(data);
  chartScale_ = fit;
  // Cairo's ARGB32 is Qt's premultiplied ARGB32 word for word.
  QImage pixels(image.pixels.data(), image.width, image.height, image.stride, QImage::Format_ARGB32_Premultiplied);
  QPixmap pixmap = QPixmap::fromImage(pixels.copy());
  pixmap.setDevicePixelRatio(pixelRatio);
  picture->setPixmap(pixmap);
  picture->adjustSize();
}

// A label's full name, for a label cut short.
void Form1::ShowChartLabel(const QPoint& at, const QPoint& globalAt) {
  const auto name = LabelAt(chartData_, at.x() / chartScale_, at.y() / chartScale_);
  if (name) {
    QToolTip::showText(globalAt, QString::fromStdString(*name), ChartView->widget());
  } else {
    QToolTip::hideText();
  }
}

void Form1::SaveChart_Click() {
  if (running_) return;
  const QString chosen = Cd3();
  if (chosen.isEmpty()) return;
  try {
    const ChartData data = TopDiseases(ReadResultPoints(DefaultWorkspace(home_) / paths::kResult));
    WriteChart(data, chosen.toStdString());
    Log("Chart saved to: " + chosen.toStdString());
  } catch (const RunFailure& failure) {
    Log(std::string("Save Chart failed: ") + failure.what());
  }
}

}  // namespace velmora
