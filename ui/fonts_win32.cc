#include "ui/fonts_win32.h"

namespace {

// Whether "_" drawn at the top of a cell of the font's height leaves ink
// in it: at some sizes a font draws it below its cell, where every control
// clips it away.
bool drawsUnderscore(HFONT font) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ oldFont = SelectObject(dc, font);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  int height = metrics.tmHeight + metrics.tmExternalLeading;
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, height);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  RECT cell = {0, 0, 32, height};
  FillRect(dc, &cell, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  TextOutA(dc, 0, 0, "_", 1);
  bool ink = false;
  for (int y = 0; y < height && !ink; ++y)
    for (int x = 0; x < 32 && !ink; ++x) ink = GetPixel(dc, x, y) != RGB(255, 255, 255);
  SelectObject(dc, oldBitmap);
  SelectObject(dc, oldFont);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return ink;
}

// The font of `base`, a pixel taller at a time (a few at most) until it
// draws its underscore.
HFONT fontDrawingUnderscores(LOGFONTA base) {
  int height = base.lfHeight < 0 ? -base.lfHeight : base.lfHeight;
  for (int extra = 0;; ++extra) {
    base.lfHeight = -(height + extra);
    HFONT font = CreateFontIndirectA(&base);
    if (!font || extra == 4 || drawsUnderscore(font)) return font;
    DeleteObject(font);
  }
}

HFONT makeFont(int points, bool fixed) {
  HDC screen = GetDC(nullptr);
  int height = MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  LOGFONTA font = {};
  font.lfHeight = -height;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfPitchAndFamily = fixed ? FIXED_PITCH | FF_MODERN : VARIABLE_PITCH | FF_SWISS;
  lstrcpynA(font.lfFaceName, fixed ? "ＭＳ ゴシック" : "ＭＳ Ｐゴシック", LF_FACESIZE);
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = sizeof metrics;
  if (!fixed && SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    font = metrics.lfMessageFont;
  return fontDrawingUnderscores(font);
}

}  // namespace

HFONT windowTextFont() {
  static HFONT font = makeFont(9, false);
  return font;
}

HFONT viewerFont() {
  static HFONT font = makeFont(10, true);
  return font;
}
