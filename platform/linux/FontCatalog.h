// Turns the Windows font requests of the program into installed faces, with GDI's size and weight rules.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

typedef struct _cairo_font_face cairo_font_face_t;
typedef struct _cairo_scaled_font cairo_scaled_font_t;

namespace platform {

// What a CreateFont call asks for, in GDI's units.
struct FontRequest {
  int height = 0;  // > 0: cell height (ascent + descent) in pixels; < 0: character height; 0: default
  int width = 0;   // average character width in pixels; 0 keeps the face's own proportions
  int weight = 0;  // 100 .. 900; 0 means normal (400)
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  bool antialias = true;  // false for NONANTIALIASED_QUALITY
  std::string face;       // UTF-8
};

// The integer metrics GDI reports for a font, in pixels.
struct FontMetrics {
  int height = 0;  // ascent + descent: the line spacing
  int ascent = 0;
  int descent = 0;
  int internalLeading = 0;  // height minus the character (em) height
  int aveCharWidth = 0;
  int maxCharWidth = 0;
  int weight = 0;
};

// One face at one size, ready to draw; shared by every CFont that asked for the same thing.
class ResolvedFont {
 public:
  ResolvedFont(cairo_font_face_t* face, cairo_scaled_font_t* scaled, const FontMetrics& metrics,
               std::string family, const FontRequest& request, bool emboldened);
  ~ResolvedFont();
  ResolvedFont(const ResolvedFont&) = delete;
  ResolvedFont& operator=(const ResolvedFont&) = delete;

  cairo_scaled_font_t* ScaledFont() const { return m_scaled; }
  const FontMetrics& Metrics() const { return m_metrics; }
  // The installed family the text is drawn with; asking for it again gives the same face.
  const std::string& Family() const { return m_family; }
  const FontRequest& Request() const { return m_request; }
  // True when the face has no heavy weight of its own and cairo thickens its outlines instead.
  bool Emboldened() const { return m_emboldened; }
  // The advance of a line of UTF-8 text in whole pixels; invalid UTF-8 measures 0.
  int TextWidth(std::string_view utf8) const;

 private:
  cairo_font_face_t* m_face;
  cairo_scaled_font_t* m_scaled;
  FontMetrics m_metrics;
  std::string m_family;
  FontRequest m_request;
  bool m_emboldened;
};

// The requested face first, then the installed faces that stand in for it.
std::vector<std::string> FaceCandidates(const std::string& face);
// True when fontconfig lists a font of this family (names compare without case and blanks).
bool IsFamilyInstalled(const std::string& family);
// Null when neither the face nor any of its substitutes is installed.
std::shared_ptr<const ResolvedFont> ResolveFont(const FontRequest& request);
// The font a fresh device context holds; null only on a system without any font.
std::shared_ptr<const ResolvedFont> DefaultFont();
// The families of the fonts this process has opened so far, each once, in the order they were opened.
std::vector<std::string> OpenedFamilies();

}  // namespace platform
