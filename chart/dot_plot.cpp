#include "chart/dot_plot.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <optional>
#include <string>

#include "core/output_file.h"
#include "core/run_failure.h"
#include "core/text.h"

namespace velmora {
namespace {

constexpr double kCell = 24;         // one disease row, one lncRNA column
constexpr double kMaxRadius = 10.5;  // the dot of the largest a
constexpr double kMinRadius = 2.5;
constexpr double kLabelSize = 11;
constexpr double kTitleSize = 14;
constexpr double kPad = 14;
constexpr double kLegendWidth = 150;
constexpr double kSlant = std::numbers::sqrt2 / 2;  // lncRNA names run at 45 degrees
constexpr double kMaxLabelWidth = 200;              // a longer name is cut, on either axis
constexpr char kEllipsis[] = "\u2026";

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

void Font(cairo_t* cr, double size, bool bold = false) {
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
}

double TextWidth(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  return extents.x_advance;
}

// The name, or its longest beginning that fits kMaxLabelWidth with "…",
// cut between UTF-8 characters.
std::string FitLabel(cairo_t* cr, const std::string& name) {
  if (TextWidth(cr, name) <= kMaxLabelWidth) return name;
  auto cut = [&](std::size_t length) {
    while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) --length;
    return name.substr(0, length) + kEllipsis;
  };
  std::size_t fits = 0, fails = name.size();  // cut(fits) fits; cut(fails) does not
  while (fails - fits > 1) {
    const std::size_t middle = fits + (fails - fits) / 2;
    (TextWidth(cr, cut(middle)) <= kMaxLabelWidth ? fits : fails) = middle;
  }
  return cut(fits);
}

double Score(double p) { return -std::log10(std::max(p, 1e-300)); }

// A perceptually even ramp from dark violet (weak) to yellow (strong).
void Ramp(cairo_t* cr, double t) {
  static constexpr std::array<std::array<double, 3>, 5> kStops = {
      {{68, 1, 84}, {59, 82, 139}, {33, 145, 140}, {94, 201, 98}, {253, 231, 37}}};
  t = std::clamp(t, 0.0, 1.0) * (kStops.size() - 1);
  const std::size_t i = std::min<std::size_t>(static_cast<std::size_t>(t), kStops.size() - 2);
  const double f = t - static_cast<double>(i);
  auto mix = [&](int c) { return (kStops[i][c] * (1 - f) + kStops[i + 1][c] * f) / 255; };
  cairo_set_source_rgb(cr, mix(0), mix(1), mix(2));
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, value >= 10 ? "%.0f" : "%.1f", value);
  return text;
}

// Everything the drawing, the size and the label look-up share: the labels
// as drawn, margins from their widths, the range of a and of -log10 P.
struct Geometry {
  std::vector<std::string> diseaseLabels, lncLabels;
  double left, top, plotWidth, plotHeight, bottom, width, height;
  int maxA;
  double lowScore, highScore;
};

Geometry Measure(cairo_t* cr, const ChartData& data) {
  Geometry g{};
  Font(cr, kLabelSize);
  double diseaseWidth = 0, lncWidth = 0;
  for (const std::string& name : data.diseases) {
    g.diseaseLabels.push_back(FitLabel(cr, name));
    diseaseWidth = std::max(diseaseWidth, TextWidth(cr, g.diseaseLabels.back()));
  }
  for (const std::string& name : data.lncs) {
    g.lncLabels.push_back(FitLabel(cr, name));
    lncWidth = std::max(lncWidth, TextWidth(cr, g.lncLabels.back()));
  }
  g.plotWidth = kCell * static_cast<double>(data.lncs.size());
  g.plotHeight = kCell * static_cast<double>(data.diseases.size());
  // The first slanted name reaches left of its column.
  g.left = std::max(kPad + 20 + diseaseWidth + 8, lncWidth * kSlant - kCell / 2 + kPad);
  g.top = kPad + kTitleSize + 18;
  g.bottom = lncWidth * kSlant + 12 + 28;
  g.width = g.left + g.plotWidth + 24 + kLegendWidth + kPad;
  g.height = std::max(g.top + g.plotHeight + g.bottom, g.top + 250);
  g.maxA = 1;
  g.lowScore = INFINITY;
  g.highScore = -INFINITY;
  for (const ChartData::Dot& dot : data.dots) {
    g.maxA = std::max(g.maxA, dot.a);
    g.lowScore = std::min(g.lowScore, Score(dot.p));
    g.highScore = std::max(g.highScore, Score(dot.p));
  }
  if (!(g.highScore > g.lowScore)) {
    g.lowScore = data.dots.empty() ? 0 : g.lowScore - 0.5;
    g.highScore = g.lowScore + 1;
  }
  return g;
}

