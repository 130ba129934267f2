// Every form of the programs under Wine at 96, 144 and 192 DPI: each caption
// of its table, drawn in its control's own font, fits the room its control
// gives it, and the scaling puts no control over another that its table
// keeps apart.
#include <windows.h>

#include <commctrl.h>

#include <iostream>
#include <string>
#include <vector>

#include "about/frmaboutLayout.h"
#include "addons/frmAddFileLayout.h"
#include "addons/frmAddWebLayout.h"
#include "config/frmAddWizardLayout.h"
#include "config/frmModifyLayout.h"
#include "config/frmSetupLayout.h"
#include "config/frmTimeDelayLayout.h"
#include "platform/win32/Wide.h"
#include "prompt/frmChangePasswordLayout.h"
#include "prompt/frmPasswordLayout.h"
#include "prompt/frmpasswordpictureLayout.h"
#include "win32/Win32ToolkitRig.h"

namespace pm::tests {
namespace {

struct NamedForm {
  const char* name;
  const FormSpec& layout;
};

const NamedForm kForms[] = {
    {"frmabout", about::kfrmaboutSpec},
    {"frmAddFile", addons::kfrmAddFileSpec},
    {"frmAddWeb", addons::kfrmAddWebSpec},
    {"frmAddWizard", config::kfrmAddWizardSpec},
    {"frmModify", config::kfrmModifySpec},
    {"frmSetup", config::kfrmSetupSpec},
    {"frmTimeDelay", config::kfrmTimeDelaySpec},
    {"frmChangePassword", prompt::kfrmChangePasswordSpec},
    {"frmPassword", prompt::kfrmPasswordSpec},
    {"frmpasswordpicture", prompt::kfrmpasswordpictureSpec},
};

RECT ClientRectIn(HWND control, HWND parent) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The part of a control's client area its caption is drawn in, as Windows
// draws each kind at `dpi`: a push button inside its edges and beside or
// below its picture, a check box or option button beside its box, a panel
// above the first control it holds, a label all of it.
RECT CaptionRoom(const FormSpec& layout, int control, HWND form, UINT dpi) {
  const ControlSpec& c = layout.controls[static_cast<std::size_t>(control)];
  HWND window = FindDescendant(form, platform::kControlIdBase + control);
  RECT room;
  GetClientRect(window, &room);
  const int edge = MulDiv(3, static_cast<int>(dpi), 96);
  switch (c.kind) {
    case ControlKind::Button: {
      InflateRect(&room, -edge, -edge);
      BUTTON_IMAGELIST list{};
      int side = 0;
      if (SendMessageW(window, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list)) &&
          list.himl != nullptr && ImageList_GetIconSize(list.himl, &side, &side)) {
        if (list.uAlign == BUTTON_IMAGELIST_ALIGN_TOP) room.bottom -= side + list.margin.top;
        if (list.uAlign == BUTTON_IMAGELIST_ALIGN_LEFT) room.right -= side + list.margin.left;
      }
      break;
    }
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
      room.left += GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi) + edge;
      break;
    case ControlKind::Frame:
      for (int i = 0; i < static_cast<int>(layout.controls.size()); ++i) {
        if (layout.controls[static_cast<std::size_t>(i)].container != c.name) continue;
        const RECT held = ClientRectIn(FindDescendant(form, platform::kControlIdBase + i), window);
        room.bottom = std::min(room.bottom, held.top);
      }
      break;
    default:
      break;
  }
  return room;
}

// The block `control`'s caption takes in its own font, wrapped where the
// control wraps it, and how tall it is when drawn: a push button measures
// its caption centred and draws it within the block it measured, where Wine
// may break its lines again.
struct CaptionBlock {
  RECT measured;
  int drawnHeight;
};

CaptionBlock CaptionExtent(HWND control, std::string_view caption, int width, ControlKind kind) {
  const win32::WindowDc screen(nullptr);
  const win32::SelectGuard font(screen.get(),
                                reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  const std::wstring text = win32::Wide(caption);
  const bool button = kind == ControlKind::Button;
  const bool wraps = kind != ControlKind::CheckBox && kind != ControlKind::OptionButton;
  const UINT format =
      DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE) | (button ? DT_CENTER : 0);
  const auto measure = [&](int within) {
    RECT extent{0, 0, within, 0};
    DrawTextW(screen.get(), text.c_str(), static_cast<int>(text.size()), &extent, format);
    return extent;
  };
  const RECT measured = measure(width);
  return {measured, button ? measure(measured.right).bottom : measured.bottom};
}

