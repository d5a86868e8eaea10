// Summaries of samples and the latency plot of a benchmark run.

#ifndef KORVEL_BENCH_REPORT_H_
#define KORVEL_BENCH_REPORT_H_

#include <map>
#include <string>
#include <vector>

namespace bench {

struct Stats {
  int n = 0;
  double median = 0;
  double p90 = 0;
  double p99 = 0;
  double mean = 0;
};

// Nearest-rank quantiles, as the pages compute theirs.
Stats Summarize(std::vector<double> samples);

// One labelled series of the plot.
struct Series {
  std::string label;
  std::vector<double> values;
};

// Writes an SVG with two panels: every start-up time of each scenario
// (dots and the median of each program side by side), and the cumulative
// distribution of each bridge call's latency on a logarithmic axis.
bool WriteSvg(
    const std::string& path,
    const std::vector<std::pair<std::string, std::vector<Series>>>& startups,
    const std::vector<Series>& latencies);

}  // namespace bench

#endif  // KORVEL_BENCH_REPORT_H_
