#pragma once

// The result as a picture: a dot plot of the diseases with the smallest
// P-values against the lncRNAs, drawn with Cairo (no display needed).
//
// chart_data.h  ChartData, ReadResultPoints, TopDiseases: result.xls -> what the plot shows
// dot_plot.h    DrawChart, RenderChart, WriteChart: the one drawing routine and its outputs

#include "chart/chart_data.h"
#include "chart/dot_plot.h"