double Radius(const Geometry& g, int a) {
  return std::max(kMinRadius, kMaxRadius * std::sqrt(static_cast<double>(a) / g.maxA));
}

void Text(cairo_t* cr, double x, double y, const std::string& text) {
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, text.c_str());
}

void DrawGrid(cairo_t* cr, const ChartData& data, const Geometry& g) {
  cairo_set_source_rgb(cr, 0.9, 0.9, 0.9);
  cairo_set_line_width(cr, 1);
  for (std::size_t k = 0; k < data.diseases.size(); ++k) {
    const double y = g.top + kCell * (static_cast<double>(k) + 0.5);
    cairo_move_to(cr, g.left, y);
    cairo_line_to(cr, g.left + g.plotWidth, y);
  }
  for (std::size_t l = 0; l < data.lncs.size(); ++l) {
    const double x = g.left + kCell * (static_cast<double>(l) + 0.5);
    cairo_move_to(cr, x, g.top);
    cairo_line_to(cr, x, g.top + g.plotHeight);
  }
  cairo_stroke(cr);
  cairo_set_source_rgb(cr, 0.55, 0.55, 0.55);
  cairo_rectangle(cr, g.left, g.top, g.plotWidth, g.plotHeight);
  cairo_stroke(cr);
}

// Where lncRNA l's name ends: below its column; the name runs down to the left.
double LncLabelX(const Geometry& g, std::size_t l) { return g.left + kCell * (static_cast<double>(l) + 0.5) + 4; }
double LncLabelY(const Geometry& g) { return g.top + g.plotHeight + 8; }

void DrawLabels(cairo_t* cr, const ChartData& data, const Geometry& g) {
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  Font(cr, kLabelSize);
  for (std::size_t k = 0; k < g.diseaseLabels.size(); ++k) {
    const double y = g.top + kCell * (static_cast<double>(k) + 0.5) + kLabelSize * 0.35;
    Text(cr, g.left - 8 - TextWidth(cr, g.diseaseLabels[k]), y, g.diseaseLabels[k]);
  }
  for (std::size_t l = 0; l < g.lncLabels.size(); ++l) {
    cairo_save(cr);
    cairo_translate(cr, LncLabelX(g, l), LncLabelY(g));
    cairo_rotate(cr, -std::numbers::pi / 4);
    Text(cr, -TextWidth(cr, g.lncLabels[l]), kLabelSize * 0.35, g.lncLabels[l]);
    cairo_restore(cr);
  }
  Font(cr, kLabelSize + 1, true);
  Text(cr, g.left + g.plotWidth / 2 - TextWidth(cr, "lncRNA") / 2, g.top + g.plotHeight + g.bottom - 10, "lncRNA");
  cairo_save(cr);
  cairo_translate(cr, kPad + 12, g.top + g.plotHeight / 2 + TextWidth(cr, "Disease") / 2);
  cairo_rotate(cr, -std::numbers::pi / 2);
  Text(cr, 0, 0, "Disease");
  cairo_restore(cr);
  Font(cr, kTitleSize, true);
  const std::string title = "The " + std::to_string(data.diseases.size()) +
                            (data.diseases.size() == 1 ? " disease" : " diseases") +
                            " with the smallest P-values, by lncRNA";
  Text(cr, kPad, kPad + kTitleSize, title);
}

