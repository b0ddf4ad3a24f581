// Resolves the program's font requests through fontconfig and builds cairo fonts with GDI's metrics.
#include "platform/linux/FontCatalog.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define TILVANE_LEAK_CHECKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/lsan_interface.h>
#define TILVANE_LEAK_CHECKS 1
#endif
#endif

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>
#include <optional>
#include <tuple>
#include <utility>

namespace platform {
namespace {

constexpr int kDefaultCellHeight = 16;
constexpr int kNormalWeight = 400;
constexpr int kFirstHeavyWeight = 600;  // FW_SEMIBOLD: from here on a light face gets thickened

// Windows faces that the program and its dialogs name, each with the installed faces that stand in for it.
// The IPA faces come first because they follow the MS Gothic and MS Mincho metrics grid.
using SubstituteList = std::vector<std::string>;

const SubstituteList& GothicStandIns() {
  static const SubstituteList list{"IPAGothic",        "IPAexGothic", "Noto Sans Mono CJK JP",
                                   "Noto Sans CJK JP", "VL Gothic",   "TakaoGothic"};
  return list;
}

const SubstituteList& ProportionalGothicStandIns() {
  static const SubstituteList list{"IPAPGothic",       "IPAexGothic", "IPAGothic",
                                   "Noto Sans CJK JP", "VL PGothic",  "TakaoPGothic"};
  return list;
}

const SubstituteList& MinchoStandIns() {
  static const SubstituteList list{"IPAMincho", "IPAexMincho", "IPAPMincho", "Noto Serif CJK JP",
                                   "TakaoMincho"};
  return list;
}

// The user-interface faces of Windows; a Japanese proportional Gothic reads like them and has the glyphs.
const SubstituteList& InterfaceStandIns() {
  static const SubstituteList list{"IPAPGothic", "IPAGothic", "Noto Sans CJK JP", "VL PGothic",
                                   "DejaVu Sans"};
  return list;
}

std::string FoldCase(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

// GDI compares face names without regard to ASCII case; the full-width names compare as they are.
const SubstituteList* StandInsFor(const std::string& face) {
  static const std::map<std::string, const SubstituteList*> table{
      {FoldCase("ＭＳ ゴシック"), &GothicStandIns()},
      {FoldCase("MS Gothic"), &GothicStandIns()},
      {FoldCase("ＭＳ Ｐゴシック"), &ProportionalGothicStandIns()},
      {FoldCase("MS PGothic"), &ProportionalGothicStandIns()},
      {FoldCase("MS UI Gothic"), &ProportionalGothicStandIns()},
      {FoldCase("ＭＳ 明朝"), &MinchoStandIns()},
      {FoldCase("MS Mincho"), &MinchoStandIns()},
      {FoldCase("ＭＳ Ｐ明朝"), &MinchoStandIns()},
      {FoldCase("MS PMincho"), &MinchoStandIns()},
      {"", &InterfaceStandIns()},
      {FoldCase("System"), &InterfaceStandIns()},
      {FoldCase("MS Shell Dlg"), &InterfaceStandIns()},
      {FoldCase("MS Shell Dlg 2"), &InterfaceStandIns()},
      {FoldCase("MS Sans Serif"), &InterfaceStandIns()},
      {FoldCase("Tahoma"), &InterfaceStandIns()},
      {FoldCase("Segoe UI"), &InterfaceStandIns()},
      {FoldCase("Meiryo"), &InterfaceStandIns()},
      {FoldCase("Meiryo UI"), &InterfaceStandIns()},
      {FoldCase("メイリオ"), &InterfaceStandIns()},
  };
  auto it = table.find(FoldCase(face));
  return it == table.end() ? nullptr : it->second;
}

// Fontconfig's own rule for family names: ASCII case and blanks do not count.
bool SameFamily(std::string_view a, std::string_view b) {
  auto squeeze = [](std::string_view name) {
    std::string folded = FoldCase(name);
    folded.erase(std::remove(folded.begin(), folded.end(), ' '), folded.end());
    return folded;
  };
  return squeeze(a) == squeeze(b);
}

const FcChar8* Fc(const std::string& s) {
  return reinterpret_cast<const FcChar8*>(s.c_str());
}

// Everything the catalog remembers; fonts are a process-wide resource, as they are for GDI.
struct Catalog {
  std::mutex mutex;
  bool initialised = false;
  std::map<std::string, std::optional<std::string>> families;   // folded name -> installed spelling
  std::map<std::pair<std::string, int>, double> designWeights;  // (file, index) -> weight of the file
  std::vector<std::string> opened;                              // families, in the order first built
  using Key = std::tuple<std::string, int, int, int, bool, bool, bool, bool>;
  std::map<Key, std::shared_ptr<const ResolvedFont>> fonts;
};

Catalog& TheCatalog() {
  static Catalog catalog;
  return catalog;
}

// Fontconfig's first initialisation scans every font directory, so it waits for the first font request.
void EnsureFontconfig(Catalog& catalog) {
  if (catalog.initialised) return;
#if defined(TILVANE_LEAK_CHECKS)
  // Fontconfig keeps part of its configuration behind offset-encoded pointers that the leak checker cannot
  // follow; the configuration lives until the process ends, so its allocations are not leaks.
  __lsan::ScopedDisabler configurationLivesForever;
#endif
  FcInit();
  catalog.initialised = true;
}

// Lists the fonts of a family and records its installed spelling, or that it is missing, and for each of
// its font files the file's own weight, which saves a listing per file later. Matching ignores case and
// blanks.
void ListFamily(Catalog& catalog, const std::string& family) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, Fc(family));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FILE, FC_INDEX, FC_WEIGHT, nullptr);
  FcFontSet* set = FcFontList(nullptr, pattern, objects);
  std::optional<std::string>& spelling = catalog.families[FoldCase(family)];
  for (int i = 0; set && i < set->nfont; ++i) {
    FcPattern* font = set->fonts[i];
    FcChar8* name = nullptr;
    for (int n = 0; !spelling && FcPatternGetString(font, FC_FAMILY, n, &name) == FcResultMatch; ++n) {
      if (SameFamily(reinterpret_cast<const char*>(name), family))
        spelling = reinterpret_cast<const char*>(name);
    }
    FcChar8* file = nullptr;
    int index = 0;
    double weight = FC_WEIGHT_REGULAR;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) continue;
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    // A variable font lists a range of weights, which a single number does not describe.
    if (FcPatternGetDouble(font, FC_WEIGHT, 0, &weight) != FcResultMatch) continue;
    catalog.designWeights[{reinterpret_cast<const char*>(file), index}] = weight;
  }
  if (set) FcFontSetDestroy(set);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
}

