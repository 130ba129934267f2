// Where a dialog opens: centred on its owner, as Windows' own dialogs open,
// but never partly off the screen when the owner is near an edge.
#pragma once

#include "platform/Ui.h"

namespace pm::platform {

// The place of a window of `width` x `height` centred on `area`, moved just
// far enough to lie inside `workArea` (the monitor without its taskbar). A
// window larger than the work area keeps its top left corner on it, so its
// title bar can still be reached. All in pixels; only the size of the answer
// is `width` x `height`.
Rect CentredPlace(const Rect& area, const Rect& workArea, int width, int height);

}  // namespace pm::platform