void DrawDots(cairo_t* cr, const ChartData& data, const Geometry& g) {
  for (const ChartData::Dot& dot : data.dots) {
    const double x = g.left + kCell * (static_cast<double>(dot.lnc) + 0.5);
    const double y = g.top + kCell * (static_cast<double>(dot.disease) + 0.5);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, Radius(g, dot.a), 0, 2 * std::numbers::pi);
    Ramp(cr, (Score(dot.p) - g.lowScore) / (g.highScore - g.lowScore));
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
  }
}

void DrawLegends(cairo_t* cr, const Geometry& g) {
  const double x = g.left + g.plotWidth + 24;
  double y = g.top + 4;
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  Font(cr, kLabelSize, true);
  Text(cr, x, y + kLabelSize, "Shared miRNAs (a)");
  y += kLabelSize + 10;
  Font(cr, kLabelSize);
  std::vector<int> sizes = {1, g.maxA - g.maxA / 2, g.maxA};  // the middle one rounded up, without overflow
  sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
  for (int a : sizes) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + kMaxRadius, y + kMaxRadius, Radius(g, a), 0, 2 * std::numbers::pi);
    cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    Text(cr, x + 2 * kMaxRadius + 8, y + kMaxRadius + kLabelSize * 0.35, std::to_string(a));
    y += 2 * kMaxRadius + 4;
  }

  y += 14;
  Font(cr, kLabelSize, true);
  Text(cr, x, y + kLabelSize, "-log10 P");
  y += kLabelSize + 10;
  constexpr double kBarHeight = 110, kBarWidth = 16;
  for (int i = 0; i < static_cast<int>(kBarHeight); ++i) {  // strongest at the top
    Ramp(cr, 1 - i / kBarHeight);
    cairo_rectangle(cr, x, y + i, kBarWidth, 1.5);
    cairo_fill(cr);
  }
  Font(cr, kLabelSize);
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  for (int tick = 0; tick <= 2; ++tick) {
    const double score = g.highScore - (g.highScore - g.lowScore) * tick / 2;
    Text(cr, x + kBarWidth + 6, y + kBarHeight * tick / 2 + kLabelSize * 0.35, Number(score));
  }
}

// A Cairo surface writes through this into an output file.
struct StreamTarget {
  OutputFile file;
  std::optional<RunFailure> failure;
};

cairo_status_t WriteToFile(void* closure, const unsigned char* data, unsigned int length) {
  auto* target = static_cast<StreamTarget*>(closure);
  try {
    target->file.Write(std::string_view(reinterpret_cast<const char*>(data), length));
    return CAIRO_STATUS_SUCCESS;
  } catch (const RunFailure& failure) {
    target->failure = failure;
    return CAIRO_STATUS_WRITE_ERROR;
  }
}

void Finish(cairo_surface_t* surface, StreamTarget& target, const std::filesystem::path& file) {
  cairo_surface_finish(surface);
  if (target.failure) throw *target.failure;
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    throw RunFailure(file.string() +
                     ": cannot write the chart: " + cairo_status_to_string(cairo_surface_status(surface)));
  }
  target.file.Close();
}

// A context for measuring text only.
Context Measuring() {
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1), cairo_surface_destroy);
  return Context(cairo_create(surface.get()), cairo_destroy);  // the context keeps the surface
}

}  // namespace

ChartSize MeasureChart(const ChartData& data) {
  if (data.dots.empty()) return {420, 120};
  const Geometry g = Measure(Measuring().get(), data);
  return {std::ceil(g.width), std::ceil(g.height)};
}

std::string ChartLabel(const std::string& name) {
  const Context cr = Measuring();
  Font(cr.get(), kLabelSize);
  return FitLabel(cr.get(), name);
}

