#pragma once

#include <cairo.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "chart/chart_data.h"

namespace velmora {

// The chart's size in Cairo units (pixels at scale 1) for its data.
struct ChartSize {
  double width, height;
};
ChartSize MeasureChart(const ChartData& data);

// Draws the chart with its top left corner at the context's origin: the dot
// grid (size = shared miRNAs a, colour = -log10 P), axis labels, a size and a
// colour legend; "No associations to draw" for an empty chart. A name wider
// than the label room is cut with "…" (ChartLabel), on either axis, so long
// names do not change the plot's proportions.
void DrawChart(cairo_t* cr, const ChartData& data);

// A disease's or lncRNA's name as its label shows it.
std::string ChartLabel(const std::string& name);

// The full name whose label covers the point (x, y) of the chart (in its
// units), if any: what a cut label stands for.
std::optional<std::string> LabelAt(const ChartData& data, double x, double y);

// The chart as premultiplied ARGB32 pixels (Cairo's own layout), drawn at
// `scale` device pixels per unit.
struct ChartImage {
  int width = 0, height = 0, stride = 0;
  std::vector<unsigned char> pixels;
};
ChartImage RenderChart(const ChartData& data, double scale = 1);

// Writes the chart as SVG, PNG (at twice the size, for sharp text) or PDF,
// by the file's extension. An unknown extension or a failed write throws
// RunFailure naming the file; a failed write leaves no file behind.
void WriteChart(const ChartData& data, const std::filesystem::path& file);

}  // namespace velmora
