// Text on device contexts: DrawText's layout and alignment, font metrics and face names.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/api/DC.h"
#include "platform/linux/CairoHandles.h"
#include "platform/linux/DCImpl.h"
#include "platform/linux/FontCatalog.h"

namespace {

// GDI's mnemonic prefixes: "&&" stands for "&", and a single "&" only marks the next character.
std::string StripPrefixes(const std::string& text) {
  std::string shown;
  shown.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      shown += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == '&') {
      shown += '&';
      ++i;
    }
  }
  return shown;
}

size_t Utf8Length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

// Japanese text has no spaces: a line may break before any character from the CJK blocks on.
bool IsBreakableAlone(std::string_view piece) {
  return !piece.empty() && static_cast<unsigned char>(piece[0]) >= 0xE2 && Utf8Length(piece[0]) >= 3;
}

// Splits a paragraph into spaces, words and single CJK characters: the places a line may break.
std::vector<std::string> BreakPieces(const std::string& paragraph) {
  std::vector<std::string> pieces;
  for (size_t i = 0; i < paragraph.size();) {
    const size_t length =
        std::min(Utf8Length(static_cast<unsigned char>(paragraph[i])), paragraph.size() - i);
    const std::string character = paragraph.substr(i, length);
    const bool space = character == " ";
    const bool alone = IsBreakableAlone(character);
    const bool joins = !pieces.empty() && !alone && !IsBreakableAlone(pieces.back()) &&
                       (pieces.back().front() == ' ') == space;
    if (joins) {
      pieces.back() += character;
    } else {
      pieces.push_back(character);
    }
    i += length;
  }
  return pieces;
}

// Greedy filling: as many pieces on a line as fit; spaces where a line breaks are dropped.
std::vector<std::string> WrapParagraph(const std::string& paragraph, int width,
                                       const platform::ResolvedFont& font) {
  std::vector<std::string> lines;
  std::string line;
  std::string pendingSpaces;
  for (const std::string& piece : BreakPieces(paragraph)) {
    if (piece.front() == ' ') {
      if (!line.empty()) pendingSpaces += piece;
      continue;
    }
    const std::string longer = line + pendingSpaces + piece;
    if (line.empty() || font.TextWidth(longer) <= width) {
      line = longer;
    } else {
      lines.push_back(line);
      line = piece;
    }
    pendingSpaces.clear();
  }
  lines.push_back(line);
  return lines;
}

std::vector<std::string> SplitParagraphs(const std::string& text) {
  std::vector<std::string> paragraphs(1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\n' || text[i] == '\r') {
      paragraphs.emplace_back();
    } else {
      paragraphs.back() += text[i];
    }
  }
  return paragraphs;
}

// Cuts a UTF-8 string to at most `bytes` bytes without splitting a character.
size_t Utf8Cut(const std::string& text, size_t bytes) {
  if (bytes >= text.size()) return text.size();
  while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) --bytes;
  return bytes;
}

}  // namespace

const platform::ResolvedFont* CDC::Impl::CurrentFont(const CDC& dc) {
  // The stock font is resolved only when text is drawn or measured with it.
  return dc.m_font ? static_cast<const platform::ResolvedFont*>(dc.m_font.get())
                   : platform::DefaultFont().get();
}

std::vector<std::string> CDC::Impl::LayoutLines(const CDC& dc, const std::string& text, UINT nFormat,
                                                int width) {
  const std::string shown = (nFormat & DT_NOPREFIX) ? text : StripPrefixes(text);
  if (nFormat & DT_SINGLELINE) return {shown};
  std::vector<std::string> lines;
  for (const std::string& paragraph : SplitParagraphs(shown)) {
    if (!(nFormat & DT_WORDBREAK)) {
      lines.push_back(paragraph);
      continue;
    }
    for (std::string& line : WrapParagraph(paragraph, width, *CurrentFont(dc)))
      lines.push_back(std::move(line));
  }
  return lines;
}