std::optional<std::string> InstalledSpelling(Catalog& catalog, const std::string& family) {
  EnsureFontconfig(catalog);
  const std::string key = FoldCase(family);
  if (!catalog.families.contains(key)) ListFamily(catalog, family);
  return catalog.families[key];
}

int NormalWeight(int weight) {
  return weight <= 0 ? kNormalWeight : std::min(weight, 1000);
}

FcPattern* MatchFamily(const std::string& family, const FontRequest& request) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, Fc(family));
  // Without a language fontconfig happily settles on a face without any Japanese glyph.
  FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
  FcPatternAddDouble(pattern, FC_WEIGHT, FcWeightFromOpenTypeDouble(NormalWeight(request.weight)));
  FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddDouble(pattern, FC_PIXEL_SIZE,
                     std::abs(request.height) > 0 ? std::abs(request.height) : kDefaultCellHeight);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  return match;
}

// The weight of the matched font file itself: the desktop's synthetic-bold rules may already have
// raised the weight in the match to the one asked for. The listing of the family has it, as a rule.
double DesignWeight(Catalog& catalog, FcPattern* match) {
  double weight = FC_WEIGHT_REGULAR;
  FcChar8* file = nullptr;
  int index = 0;
  if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch) return weight;
  FcPatternGetInteger(match, FC_INDEX, 0, &index);
  const std::pair<std::string, int> key{reinterpret_cast<const char*>(file), index};
  if (auto it = catalog.designWeights.find(key); it != catalog.designWeights.end()) return it->second;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FILE, file);
  FcPatternAddInteger(pattern, FC_INDEX, index);
  FcObjectSet* objects = FcObjectSetBuild(FC_WEIGHT, nullptr);
  FcFontSet* set = FcFontList(nullptr, pattern, objects);
  if (set && set->nfont > 0) FcPatternGetDouble(set->fonts[0], FC_WEIGHT, 0, &weight);
  if (set) FcFontSetDestroy(set);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  catalog.designWeights[key] = weight;
  return weight;
}

