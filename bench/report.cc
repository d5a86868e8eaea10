#include "bench/report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <sstream>

namespace bench {

namespace {

const char* const kColours[] = {"#1f77b4", "#d62728", "#2ca02c",
                                "#ff7f0e", "#9467bd", "#8c564b"};

std::string Num(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

}  // namespace

Stats Summarize(std::vector<double> samples) {
  Stats stats;
  stats.n = static_cast<int>(samples.size());
  if (samples.empty()) {
    return stats;
  }
  std::sort(samples.begin(), samples.end());
  auto at = [&](double q) {
    const size_t i = static_cast<size_t>(std::floor(samples.size() * q));
    return samples[std::min(samples.size() - 1, i)];
  };
  stats.median = at(0.5);
  stats.p90 = at(0.9);
  stats.p99 = at(0.99);
  stats.mean =
      std::accumulate(samples.begin(), samples.end(), 0.0) / samples.size();
  return stats;
}

bool WriteSvg(
    const std::string& path,
    const std::vector<std::pair<std::string, std::vector<Series>>>& startups,
    const std::vector<Series>& latencies) {
  const int width = 960, panel = 360, top = 40, left = 70;
  std::ostringstream svg;
  svg << "<svg xmlns='http://www.w3.org/2000/svg' width='" << width
      << "' height='" << 2 * panel + 3 * top
      << "' font-family='sans-serif' font-size='12'>\n"
      << "<rect width='100%' height='100%' fill='white'/>\n";

  // Panel 1: start-up times, one column per program and scenario.
  double most = 1;
  size_t columns = 0;
  for (const auto& [name, series] : startups) {
    for (const Series& s : series) {
      for (double v : s.values) {
        most = std::max(most, v);
      }
      ++columns;
    }
  }
  const double yScale = (panel - 40) / (most * 1.1);
  const int plotWidth = width - left - 20;
  svg << "<text x='" << left << "' y='24' font-size='14'>Start-up: exec to "
      << "the application drawn (ms), every run; bar = median</text>\n";
  const int y0 = top + panel - 20;
  svg << "<line x1='" << left << "' y1='" << y0 << "' x2='" << width - 20
      << "' y2='" << y0 << "' stroke='black'/>\n";
  for (int tick = 0; tick <= 5; ++tick) {
    const double value = most * 1.1 * tick / 5;
    const double y = y0 - value * yScale;
    svg << "<text x='" << left - 6 << "' y='" << y + 4 << "' text-anchor='end'>"
        << Num(value) << "</text>\n"
        << "<line x1='" << left << "' y1='" << y << "' x2='" << width - 20
        << "' y2='" << y << "' stroke='#ddd'/>\n";
  }
  size_t column = 0;
  for (const auto& [name, series] : startups) {
    for (size_t i = 0; i < series.size(); ++i, ++column) {
      const double x = left + plotWidth * (column + 0.5) / columns;
      const char* colour = kColours[i % 6];
      for (size_t k = 0; k < series[i].values.size(); ++k) {
        const double jitter = (static_cast<double>(k % 7) - 3) * 3;
        svg << "<circle cx='" << x + jitter << "' cy='"
            << y0 - series[i].values[k] * yScale << "' r='3' fill='" << colour
            << "' fill-opacity='0.6'/>\n";
      }
      const double median = Summarize(series[i].values).median;
      svg << "<line x1='" << x - 18 << "' x2='" << x + 18 << "' y1='"
          << y0 - median * yScale << "' y2='" << y0 - median * yScale
          << "' stroke='black' stroke-width='2'/>\n"
          << "<text x='" << x << "' y='" << y0 + 14 << "' text-anchor='middle'>"
          << series[i].label << "</text>\n";
      if (i == 0) {
        const double groupX =
            left + plotWidth * (column + series.size() / 2.0) / columns;
        svg << "<text x='" << groupX << "' y='" << y0 + 28
            << "' text-anchor='middle' font-weight='bold'>" << name
            << "</text>\n";
      }
    }
  }

  // Panel 2: latency distributions, log x from 0.01 ms to the largest.
  const int p2top = top + panel + top;
  const int p2y0 = p2top + panel - 40;
  double lo = 0.05, hi = 1;
  for (const Series& s : latencies) {
    for (double v : s.values) {
      hi = std::max(hi, v);
    }
  }
  const double logLo = std::log10(lo), logHi = std::log10(hi * 1.2);
  auto xOf = [&](double v) {
    const double clamped = std::max(v, lo);
    return left + plotWidth * (std::log10(clamped) - logLo) / (logHi - logLo);
  };
  const double yHeight = panel - 60;
  svg << "<text x='" << left << "' y='" << p2top - 8
      << "' font-size='14'>Bridge calls: share of calls (y) taking at most x "
      << "ms (log scale); the page's clock ticks in 0.1 ms steps</text>\n";
  svg << "<line x1='" << left << "' y1='" << p2y0 << "' x2='" << width - 20
      << "' y2='" << p2y0 << "' stroke='black'/>\n";
  for (double tick : {0.05, 0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 50.0}) {
    if (tick > hi * 1.2) {
      break;
    }
    svg << "<line x1='" << xOf(tick) << "' x2='" << xOf(tick) << "' y1='"
        << p2y0 << "' y2='" << p2y0 - yHeight << "' stroke='#ddd'/>\n"
        << "<text x='" << xOf(tick) << "' y='" << p2y0 + 14
        << "' text-anchor='middle'>" << tick << "</text>\n";
  }
  for (int q = 0; q <= 4; ++q) {
    const double y = p2y0 - yHeight * q / 4;
    svg << "<text x='" << left - 6 << "' y='" << y + 4 << "' text-anchor='end'>"
        << q * 25 << "%</text>\n";
  }
  for (size_t i = 0; i < latencies.size(); ++i) {
    std::vector<double> sorted = latencies[i].values;
    if (sorted.empty()) {
      continue;
    }
    std::sort(sorted.begin(), sorted.end());
    const char* colour = kColours[i % 6];
    svg << "<polyline fill='none' stroke='" << colour
        << "' stroke-width='1.5' points='";
    for (size_t k = 0; k < sorted.size(); ++k) {
      // Steps: the share rises at each sample's value.
      const double y0k = p2y0 - yHeight * k / sorted.size();
      const double y1k = p2y0 - yHeight * (k + 1) / sorted.size();
      svg << xOf(sorted[k]) << ',' << y0k << ' ' << xOf(sorted[k]) << ',' << y1k
          << ' ';
    }
    // The legend sits low on the right, where every curve has reached 100%.
    svg << "'/>\n<text x='" << width - 150 << "' y='" << p2y0 - 110 + 16 * i
        << "' fill='" << colour << "'>" << latencies[i].label << "</text>\n";
  }
  svg << "</svg>\n";
  std::ofstream file(path);
  file << svg.str();
  return static_cast<bool>(file);
}

}  // namespace bench
