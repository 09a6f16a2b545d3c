#pragma once

// velmora-cli chart: draws a run's result.xls as a dot plot.

#include <CLI/CLI.hpp>
#include <string>

#include "chart/chart_data.h"

namespace velmora::cli {

struct ChartOptions {
  std::string home;     // the installation folder
  std::string workdir;  // the workspace whose result.xls is drawn; empty: DefaultWorkspace(home)
  int top = kDefaultTopDiseases;
  std::string output;  // .svg, .png or .pdf
};

// Adds the subcommand and its options to `app`.
CLI::App* AddChartCommand(CLI::App& app, ChartOptions& options);

// 0 when the chart was written, 1 (with one line on standard error) when not.
int Chart(const ChartOptions& options);

}  // namespace velmora::cli