bool IsNarrowed(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
  return font.lfWidth != 0;
}

class EveryForm : public ::testing::TestWithParam<UINT> {};

TEST_P(EveryForm, EveryCaptionFitsItsControlAndNoControlRunsIntoAnother) {
  const UINT dpi = GetParam();
  std::vector<std::string> narrowed;
  for (const NamedForm& form : kForms) {
    SCOPED_TRACE(form.name);
    EventRecorder events;
    const auto window = TheToolkit().CreateFormWindow(form.layout, events, nullptr);
    const auto hwnd = reinterpret_cast<HWND>(window->handle());
    if (GetDpiForWindow(hwnd) != dpi) {
      // Wine keeps one DPI: the message a move to another monitor would
      // bring is sent by hand.
      RECT suggested{0, 0, MulDiv(400, static_cast<int>(dpi), 96),
                     MulDiv(300, static_cast<int>(dpi), 96)};
      SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    }
    const std::span<const ControlSpec> controls = form.layout.controls;
    for (int i = 0; i < static_cast<int>(controls.size()); ++i) {
      const ControlSpec& c = controls[static_cast<std::size_t>(i)];
      HWND control = FindDescendant(hwnd, platform::kControlIdBase + i);
      const bool captioned = c.kind == ControlKind::Label || c.kind == ControlKind::Button ||
                             c.kind == ControlKind::CheckBox ||
                             c.kind == ControlKind::OptionButton || c.kind == ControlKind::Frame;
      if (!captioned || c.caption.empty() || control == nullptr) continue;
      if (IsNarrowed(control))
        narrowed.push_back(std::string(form.name) + "." + std::string(c.name));
      const RECT room = CaptionRoom(form.layout, i, hwnd, dpi);
      const CaptionBlock block = CaptionExtent(control, c.caption, room.right - room.left, c.kind);
      EXPECT_LE(block.measured.right, room.right - room.left)
          << c.name << " \"" << c.caption << "\" is cut at its right";
      EXPECT_LE(block.measured.bottom, room.bottom - room.top)
          << c.name << " \"" << c.caption << "\" is cut at its foot";
      EXPECT_LE(block.drawnHeight, block.measured.bottom)
          << c.name << " \"" << c.caption << "\" breaks again and loses its last lines";
    }
    // Controls that stand apart in the table (on the same panel) stand
    // apart on the screen.
    for (int a = 0; a < static_cast<int>(controls.size()); ++a) {
      for (int b = a + 1; b < static_cast<int>(controls.size()); ++b) {
        const ControlSpec& first = controls[static_cast<std::size_t>(a)];
        const ControlSpec& second = controls[static_cast<std::size_t>(b)];
        HWND firstWindow = FindDescendant(hwnd, platform::kControlIdBase + a);
        HWND secondWindow = FindDescendant(hwnd, platform::kControlIdBase + b);
        const RECT firstTwips{first.left, first.top, first.left + first.width,
                              first.top + first.height};
        const RECT secondTwips{second.left, second.top, second.left + second.width,
                               second.top + second.height};
        RECT common;
        if (first.container != second.container || firstWindow == nullptr ||
            secondWindow == nullptr || IntersectRect(&common, &firstTwips, &secondTwips)) {
          continue;
        }
        const RECT firstPixels = ClientRectIn(firstWindow, hwnd);
        const RECT secondPixels = ClientRectIn(secondWindow, hwnd);
        EXPECT_FALSE(IntersectRect(&common, &firstPixels, &secondPixels))
            << first.name << " runs into " << second.name;
      }
    }
  }
  // Wine's stand-in font is broader for its height than Windows' fonts; a
  // caption that needs narrowed letters even so is named here.
  std::cout << "at " << dpi << " DPI, captions in narrowed letters:";
  for (const std::string& name : narrowed) std::cout << ' ' << name;
  std::cout << (narrowed.empty() ? " none\n" : "\n");
}

INSTANTIATE_TEST_SUITE_P(Dpi, EveryForm, ::testing::Values(96u, 144u, 192u),
                         [](const auto& info) { return std::to_string(info.param); });

}  // namespace
}  // namespace pm::tests