void CDC::Impl::DrawTextLine(CDC& dc, const std::string& line, int x, int y, int width, const RECT* clip) {
  cairo_t* cr = platform::CairoOf(dc.m_hDC);
  const platform::ResolvedFont* font = CurrentFont(dc);
  if (!cr || !font || line.empty()) return;
  const platform::FontMetrics& metrics = font->Metrics();
  cairo_save(cr);
  if (clip) {
    cairo_rectangle(cr, clip->left, clip->top, clip->right - clip->left, clip->bottom - clip->top);
    cairo_clip(cr);
  }
  if (dc.m_nBkMode == OPAQUE) {
    const RECT box{x, y, x + width, y + metrics.height};
    FillBoxes(dc, std::span<const RECT>(&box, 1), dc.m_crBk);
  }
  cairo_glyph_t* glyphs = nullptr;
  int count = 0;
  const int baseline = y + metrics.ascent;
  if (cairo_scaled_font_text_to_glyphs(font->ScaledFont(), x, baseline, line.data(),
                                       static_cast<int>(line.size()), &glyphs, &count, nullptr, nullptr,
                                       nullptr) == CAIRO_STATUS_SUCCESS) {
    cairo_set_scaled_font(cr, font->ScaledFont());
    cairo_set_source_rgb(cr, GetRValue(dc.m_crText) / 255.0, GetGValue(dc.m_crText) / 255.0,
                         GetBValue(dc.m_crText) / 255.0);
    cairo_show_glyphs(cr, glyphs, count);
    cairo_glyph_free(glyphs);
  }
  const int thickness = std::max(1, static_cast<int>(std::lround(metrics.height / 20.0)));
  if (font->Request().underline) {
    const int top = std::min(baseline + std::max(1, metrics.descent / 2), y + metrics.height - thickness);
    const RECT stroke{x, top, x + width, top + thickness};
    FillBoxes(dc, std::span<const RECT>(&stroke, 1), dc.m_crText);
  }
  if (font->Request().strikeOut) {
    const int top = baseline - metrics.ascent / 3;
    const RECT stroke{x, top, x + width, top + thickness};
    FillBoxes(dc, std::span<const RECT>(&stroke, 1), dc.m_crText);
  }
  cairo_restore(cr);
  cairo_surface_flush(platform::CairoOf(dc.m_hTarget));
}

int CDC::DrawText(const std::string& text, RECT* rc, UINT nFormat) {
  const platform::ResolvedFont* font = Impl::CurrentFont(*this);
  if (!rc || !font) return 0;
  const int lineHeight = font->Metrics().height;
  const std::vector<std::string> lines = Impl::LayoutLines(*this, text, nFormat, rc->right - rc->left);
  const int total = lineHeight * static_cast<int>(lines.size());
  if (nFormat & DT_CALCRECT) {
    int widest = 0;
    for (const std::string& line : lines) widest = std::max(widest, font->TextWidth(line));
    rc->right = rc->left + widest;
    rc->bottom = rc->top + total;
    return total;
  }
  int y = rc->top;
  const bool single = (nFormat & DT_SINGLELINE) != 0;
  if (single && (nFormat & DT_VCENTER)) y = rc->top + (rc->bottom - rc->top - lineHeight) / 2;
  if (single && (nFormat & DT_BOTTOM)) y = rc->bottom - lineHeight;
  const RECT* clip = (nFormat & DT_NOCLIP) ? nullptr : rc;
  for (const std::string& line : lines) {
    // Measured once: the same width places the line and sizes its background and strokes.
    const int width = font->TextWidth(line);
    const int free = rc->right - rc->left - width;
    int x = rc->left;
    if (nFormat & DT_CENTER)
      x += free / 2;
    else if (nFormat & DT_RIGHT)
      x += free;
    Impl::DrawTextLine(*this, line, x, y, width, clip);
    y += lineHeight;
  }
  if (single && (nFormat & (DT_VCENTER | DT_BOTTOM))) return y - rc->top;
  return total;
}

int CDC::GetTextFace(int nCount, char* lpszFacename) const {
  const std::string face = GetTextFace();
  if (!lpszFacename) return static_cast<int>(face.size()) + 1;
  if (nCount <= 0) return 0;
  const size_t copied = Utf8Cut(face, static_cast<size_t>(nCount - 1));
  std::memcpy(lpszFacename, face.data(), copied);
  lpszFacename[copied] = '\0';
  return static_cast<int>(copied);
}

std::string CDC::GetTextFace() const {
  const platform::ResolvedFont* font = Impl::CurrentFont(*this);
  return font ? font->Family() : std::string();
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* tm) const {
  const platform::ResolvedFont* font = Impl::CurrentFont(*this);
  if (!tm || !font) return FALSE;
  const platform::FontMetrics& m = font->Metrics();
  *tm = TEXTMETRIC{};
  tm->tmHeight = m.height;
  tm->tmAscent = m.ascent;
  tm->tmDescent = m.descent;
  tm->tmInternalLeading = m.internalLeading;
  tm->tmAveCharWidth = m.aveCharWidth;
  tm->tmMaxCharWidth = m.maxCharWidth;
  tm->tmWeight = m.weight;
  tm->tmItalic = font->Request().italic ? 1 : 0;
  tm->tmUnderlined = font->Request().underline ? 1 : 0;
  tm->tmStruckOut = font->Request().strikeOut ? 1 : 0;
  tm->tmCharSet = SHIFTJIS_CHARSET;
  return TRUE;
}

CSize CDC::GetTextExtent(const std::string& text) const {
  const platform::ResolvedFont* font = Impl::CurrentFont(*this);
  if (!font) return {};
  return {font->TextWidth(text), font->Metrics().height};
}
