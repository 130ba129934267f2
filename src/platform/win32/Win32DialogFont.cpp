#include "platform/win32/Win32DialogFont.h"

#include <iterator>
#include <vector>

#include "platform/win32/GdiGuards.h"
#include "platform/win32/Handles.h"

namespace pm::win32 {

namespace {

// A screen DC with `font` selected, for measuring; the members go in
// reverse order: the selection, then the font, then the DC.
class MeasuringDc {
 public:
  explicit MeasuringDc(const LOGFONTW& font)
      : screen_(nullptr),
        font_(CreateFontIndirectW(&font)),
        selected_(screen_.get(), font_.get()) {}
  HDC get() const { return font_ ? screen_.get() : nullptr; }

 private:
  WindowDc screen_;
  UniqueHfont font_;
  SelectGuard selected_;
};

int AverageWidth(const LOGFONTW& font) {
  MeasuringDc dc(font);
  TEXTMETRICW metrics{};
  return dc.get() != nullptr && GetTextMetricsW(dc.get(), &metrics) ? metrics.tmAveCharWidth : 0;
}

bool AllFit(const LOGFONTW& font, std::span<const CaptionRoom> captions) {
  for (const CaptionRoom& room : captions) {
    if (!CaptionFits(font, room)) return false;
  }
  return true;
}

}  // namespace

bool CaptionFits(const LOGFONTW& font, const CaptionRoom& room) {
  LOGFONTW drawn = font;
  if (room.bold) drawn.lfWeight = FW_BOLD;
  MeasuringDc dc(drawn);
  if (dc.get() == nullptr || room.text.empty()) return true;
  const UINT format = DT_CALCRECT | DT_WORDBREAK | (room.centred ? DT_CENTER : 0);
  const auto measure = [&](int width) {
    RECT bounds{0, 0, width, 0};
    DrawTextW(dc.get(), room.text.c_str(), static_cast<int>(room.text.size()), &bounds, format);
    return bounds;
  };
  const RECT bounds = measure(room.width);
  // A push button draws its caption in the block it measured. Where the
  // system measures a centred caption narrower than its widest line (Wine
  // does), the caption breaks again in it and loses its last lines.
  if (room.centred && measure(bounds.right).bottom > bounds.bottom) return false;
  return bounds.right <= room.width && bounds.bottom <= room.height;
}

LOGFONTW MessageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  }
  return metrics.lfMessageFont;
}

SIZE DialogBaseUnits(const LOGFONTW& font) {
  static constexpr wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  MeasuringDc dc(font);
  TEXTMETRICW metrics{};
  SIZE letters{};
  if (dc.get() == nullptr || !GetTextMetricsW(dc.get(), &metrics) ||
      !GetTextExtentPoint32W(dc.get(), kLetters, static_cast<int>(std::size(kLetters) - 1),
                             &letters)) {
    return {};
  }
  return {(letters.cx / 26 + 1) / 2, metrics.tmHeight};
}

LOGFONTW NarrowedToFit(const LOGFONTW& base, std::span<const CaptionRoom> captions) {
  LOGFONTW font = base;
  if (AllFit(font, captions)) return font;
  // A TrueType font scales its letters to the average width asked for. The
  // widest that lets every caption fit is taken, down to two thirds; a
  // caption too long even for that is a matter of its layout and is left out.
  const int natural = AverageWidth(font);
  const int narrowest = (natural * 2 + 2) / 3;
  if (narrowest <= 0) return font;
  LOGFONTW narrow = font;
  narrow.lfWidth = narrowest;
  std::vector<CaptionRoom> fitting;
  for (const CaptionRoom& room : captions) {
    if (CaptionFits(narrow, room)) fitting.push_back(room);
  }
  if (AllFit(font, fitting)) return font;
  for (int width = natural - 1; width > narrowest; --width) {
    font.lfWidth = width;
    if (AllFit(font, fitting)) return font;
  }
  return narrow;
}

}  // namespace pm::win32