void ReplaceBool(FcPattern* pattern, const char* object, bool value) {
  FcPatternDel(pattern, object);
  FcPatternAddBool(pattern, object, value ? FcTrue : FcFalse);
}

void ReplaceInteger(FcPattern* pattern, const char* object, int value) {
  FcPatternDel(pattern, object);
  FcPatternAddInteger(pattern, object, value);
}

// Rendering is fixed here rather than left to the desktop's settings: greyscale text on our RGB buffers
// (subpixel colour fringes would show on screenshots and differ between machines), slight hinting, and a
// synthetic bold when the face lacks the weight asked for (IPAGothic has only a regular weight).
bool PrepareRendering(Catalog& catalog, FcPattern* match, const FontRequest& request) {
  const bool embolden =
      NormalWeight(request.weight) >= kFirstHeavyWeight && DesignWeight(catalog, match) < FC_WEIGHT_DEMIBOLD;
  ReplaceBool(match, FC_EMBOLDEN, embolden);
  ReplaceBool(match, FC_ANTIALIAS, request.antialias);
  ReplaceInteger(match, FC_RGBA, FC_RGBA_NONE);
  ReplaceBool(match, FC_HINTING, true);
  ReplaceInteger(match, FC_HINT_STYLE, FC_HINT_SLIGHT);
  ReplaceBool(match, FC_AUTOHINT, false);
  return embolden;
}

cairo_font_options_t* MakeOptions(const FontRequest& request) {
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, request.antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  // Whole-pixel advances keep text widths integers, as GDI's are.
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  return options;
}

cairo_scaled_font_t* MakeScaled(cairo_font_face_t* face, const cairo_font_options_t* options, double xSize,
                                double ySize) {
  cairo_matrix_t fontMatrix;
  cairo_matrix_t identity;
  cairo_matrix_init_scale(&fontMatrix, xSize, ySize);
  cairo_matrix_init_identity(&identity);
  return cairo_scaled_font_create(face, &fontMatrix, &identity, options);
}

// The advance of a line of UTF-8 text in whole pixels; invalid UTF-8 measures 0.
int Advance(cairo_scaled_font_t* scaled, std::string_view utf8) {
  if (utf8.empty()) return 0;
  cairo_glyph_t* glyphs = nullptr;
  int count = 0;
  if (cairo_scaled_font_text_to_glyphs(scaled, 0, 0, utf8.data(), static_cast<int>(utf8.size()), &glyphs,
                                       &count, nullptr, nullptr, nullptr) != CAIRO_STATUS_SUCCESS) {
    return 0;
  }
  cairo_text_extents_t extents;
  cairo_scaled_font_glyph_extents(scaled, glyphs, count, &extents);
  cairo_glyph_free(glyphs);
  return static_cast<int>(std::lround(extents.x_advance));
}

// The face's design metrics in font units.
struct DesignMetrics {
  double unitsPerEm = 1;
  double ascender = 0;   // above the baseline, positive
  double descender = 0;  // below the baseline, positive
  double averageWidth = 0;
};

// The cell is the face's own line metrics (ascender + descender). For the IPA faces they equal the em, the
// MS Gothic grid; their OS/2 Windows metrics carry extra descent for clipping and would shrink the glyphs.
//
// The face is read at `probeSize`, the size the font will most likely be made at, so that cairo hands the
// same scaled font out again for the drawing instead of a second one.
std::optional<DesignMetrics> ReadDesignMetrics(cairo_font_face_t* face, const cairo_font_options_t* options,
                                               double probeSize) {
  cairo_scaled_font_t* probe = MakeScaled(face, options, probeSize, probeSize);
  std::optional<DesignMetrics> design;
  if (FT_Face ft = cairo_ft_scaled_font_lock_face(probe)) {
    if (FT_IS_SCALABLE(ft) && ft->units_per_EM > 0) {
      DesignMetrics m;
      m.unitsPerEm = ft->units_per_EM;
      m.ascender = ft->ascender;
      m.descender = -ft->descender;
      if (m.ascender + m.descender <= 0) m.ascender = m.unitsPerEm;
      if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2)))
        m.averageWidth = os2->xAvgCharWidth;
      design = m;
    }
    cairo_ft_scaled_font_unlock_face(probe);
  }
  if (!design) {
    // A bitmap face: cairo's extents at the probe size give the same proportions.
    cairo_font_extents_t extents;
    cairo_scaled_font_extents(probe, &extents);
    if (extents.ascent + extents.descent > 0)
      design = DesignMetrics{probeSize, extents.ascent, extents.descent, 0};
  }
  cairo_scaled_font_destroy(probe);
  return design;
}

