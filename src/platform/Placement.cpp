#include "platform/Placement.h"

#include <algorithm>

namespace pm::platform {

namespace {

// The start of a span of `size` centred on [areaStart, areaStart + areaSize),
// kept inside [workStart, workStart + workSize) where it fits.
int CentredStart(int areaStart, int areaSize, int workStart, int workSize, int size) {
  const int centred = areaStart + (areaSize - size) / 2;
  const int last = workStart + workSize - size;
  return std::max(workStart, std::min(centred, last));
}

}  // namespace

Rect CentredPlace(const Rect& area, const Rect& workArea, int width, int height) {
  return {CentredStart(area.left, area.width, workArea.left, workArea.width, width),
          CentredStart(area.top, area.height, workArea.top, workArea.height, height), width,
          height};
}

}  // namespace pm::platform