std::optional<std::string> LabelAt(const ChartData& data, double x, double y) {
  if (data.dots.empty()) return std::nullopt;
  const Context cr = Measuring();
  const Geometry g = Measure(cr.get(), data);
  Font(cr.get(), kLabelSize);
  // A disease's label: its row, left of the plot, as far as the text reaches.
  const double row = std::floor((y - g.top) / kCell);
  if (x <= g.left - 8 && row >= 0 && row < static_cast<double>(data.diseases.size())) {
    const auto k = static_cast<std::size_t>(row);
    if (x >= g.left - 8 - TextWidth(cr.get(), g.diseaseLabels[k])) return data.diseases[k];
  }
  // An lncRNA's label: along its slanted line (u back from where it ends),
  // half a column's spacing to either side (v).
  for (std::size_t l = 0; l < data.lncs.size(); ++l) {
    const double dx = x - LncLabelX(g, l), dy = y - LncLabelY(g);
    const double u = (dx - dy) * kSlant, v = (dx + dy) * kSlant;
    if (u <= 0 && u >= -TextWidth(cr.get(), g.lncLabels[l]) && std::abs(v) <= kCell * kSlant / 2) return data.lncs[l];
  }
  return std::nullopt;
}

void DrawChart(cairo_t* cr, const ChartData& data) {
  const ChartSize size = MeasureChart(data);
  cairo_save(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_rectangle(cr, 0, 0, size.width, size.height);
  cairo_fill(cr);
  if (data.dots.empty()) {
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
    Font(cr, kTitleSize);
    Text(cr, kPad, size.height / 2, "No associations to draw");
  } else {
    const Geometry g = Measure(cr, data);
    DrawGrid(cr, data, g);
    DrawDots(cr, data, g);
    DrawLabels(cr, data, g);
    DrawLegends(cr, g);
  }
  cairo_restore(cr);
}

ChartImage RenderChart(const ChartData& data, double scale) {
  const ChartSize size = MeasureChart(data);
  ChartImage image;
  image.width = static_cast<int>(std::ceil(size.width * scale));
  image.height = static_cast<int>(std::ceil(size.height * scale));
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height), cairo_surface_destroy);
  {
    Context cr(cairo_create(surface.get()), cairo_destroy);
    cairo_scale(cr.get(), scale, scale);
    DrawChart(cr.get(), data);
  }
  cairo_surface_flush(surface.get());
  image.stride = cairo_image_surface_get_stride(surface.get());
  const unsigned char* pixels = cairo_image_surface_get_data(surface.get());
  image.pixels.assign(pixels, pixels + static_cast<std::size_t>(image.stride) * image.height);
  return image;
}

void WriteChart(const ChartData& data, const std::filesystem::path& file) {
  const std::string extension = LowerCase(file.extension().string());
  const ChartSize size = MeasureChart(data);
  StreamTarget target{OutputFile(file), std::nullopt};
  if (extension == ".svg" || extension == ".pdf") {
    Surface surface(extension == ".svg"
                        ? cairo_svg_surface_create_for_stream(WriteToFile, &target, size.width, size.height)
                        : cairo_pdf_surface_create_for_stream(WriteToFile, &target, size.width, size.height),
                    cairo_surface_destroy);
    {
      Context cr(cairo_create(surface.get()), cairo_destroy);
      DrawChart(cr.get(), data);
    }
    return Finish(surface.get(), target, file);
  }
  if (extension == ".png") {
    constexpr double kPngScale = 2;
    const ChartImage image = RenderChart(data, kPngScale);
    Surface surface(cairo_image_surface_create_for_data(const_cast<unsigned char*>(image.pixels.data()),
                                                        CAIRO_FORMAT_ARGB32, image.width, image.height, image.stride),
                    cairo_surface_destroy);
    if (cairo_surface_write_to_png_stream(surface.get(), WriteToFile, &target) != CAIRO_STATUS_SUCCESS &&
        !target.failure) {
      throw RunFailure(file.string() + ": cannot write the chart");
    }
    return Finish(surface.get(), target, file);
  }
  throw RunFailure(file.string() + ": the chart is written as .svg, .png or .pdf");
}

}  // namespace velmora
