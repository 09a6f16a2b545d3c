#include "cli/chart_command.h"

#include <iostream>

#include "chart/dot_plot.h"
#include "cli/workspace_rule.h"
#include "core/installation.h"
#include "core/paths.h"
#include "core/run_failure.h"

namespace velmora::cli {

CLI::App* AddChartCommand(CLI::App& app, ChartOptions& options) {
  CLI::App* chart = app.add_subcommand(
      "chart", "Draw the result of the last run as a dot plot: diseases against lncRNAs, size a, colour -log10 P");
  chart->add_option("--home", options.home, "Installation folder")->default_str("the program's folder");
  chart->add_option("--workdir", options.workdir, "Workspace folder whose result.xls is drawn")
      ->default_str(kDefaultWorkdir);
  chart->add_option("--top", options.top, "How many diseases, those with the smallest P-values")
      ->check(CLI::PositiveNumber)
      ->capture_default_str();
  chart->add_option("--output", options.output, "The picture to write: FILE.svg, FILE.png or FILE.pdf")->required();
  return chart;
}

int Chart(const ChartOptions& options) {
  const std::filesystem::path workspace =
      options.workdir.empty() ? DefaultWorkspace(options.home) : std::filesystem::path(options.workdir);
  try {
    const ChartData data = TopDiseases(ReadResultPoints(workspace / paths::kResult), options.top);
    WriteChart(data, options.output);
    std::cerr << data.dots.size() << " associations of " << data.diseases.size() << " diseases and " << data.lncs.size()
              << " lncRNAs drawn in " << options.output << "\n";
    return 0;
  } catch (const RunFailure& failure) {
    std::cerr << failure.what() << "\n";
    return 1;
  }
}

}  // namespace velmora::cli
