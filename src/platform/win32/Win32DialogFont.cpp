#include "platform/win32/Win32DialogFont.h"

#include <iterator>

#include "platform/win32/Handles.h"

namespace pm::win32 {

namespace {

constexpr wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

struct Measure {
  int alphabet = 0;
  int average = 0;
};

Measure MeasureFont(const LOGFONTW& font) {
  Measure measure;
  HDC dc = GetDC(nullptr);
  if (dc == nullptr) return measure;
  UniqueGdiObject handle(CreateFontIndirectW(&font));
  HGDIOBJ old = SelectObject(dc, handle.get());
  SIZE size{};
  if (GetTextExtentPoint32W(dc, kAlphabet, static_cast<int>(std::size(kAlphabet)) - 1, &size)) {
    measure.alphabet = size.cx;
  }
  TEXTMETRICW metrics{};
  if (GetTextMetricsW(dc, &metrics)) measure.average = metrics.tmAveCharWidth;
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return measure;
}

}  // namespace

int AlphabetWidth(const LOGFONTW& font) {
  return MeasureFont(font).alphabet;
}

LOGFONTW DialogFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  }
  LOGFONTW font = metrics.lfMessageFont;
  const int design = MulDiv(kDesignAlphabetWidthAt96Dpi, static_cast<int>(dpi), 96);
  const Measure natural = MeasureFont(font);
  if (natural.alphabet <= design || natural.average <= 0) return font;
  // A TrueType font scales its letters to the average width asked for; the
  // widest that fits is taken, starting just above the proportional guess.
  for (int width = MulDiv(natural.average, design, natural.alphabet) + 1; width > 0; --width) {
    font.lfWidth = width;
    if (MeasureFont(font).alphabet <= design) return font;
  }
  font.lfWidth = 0;
  return font;
}

}  // namespace pm::win32