struct Sizing {
  double em = 0;
  int cellHeight = 0;
};

// GDI's height rule: a positive height is the cell (ascent + descent), a negative one the em, zero a default.
Sizing SizeFor(const FontRequest& request, const DesignMetrics& design) {
  const double cellPerEm = (design.ascender + design.descender) / design.unitsPerEm;
  Sizing sizing;
  if (request.height < 0) {
    sizing.em = -request.height;
    sizing.cellHeight = static_cast<int>(std::lround(sizing.em * cellPerEm));
  } else {
    sizing.cellHeight = request.height > 0 ? request.height : kDefaultCellHeight;
    sizing.em = sizing.cellHeight / cellPerEm;
  }
  return sizing;
}

FontMetrics MetricsFor(const FontRequest& request, const DesignMetrics& design, const Sizing& sizing,
                       double xScale, cairo_scaled_font_t* scaled) {
  const double pixelsPerUnit = sizing.em / design.unitsPerEm;
  FontMetrics m;
  m.height = sizing.cellHeight;
  m.ascent = std::min(m.height, static_cast<int>(std::lround(design.ascender * pixelsPerUnit)));
  m.descent = m.height - m.ascent;
  m.internalLeading = std::max(0, m.height - static_cast<int>(std::lround(sizing.em)));
  m.aveCharWidth = static_cast<int>(std::lround(design.averageWidth * pixelsPerUnit * xScale));
  // A face without an average width in its tables is measured instead.
  if (m.aveCharWidth <= 0) m.aveCharWidth = Advance(scaled, "x");
  cairo_font_extents_t extents;
  cairo_scaled_font_extents(scaled, &extents);
  m.maxCharWidth = static_cast<int>(std::lround(extents.max_x_advance));
  m.weight = NormalWeight(request.weight);
  return m;
}

// The em of the font when its cell equals its em, as for the faces of the MS Gothic grid; a negative
// height is the em itself.
double LikelyEm(const FontRequest& request) {
  return request.height != 0 ? std::abs(request.height) : kDefaultCellHeight;
}

std::shared_ptr<const ResolvedFont> BuildFont(Catalog& catalog, FcPattern* match, const FontRequest& request,
                                              std::string family) {
  const bool emboldened = PrepareRendering(catalog, match, request);
  cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(match);
  cairo_font_options_t* options = MakeOptions(request);
  std::optional<DesignMetrics> design;
  if (cairo_font_face_status(face) == CAIRO_STATUS_SUCCESS)
    design = ReadDesignMetrics(face, options, LikelyEm(request));
  std::shared_ptr<const ResolvedFont> font;
  if (design) {
    const Sizing sizing = SizeFor(request, *design);
    const double naturalWidth = design->averageWidth * sizing.em / design->unitsPerEm;
    const double xScale = request.width > 0 && naturalWidth > 0 ? request.width / naturalWidth : 1.0;
    cairo_scaled_font_t* scaled = MakeScaled(face, options, sizing.em * xScale, sizing.em);
    const FontMetrics metrics = MetricsFor(request, *design, sizing, xScale, scaled);
    // The font takes over the reference of `scaled` and one of `face`.
    font = std::make_shared<ResolvedFont>(cairo_font_face_reference(face), scaled, metrics, std::move(family),
                                          request, emboldened);
  }
  cairo_font_options_destroy(options);
  cairo_font_face_destroy(face);
  return font;
}

std::string FirstFamily(FcPattern* match) {
  FcChar8* name = nullptr;
  if (FcPatternGetString(match, FC_FAMILY, 0, &name) != FcResultMatch) return {};
  return reinterpret_cast<const char*>(name);
}

