#include "browser/browser/zoom.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace cefengine {

namespace {

constexpr double kZoomBase = 1.2;

// Preset factors of the browser's zoom menu.
constexpr double kPresetFactors[] = {0.25, 1.0 / 3, 0.5, 2.0 / 3, 0.75, 0.8,
                                     0.9,  1.0,     1.1, 1.25,    1.5,  1.75,
                                     2.0,  2.5,     3.0, 4.0,     5.0};

// Factors within this distance count as equal, so that a factor that went
// through a level and back still finds its own preset.
constexpr double kFactorEpsilon = 0.001;

}  // namespace

double ZoomLevelToFactor(double level) {
  if (!std::isfinite(level)) {
    return 1.0;
  }
  return std::clamp(std::pow(kZoomBase, level), kMinZoomFactor, kMaxZoomFactor);
}

double ZoomFactorToLevel(double factor) {
  if (!(factor > 0.0)) {
    return 0.0;
  }
  return std::log(factor) / std::log(kZoomBase);
}

double ZoomFactorAfterCommand(double factor, cef_zoom_command_t command) {
  switch (command) {
    case CEF_ZOOM_COMMAND_RESET:
      return 1.0;
    case CEF_ZOOM_COMMAND_IN:
      for (double preset : kPresetFactors) {
        if (preset > factor + kFactorEpsilon) {
          return preset;
        }
      }
      return factor;
    case CEF_ZOOM_COMMAND_OUT:
      for (auto it = std::rbegin(kPresetFactors);
           it != std::rend(kPresetFactors); ++it) {
        if (*it < factor - kFactorEpsilon) {
          return *it;
        }
      }
      return factor;
  }
  return factor;
}

}  // namespace cefengine