// `family` is an installed spelling, or empty for whatever fontconfig prefers for Japanese text.
std::shared_ptr<const ResolvedFont> BuildForFamily(Catalog& catalog, const std::string& family,
                                                   const FontRequest& request) {
  EnsureFontconfig(catalog);
  FcPattern* match = MatchFamily(family.empty() ? "sans-serif" : family, request);
  if (!match) return nullptr;
  std::string reported = family.empty() ? FirstFamily(match) : family;
  std::shared_ptr<const ResolvedFont> font = BuildFont(catalog, match, request, std::move(reported));
  if (font && std::find(catalog.opened.begin(), catalog.opened.end(), font->Family()) == catalog.opened.end())
    catalog.opened.push_back(font->Family());
  FcPatternDestroy(match);
  return font;
}

// Without any font every caption and number stays blank, which would look like a fault of the program;
// saying so once tells the user what to install.
void ReportNoFont() {
  static std::once_flag reported;
  std::call_once(reported, [] {
    std::fprintf(stderr,
                 "%s: no usable font: fontconfig finds neither IPAGothic nor any other font, so no text will "
                 "show (install fonts-ipafont-gothic)\n",
                 program_invocation_short_name);
  });
}

Catalog::Key KeyFor(const FontRequest& r) {
  return {FoldCase(r.face), r.height,    r.width,     NormalWeight(r.weight),
          r.italic,         r.underline, r.strikeOut, r.antialias};
}

std::shared_ptr<const ResolvedFont> ResolveLocked(Catalog& catalog, const FontRequest& request) {
  const Catalog::Key key = KeyFor(request);
  if (auto it = catalog.fonts.find(key); it != catalog.fonts.end()) return it->second;
  std::shared_ptr<const ResolvedFont> font;
  for (const std::string& candidate : FaceCandidates(request.face)) {
    if (candidate.empty()) continue;
    if (std::optional<std::string> spelling = InstalledSpelling(catalog, candidate)) {
      font = BuildForFamily(catalog, *spelling, request);
      if (font) break;
    }
  }
  catalog.fonts.emplace(key, font);
  return font;
}

}  // namespace

ResolvedFont::ResolvedFont(cairo_font_face_t* face, cairo_scaled_font_t* scaled, const FontMetrics& metrics,
                           std::string family, const FontRequest& request, bool emboldened)
    : m_face(face),
      m_scaled(scaled),
      m_metrics(metrics),
      m_family(std::move(family)),
      m_request(request),
      m_emboldened(emboldened) {}

ResolvedFont::~ResolvedFont() {
  cairo_scaled_font_destroy(m_scaled);
  cairo_font_face_destroy(m_face);
}

int ResolvedFont::TextWidth(std::string_view utf8) const {
  return Advance(m_scaled, utf8);
}

std::vector<std::string> FaceCandidates(const std::string& face) {
  std::vector<std::string> candidates;
  if (!face.empty()) candidates.push_back(face);
  if (const SubstituteList* standIns = StandInsFor(face)) {
    candidates.insert(candidates.end(), standIns->begin(), standIns->end());
  }
  return candidates;
}

bool IsFamilyInstalled(const std::string& family) {
  Catalog& catalog = TheCatalog();
  std::lock_guard<std::mutex> lock(catalog.mutex);
  return !family.empty() && InstalledSpelling(catalog, family).has_value();
}

std::shared_ptr<const ResolvedFont> ResolveFont(const FontRequest& request) {
  Catalog& catalog = TheCatalog();
  std::lock_guard<std::mutex> lock(catalog.mutex);
  return ResolveLocked(catalog, request);
}

std::vector<std::string> OpenedFamilies() {
  Catalog& catalog = TheCatalog();
  std::lock_guard<std::mutex> lock(catalog.mutex);
  return catalog.opened;
}

std::shared_ptr<const ResolvedFont> DefaultFont() {
  Catalog& catalog = TheCatalog();
  std::lock_guard<std::mutex> lock(catalog.mutex);
  FontRequest request;
  request.height = kDefaultCellHeight;
  request.face = "System";
  if (auto font = ResolveLocked(catalog, request)) return font;
  // None of the interface stand-ins is installed: take what fontconfig prefers, which exists unless the
  // system has no font at all.
  static const std::shared_ptr<const ResolvedFont> lastResort = BuildForFamily(catalog, "", request);
  if (!lastResort) ReportNoFont();
  return lastResort;
}

}  // namespace platform
