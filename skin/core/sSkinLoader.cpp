#include "skin/core/sSkinLoader.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <fstream>
#include <memory>

#include "framework/Graphics.h"
#include "framework/SysUtils.h"
#include "skin/core/sSkinManagerStartup.h"
#include "skin/core/sSkinModel.h"
#include "skin/core/vkPackedSkin.h"
#include "skin/core/vkSkinImages.h"
#include "skin/core/vkSkinIni.h"
#include "skin/graphics/FreeHolder.h"
#include "skin/graphics/Resample.h"
#include "skin/graphics/vkBitmap32.h"
#include "skin/graphics/vkColorMath.h"
#include "skin/graphics/vkPixelOps.h"

namespace {

const char* const* const kScaleSuffix = ScaleSuffixes;
const int kScalePercent[4] = {100, 125, 150, 200};
constexpr uint32_t kKey = 0xFF00FF;
constexpr uint32_t kMaxImageFile = 64u << 20;

// The twelve per-state keys, state by state.
struct TStateKeys {
  const char* Color;
  const char* FontColor;
  const char* TCLeft;
  const char* TCTop;
  const char* TCRight;
  const char* TCBottom;
  const char* GlowColor;
  const char* GlowSize;
  const char* GradientPercent;
  const char* GradientData;
  const char* ImagePercent;
  const char* Transparency;
};
const TStateKeys kStateKeys[3] = {
    {"COLOR", "FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM", "GCOL", "GSIZE", "GRADIENTPERCENT",
     "GRADIENTDATA", "IMAGEPERCENT", "TRANSPARENCY"},
    {"HOTCOLOR", "HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM", "HGCOL", "HGSIZE",
     "HOTGRADIENTPERCENT", "HOTGRADIENTDATA", "HOTIMAGEPERCENT", "HOTTRANSPARENCY"},
    {"COLOR2", "FONTCOLOR2", "TCLEFT2", "TCTOP2", "TCRIGHT2", "TCBOTTOM2", "GCOL2", "GSIZE2", "GRADIENTPERCENT2",
     "GRADIENTDATA2", "IMAGEPERCENT2", "TRANSPARENCY2"},
};

// Fields of n digits at 1-based position pos; anything else is the conversion error of the skin's numbers.
int Digits(const std::string& v, size_t pos, size_t n, const std::string& where) {
  if (v.size() < pos - 1 + n)
    throw EConvertError("'" + v + "' is too short for its number at position " + std::to_string(pos) + " (" + where +
                        ")");
  int r = 0;
  for (size_t i = 0; i < n; ++i) {
    char c = v[pos - 1 + i];
    if (c < '0' || c > '9')
      throw EConvertError("'" + v.substr(pos - 1, n) + "' is not a valid integer value (" + where + ")");
    r = r * 10 + (c - '0');
  }
  return r;
}

// The words of s between separators; empty words are skipped, so "~A~B" has the words A and B.
std::vector<std::string> Words(const std::string& s, char sep) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= s.size()) {
    size_t p = s.find(sep, start);
    if (p == std::string::npos) p = s.size();
    if (p > start) out.push_back(s.substr(start, p - start));
    start = p + 1;
  }
  return out;
}

int WordToInt(const std::string& w) {
  int64_t v;
  if (!TryStrToInt64(w, v) || v < INT_MIN || v > INT_MAX) return 0;
  return static_cast<int>(v);
}

// V into a 16-bit field; false when it does not fit.
bool Fits16(int v, int16_t& out) {
  if (v < SHRT_MIN || v > SHRT_MAX) return false;
  out = static_cast<int16_t>(v);
  return true;
}

int Width(const TRect& r) { return r.Width(); }
int Height(const TRect& r) { return r.Height(); }

class TSkinReader {
public:
  TSkinReader(TvkSkinModel& m, const std::string& text, const TvkSkinConvertor* packed, const std::string& path,
              const TvkSkinLoadSettings& s)
      : m_(m), ini_(text), packed_(packed), path_(path), s_(s) {
    scale_ = std::clamp(s.ScaleIndex, 0, 3);
  }

  void Run() {
    m_.Packed = packed_ != nullptr;
    m_.SkinData.Version = ParseSkinVersion(ini_.ReadString("GLOBALINFO", "VERSION", "0"));
    ReadMaster();
    ReadMasks();
    FinishMasks();
    ReadGlobalInfo();
    if (s_.VersionCheck) s_.VersionCheck(m_.SkinData.Version);
    ReadSections();
    ReadCommonSections();
    FillPalette();
    AddBuiltInSections();
    AdjustColors();
    FillConstants();
  }

private:
  // ---- text reads ----
  int ScaledInt(const std::string& sec, const std::string& key, int def) {
    if (scale_ > 0) {
      int v = ini_.ReadInteger(sec, key + kScaleSuffix[scale_], -1);
      if (v >= 0) return v;
      return static_cast<int>(static_cast<int64_t>(ini_.ReadInteger(sec, key, def)) * kScalePercent[scale_] / 100);
    }
    return ini_.ReadInteger(sec, key, def);
  }

  // The value of Key found in the parents of Section (-1 when none); the walk ends at an empty, "?" or
  // self-naming parent and after as many steps as the text has sections.
  int ParentInt(const TvkSkinIni& ini, const std::string& section, const std::string& key) {
    std::string cur = section;
    size_t limit = ini.SectionNames().size() + 1;
    for (size_t step = 0; step < limit; ++step) {
      std::string parent = ini.ReadString(cur, "PARENTCLASS", "?");
      if (parent.empty() || parent == "?" || parent == cur) return -1;
      int v = ini.ReadInteger(parent, key, -1);
      if (v >= 0) return v;
      cur = parent;
    }
    return -1;
  }
  int Inherited(const TvkSkinIni& ini, const std::string& sec, const std::string& key, int def, int max = INT_MAX,
                bool noDefault = false) {
    int v = ini.ReadInteger(sec, key, -1);
    if (v < 0) {
      int p = ParentInt(ini, sec, key);
      v = (p >= 0 || noDefault) ? p : def;
    }
    return std::min(v, max);
  }
  std::string InheritedStr(const TvkSkinIni& ini, const std::string& sec, const std::string& key,
                           const std::string& def) {
    std::string cur = sec;
    size_t limit = ini.SectionNames().size() + 1;
    for (size_t step = 0; step <= limit; ++step) {
      std::string v = ini.ReadString(cur, key, "?");
      if (v != "?") return v;
      std::string parent = ini.ReadString(cur, "PARENTCLASS", "?");
      if (parent.empty() || parent == "?" || parent == cur) break;
      cur = parent;
    }
    return def;
  }
  static bool IsTrue(const std::string& v) {
    std::string u = UpperCase(v);
    return u == "TRUE" || u == "1";
  }

  // ---- images ----
  bool ImageBytes(const std::string& name, std::vector<uint8_t>& out) {
    if (packed_) {
      const TvkPackedFile* f = packed_->FindPackedImage(name);
      if (!f) return false;
      out = f->Data;
      return true;
    }
    std::string file = name.find(':') != std::string::npos ? name : path_ + name;
    if (!FileExists(file)) return false;
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    std::streamoff len = in.tellg();
    in.seekg(0);
    if (len < 0 || len > static_cast<std::streamoff>(kMaxImageFile))
      throw EInvalidGraphic("Image file \"" + file + "\" is too large");
    out.resize(static_cast<size_t>(len));
    if (len > 0 && !in.read(reinterpret_cast<char*>(out.data()), len))
      throw EReadError("Cannot read \"" + file + "\"");
    return true;
  }

  // The image of that name, loaded once; null when missing, empty or of a type the loader does not read.
  TBitmap* Image(const std::string& name) {
    std::string up = UpperCase(name);
    if (up.empty()) return nullptr;
    for (const auto& img : m_.Images)
      if (img.Name == up) return img.Bmp;
    std::vector<uint8_t> bytes;
    if (!IsSkinImageName(name) || !ImageBytes(name, bytes) || bytes.empty()) return nullptr;
    TBitmap* bmp = DecodeSkinImage(name, bytes.data(), bytes.size());
    if (bmp->Empty()) {
      bmp->Free();
      return nullptr;
    }
    m_.Images.push_back({up, bmp});
    return bmp;
  }

  void ReadMaster() {
    std::string name = ini_.ReadString("GLOBALINFO", "MASTERBITMAP", "");
    m_.SkinData.MasterBitmap = name;
    // an image of a type the loader does not read is as missing: the skin has no master bitmap
    if (name.empty() || !IsSkinImageName(name)) return;
    std::vector<uint8_t> bytes;
    if (!ImageBytes(name, bytes) || bytes.empty()) return;
    TBitmap* bmp = DecodeSkinImage(name, bytes.data(), bytes.size());
    m_.MasterBitmap = bmp;
    // painting reads the master bitmap as opaque 32-bit pixels
    TPixelPlane p = PlaneOf(bmp);
    for (int y = 0; y < p.Height; ++y) {
      uint32_t* row = p.Row32(y);
      for (int x = 0; x < p.Width; ++x) row[x] |= 0xFF000000u;
    }
  }

  // ---- masks ----
  static bool IsMaskValue(const std::string& up) {
    if (up.empty()) return false;
    char c = up[0];
    return c == '@' || c == '^' || c == '!' || c == '~' || up.find(".JPG") != std::string::npos ||
           up.find(".BMP") != std::string::npos;
  }

  // An element outside its bitmap, or in a master bitmap the skin lacks, is left out as a missing image is:
  // painting must never read beyond a bitmap, and one bad element should not cost the whole skin.
  static bool InsideBitmap(const TsMaskData& md, TBitmap* bmp) {
    if (!bmp) return false;
    const TRect& r = md.R;
    return r.Left >= 0 && r.Top >= 0 && r.Right <= bmp->Width() && r.Bottom <= bmp->Height() && r.Left <= r.Right &&
           r.Top <= r.Bottom;
  }

  // Borders of a third of a frame; false when the element has no frames to take them from, which leaves the
  // element out by the rule above.
  static bool DeriveBorders(TsMaskData& md) {
    if (md.ImageCount <= 0 || md.MaskType + 1 <= 0) return false;
    if (!Fits16(Width(md.R) / (md.ImageCount * 3), md.WL) || !Fits16(Height(md.R) / ((md.MaskType + 1) * 3), md.WT))
      return false;
    md.WR = md.WL;
    md.WB = md.WT;
    return true;
  }

  void ReadRect(TsMaskData& md, const std::string& up, const std::string& where) {
    md.R.Left = Digits(up, 2, 4, where);
    md.R.Top = Digits(up, 7, 4, where);
    md.R.Right = Digits(up, 12, 4, where);
    md.R.Bottom = Digits(up, 17, 4, where);
  }

  void ReadMasks() {
    const auto& names = ini_.SectionNames();
    for (size_t si = 0; si < names.size(); ++si) {
      const std::string& sec = names[si];
      const auto& keys = ini_.Keys(sec);
      for (const auto& kv : keys) {
        const std::string& key = kv.first;
        if (sec == "GLOBALINFO" && key == "MASTERBITMAP") continue;
        std::string up = UpperCase(kv.second);
        if (!IsMaskValue(up)) continue;
        char c = up[0];
        bool nineOrFile = c == '^' || c == '!' || (c != '@' && c != '~');
        if (nineOrFile) {
          if (key.find('*') != std::string::npos) continue;  // only the variant of the current scale
          if (scale_ > 0 && ini_.ValueExists(sec, key + kScaleSuffix[scale_]))
            up = UpperCase(ini_.ReadString(sec, key + kScaleSuffix[scale_], ""));
          if (!IsMaskValue(up)) continue;
          c = up[0];
        }
        ReadMask(static_cast<int>(si), sec, key, up);
      }
    }
  }

  void ReadMask(int si, const std::string& sec, const std::string& key, const std::string& up) {
    std::string where = sec + "." + key;
    TsMaskData md;
    char c = up[0];
    if (c == '@') {
      ReadRect(md, up, where);
      md.ImageCount = static_cast<int16_t>(Digits(up, 22, 1, where));
      md.MaskType = static_cast<int16_t>(Digits(up, 24, 1, where));
      md.MaskKind = mkMasterImage;
      if (!InsideBitmap(md, m_.MasterBitmap)) return;
    } else if (c == '^') {
      ReadRect(md, up, where);
      md.WL = static_cast<int16_t>(Digits(up, 22, 4, where));
      md.WT = static_cast<int16_t>(Digits(up, 27, 4, where));
      md.WR = static_cast<int16_t>(Digits(up, 32, 4, where));
      md.WB = static_cast<int16_t>(Digits(up, 37, 4, where));
      md.ImageCount = static_cast<int16_t>(Digits(up, 42, 1, where));
      md.MaskType = static_cast<int16_t>(Digits(up, 44, 1, where));
      md.DrawMode = static_cast<int16_t>(Digits(up, 46, 1, where));
      md.BorderWidth = static_cast<int16_t>(Digits(up, 48, 1, where));
      auto words = Words(up, '!');
      md.MaskKind = static_cast<uint8_t>(words.size() > 3 ? std::clamp(WordToInt(words[3]), 0, 4) : 0);
      if (!InsideBitmap(md, m_.MasterBitmap)) return;
      if (md.WL + md.WT + md.WR + md.WB == 0) {
        if (md.BorderWidth != 0)
          md.WL = md.WT = md.WR = md.WB = md.BorderWidth;
        else if (!DeriveBorders(md))
          return;
      }
    } else if (c == '~') {
      ReadRect(md, up, where);
      md.DrawMode = static_cast<int16_t>(Digits(up, 22, 2, where));
      md.MaskType = static_cast<int16_t>(up.size() >= 25 ? Digits(up, 25, 1, where) : 0);
      md.ImageCount = 1;
      md.MaskKind = mkTexture;
      TBitmap* src = m_.MasterBitmap;
      if (up.size() > 26) {
        auto words = Words(up, '~');
        // a missing or unnamed image adds no element
        src = words.size() < 7 ? nullptr : Image(words[6]);
        if (!src) return;
        md.Bmp = src;
      }
      if (!InsideBitmap(md, src)) return;
    } else {
      auto words = Words(up, '!');
      if (words.empty()) return;
      auto word = [&](size_t i) { return i < words.size() ? WordToInt(words[i]) : 0; };
      // counts below zero and numbers beyond their 16-bit fields leave the element out
      if (!Fits16(word(1), md.ImageCount) || !Fits16(word(2), md.MaskType) || md.ImageCount < 0 || md.MaskType < -1)
        return;
      if (words.size() > 4 && (!Fits16(word(4), md.WL) || !Fits16(word(5), md.WT) || !Fits16(word(6), md.WR) ||
                               !Fits16(word(7), md.WB) || !Fits16(words.size() > 8 ? word(8) : 0, md.DrawMode)))
        return;
      md.MaskKind = static_cast<uint8_t>(std::clamp(word(3), 0, 4));
      TBitmap* img = Image(words[0]);
      if (!img) return;  // a missing or empty image, or one of a type the loader does not read, adds no element
      md.Bmp = img;
      md.R = TRect(0, 0, img->Width(), img->Height());
      if (words.size() <= 4 && !DeriveBorders(md)) return;
    }
    int index = m_.AddMask(si, key, md.ImageCount, md.MaskType, md.DrawMode, md.R, md.MaskKind, sec, s_.Manager);
    TsMaskData& added = m_.ma[index];
    added.Bmp = md.Bmp;
    added.BorderWidth = md.BorderWidth;
    added.WL = md.WL;
    added.WT = md.WT;
    added.WR = md.WR;
    added.WB = md.WB;
  }

  void FinishMasks() {
    for (auto& md : m_.ma) {
      int w = Width(md.R), h = Height(md.R);
      md.Width = md.ImageCount == 0 ? 0 : md.ImageCount == 1 ? w : w / md.ImageCount;
      md.Height = md.MaskType == -1 ? 0 : md.MaskType == 0 ? h : md.MaskType == 1 ? h / 2 : h / (md.MaskType + 1);
    }
    for (auto& md : m_.ma) {
      if (md.ImageCount != 0) continue;
      // one frame now: the whole width, or painters would take the element for an empty one
      md.ImageCount = 1;
      md.Width = Width(md.R);
      // a side without a width takes BorderWidth, else a third of that frame as derived borders do (the whole
      // frame would make bands that span the element and overlap)
      auto fix = [&](int16_t& w, int frame) {
        if (w < 1) w = static_cast<int16_t>(md.BorderWidth >= 1 ? md.BorderWidth : std::min(frame / 3, SHRT_MAX));
      };
      fix(md.WT, md.Height);
      fix(md.WB, md.Height);
      fix(md.WL, md.Width);
      fix(md.WR, md.Width);
    }
    for (auto& md : m_.ma) {
      if (md.MaskKind != mkNinePart) continue;
      if (md.ClassName == "BUTTON_HUGE" && md.PropertyName == "BORDERSMASK")
        md.CornerType = 2;
      else
        md.CornerType = CornerHasKey(md) ? 1 : 0;
    }
  }

  bool CornerHasKey(const TsMaskData& md) {
    if (Width(md.R) <= 0 || Height(md.R) <= 0) return false;
    TPixelPlane p = PlaneOf(md.Bmp ? md.Bmp : m_.MasterBitmap);
    if (p.Empty()) return false;
    auto scan = [&](int x0, int y0, int w, int h) {
      for (int y = std::max(y0, 0); y < std::min(y0 + h, p.Height); ++y)
        for (int x = std::max(x0, 0); x < std::min(x0 + w, p.Width); ++x)
          if ((p.At(x, y) & 0xFFFFFF) == kKey) return true;
      return false;
    };
    int frames = std::max<int>(md.ImageCount, 1);
    for (int f = 0; f < frames; ++f) {
      int sx = md.R.Left + f * md.Width, sy = md.R.Top;
      if (scan(sx, sy, md.WL, md.WT) || scan(sx + md.Width - md.WR, sy, md.WR, md.WT) ||
          scan(sx, sy + md.Height - md.WB, md.WL, md.WB) ||
          scan(sx + md.Width - md.WR, sy + md.Height - md.WB, md.WR, md.WB))
        return true;
    }
    return false;
  }

  // ---- GLOBALINFO ----
  void ReadGlobalInfo() {
    const std::string g = "GLOBALINFO";
    TsSkinData& d = m_.SkinData;
    d.Author = ini_.ReadString(g, "AUTHOR", "");
    d.Description = ini_.ReadString(g, "DESCRIPTION", "");
    d.BorderWidth = ini_.ReadInteger(g, "BORDERWIDTH", 4);
    d.TitleHeight = ScaledInt(g, "TITLEHEIGHT", 30);
    if (d.TitleHeight <= 0) d.TitleHeight = 30;
    d.MaxHeight = ScaledInt(g, "MAXHEIGHT", 0);
    if (d.MaxHeight <= 0) d.MaxHeight = d.TitleHeight;
    d.CenterOffset = ScaledInt(g, "CENTEROFFSET", 0);
    d.FormOffset = ini_.ReadInteger(g, "FORMOFFSET", GetSystemMetrics(SM_CXFRAME));
    d.BorderMode = ini_.ReadInteger(g, "BORDERMODE", 0);
    d.BrightMin = ini_.ReadInteger(g, "BRIGHTMIN", -50);
    d.BrightMax = ini_.ReadInteger(g, "BRIGHTMAX", 50);
    d.AlignOffset = ini_.ReadInteger(g, "ALIGNOFFSET", 0);
    d.AlignOffsetR = ini_.ReadInteger(g, "ALIGNOFFSETR", d.AlignOffset);
    d.AlignOffsetT = ini_.ReadInteger(g, "ALIGNOFFSETT", d.AlignOffset);
    d.AlignOffsetB = ini_.ReadInteger(g, "ALIGNOFFSETB", d.AlignOffset);
    d.BISpace = ApplyScale(ini_.ReadInteger(g, "BISPACE", 0));
    d.BIVAlign = ini_.ReadInteger(g, "BIVALIGN", 0);
    d.BIRight = ini_.ReadInteger(g, "BIRIGHT", 0);
    d.BILeft = ini_.ReadInteger(g, "BILEFT", 0);
    d.BITop = ini_.ReadInteger(g, "BITOP", 0);
    d.BIKeepHue = ini_.ReadInteger(g, "BIKEEPHUE", 0);
    d.AeroBlur = ini_.ReadInteger(g, "AEROBLUR", 0) != 0;
    // bounded as a section's GLOWMARGIN
    for (int i = 0; i < 5; ++i)
      d.TitleGlowMargins[i] = std::clamp(ScaledInt(g, std::string(TitleMaskNames[i]) + "GLOWMARGIN", 0), 0, 255);
    d.TitleGlowCount = ini_.ReadInteger(g, "BICONCLOSEGLOW", 0);
    d.Shadow1Color = static_cast<uint32_t>(ini_.ReadInteger(g, "SHADOW1COLOR", 0));
    d.Shadow1Offset = ini_.ReadInteger(g, "SHADOW1OFFSET", 0);
    d.Shadow1Blur = ini_.ReadInteger(g, "SHADOW1BLUR", -1);
    d.Shadow1Transparency = ini_.ReadInteger(g, "SHADOW1TRANSPARENCY", 0);
    d.ComboMargin = ini_.ReadInteger(g, "COMBOMARGIN", 2);
    d.SliderMargin = ini_.ReadInteger(g, "SLIDERMARGIN", 1);

    m_.OuterEffects.assign(2, TvkOuterEffectData());
    ReadOuterEffect(m_.OuterEffects[0], "LO_", {0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF}, {2, 2, 2, 4}, 200);
    ReadOuterEffect(m_.OuterEffects[1], "SH_", {0, 0, 0, 0}, {3, 2, 3, 5}, 60);

    d.TabsCovering = ini_.ReadInteger("TABTOP", "TABSCOVERING", 0) != 0;
    d.RibbonTabsCovering = ini_.ReadInteger("RIBBONTAB", "TABSCOVERING", 0) != 0;
    d.ArrowStyle = static_cast<uint8_t>(ini_.ReadInteger(g, "ARROWSTYLE", 0));
  }

  // colours and offsets in the order left, top, right, bottom
  void ReadOuterEffect(TvkOuterEffectData& e, const std::string& p, std::array<int, 4> colors,
                       std::array<int, 4> offsets, int opacity) {
    const std::string g = "GLOBALINFO";
    e.ColorL = ini_.ReadInteger(g, p + "COLORL", colors[0]);
    e.ColorT = ini_.ReadInteger(g, p + "COLORT", colors[1]);
    e.ColorR = ini_.ReadInteger(g, p + "COLORR", colors[2]);
    e.ColorB = ini_.ReadInteger(g, p + "COLORB", colors[3]);
    e.OffsetL = ini_.ReadInteger(g, p + "OFFSETL", offsets[0]);
    e.OffsetT = ini_.ReadInteger(g, p + "OFFSETT", offsets[1]);
    e.OffsetR = ini_.ReadInteger(g, p + "OFFSETR", offsets[2]);
    e.OffsetB = ini_.ReadInteger(g, p + "OFFSETB", offsets[3]);
    e.WidthL = ini_.ReadInteger(g, p + "WIDTHL", -1);
    e.WidthT = ini_.ReadInteger(g, p + "WIDTHT", -1);
    e.WidthR = ini_.ReadInteger(g, p + "WIDTHR", -1);
    e.WidthB = ini_.ReadInteger(g, p + "WIDTHB", -1);
    e.Source = ini_.ReadInteger(g, p + "SOURCE", 2);
    e.Opacity = ini_.ReadInteger(g, p + "OPACITY", opacity);
    if (e.Source == 0) {
      e.MaskIndex = -1;
    } else if (e.Source == 1) {
      e.MaskIndex = m_.FindMaskByNames(g, p + "MASK");
      if (e.MaskIndex >= 0) m_.ma[e.MaskIndex].CornerType = 0;
    } else {
      e.MaskIndex = GenerateOuterMask(e, p);
    }
  }

  // An element painted from the record's edge colours through the program's "BLUR5" image; -1 when the
  // program carries no such image.
  int GenerateOuterMask(TvkOuterEffectData& e, const std::string& p) {
    HBITMAP h = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), "BLUR5", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!h) return -1;
    BITMAP info{};
    GetObjectA(h, sizeof info, &info);
    int S = info.bmWidth;
    if (S < 2 || info.bmHeight < 1) {
      DeleteObject(h);
      return -1;
    }
    std::vector<uint32_t> blur(static_cast<size_t>(S) * S, 0);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = S;
    bi.bmiHeader.biHeight = -S;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, h, 0, std::min(S, static_cast<int>(info.bmHeight)), blur.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(h);
    int half = S / 2;
    for (int32_t* w : {&e.WidthL, &e.WidthT, &e.WidthR, &e.WidthB})
      if (*w == -1) *w = half;
    TBitmap* bmp = NewBitmap32(S, 2 * S);
    m_.Images.push_back({p + "BLUR5", bmp, true});
    TPixelPlane pl = PlaneOf(bmp);
    for (int y = 0; y < S; ++y)
      for (int x = 0; x < S; ++x) {
        // the nearest edge gives the colour; the blur image's brightness is how much of it shows
        int dl = x, dr = S - 1 - x, dt = y, db = S - 1 - y;
        int m = std::min({dl, dr, dt, db});
        uint32_t c = m == dt ? e.ColorT : m == db ? e.ColorB : m == dl ? e.ColorL : e.ColorR;
        pl.At(x, y) = 0xFF000000u | SwapRedBlue(c & 0xFFFFFF);
        uint32_t g = 255 - PixelGray(blur[static_cast<size_t>(y) * S + x]);
        pl.At(x, y + S) = 0xFF000000u | g | (g << 8) | (g << 16);
      }
    int index = m_.AddMask(IndexOfTextSection("GLOBALINFO"), p + "MASK", 1, 1, 1, TRect(0, 0, S, 2 * S), mkNinePart,
                           "GLOBALINFO", s_.Manager);
    TsMaskData& md = m_.ma[index];
    md.Bmp = bmp;
    md.WL = md.WT = md.WR = md.WB = md.BorderWidth = static_cast<int16_t>(half);
    md.Width = S;
    md.Height = S;
    return index;
  }

  int IndexOfTextSection(const std::string& name) {
    const auto& n = ini_.SectionNames();
    for (size_t i = 0; i < n.size(); ++i)
      if (n[i] == name) return static_cast<int>(i);
    return -1;
  }

  // ---- sections ----
  // Reads one state's keys; Base supplies what a key does not say (the default record, or the parent
  // record of a common section).
  TsGenState ReadState(const TvkSkinIni& ini, const std::string& sec, int st, const TsGenState& base,
                       bool inherit) {
    const TStateKeys& k = kStateKeys[st];
    TsGenState r = base;
    auto num = [&](const char* key, int def) {
      if (inherit) return Inherited(ini, sec, key, def);
      int v = ini.ReadInteger(sec, key, -1);
      return v >= 0 ? v : def;
    };
    r.Color = static_cast<uint32_t>(num(k.Color, static_cast<int>(base.Color)));
    r.FontColor = static_cast<uint32_t>(num(k.FontColor, static_cast<int>(base.FontColor)));
    r.TCLeft = num(k.TCLeft, base.TCLeft);
    r.TCTop = num(k.TCTop, base.TCTop);
    r.TCRight = num(k.TCRight, base.TCRight);
    r.TCBottom = num(k.TCBottom, base.TCBottom);
    r.GlowColor = static_cast<uint32_t>(num(k.GlowColor, static_cast<int>(base.GlowColor)));
    r.GlowSize = num(k.GlowSize, base.GlowSize);
    r.GradientPercent = num(k.GradientPercent, base.GradientPercent);
    r.ImagePercent = num(k.ImagePercent, base.ImagePercent);
    r.Transparency = num(k.Transparency, base.Transparency);
    std::string grad = inherit ? InheritedStr(ini, sec, k.GradientData, "?") : ini.ReadString(sec, k.GradientData, "?");
    if (grad != "?") {
      r.GradientArray.clear();
      ParseGradientData(grad, r.GradientArray);
    }
    return r;
  }

  TsGeneralData ReadSection(const TvkSkinIni& ini, const std::string& name, const TsGeneralData* parent) {
    TsGeneralData g;
    g.ClassName = name;
    g.ParentClass = ini.ReadString(name, "PARENTCLASS", "");
    // a common section's parent was found upper-cased; mask lookups through it compare names exactly
    if (parent != nullptr) g.ParentClass = UpperCase(g.ParentClass);
    bool inherit = parent == nullptr;
    auto num = [&](const char* key, int def, int max, bool noDefault = false) {
      if (inherit) return Inherited(ini, name, key, def, max, noDefault);
      int v = ini.ReadInteger(name, key, -1);
      return std::min(v >= 0 ? v : def, max);
    };
    auto flag = [&](const char* key, bool def) {
      std::string v = inherit ? InheritedStr(ini, name, key, "?") : ini.ReadString(name, key, "?");
      return v == "?" ? def : IsTrue(v);
    };
    g.GiveOwnFont = flag("GIVEOWNFONT", parent ? parent->GiveOwnFont : false);
    g.ReservedBoolean = flag("RESERVEDBOOLEAN", parent ? parent->ReservedBoolean : false);
    g.Glow = num("GLOW", parent ? parent->Glow : 0, 255);
    g.GlowMargin = num("GLOWMARGIN", parent ? parent->GlowMargin : 0, 255);
    g.States = num("STATES", parent ? parent->States : 3, 255);
    // painters index the states by States - 1
    if (g.States < 1) g.States = 1;
    g.OutOffsL = num("OUTOFFSL", parent ? parent->OutOffsL : -1, 255, true);
    g.OutOffsT = num("OUTOFFST", parent ? parent->OutOffsT : -1, 255, true);
    g.OutOffsR = num("OUTOFFSR", parent ? parent->OutOffsR : -1, 255, true);
    g.OutOffsB = num("OUTOFFSB", parent ? parent->OutOffsB : -1, 255, true);
    if (parent) {
      for (int* v : {&g.OutOffsL, &g.OutOffsT, &g.OutOffsR, &g.OutOffsB})
        if (*v < 0) *v = -1;
    }
    g.OuterOpacity = num("OUTOPACITY", parent ? parent->OuterOpacity : 200, 255);
    g.OuterMode = num("OUTERMODE", parent ? parent->OuterMode : 2, INT_MAX);
    // the mode picks one of the two outer effects (1 outline, 2 shadow); anything else means none
    if (g.OuterMode > 2) g.OuterMode = 0;
    const TsGenState& def = DefaultGenState();
    g.Props[0] = ReadState(ini, name, 0, parent ? parent->Props[0] : def, inherit);
    if (g.States > 1)
      g.Props[1] = ReadState(ini, name, 1, parent ? parent->Props[1] : def, inherit);
    else
      g.Props[1] = g.Props[0];
    // the section's own key only: the third state is never inherited through PARENTCLASS
    const int state2 = ini.ReadInteger(name, "USESTATE2", -1);
    g.UseState2 = state2 >= 0 ? state2 == 1 : parent && parent->UseState2;
    if (g.UseState2)
      g.Props[2] = ReadState(ini, name, 2, parent ? parent->Props[2] : def, inherit);
    else
      g.Props[2] = g.Props[1];
    return g;
  }

  void ReadSections() {
    for (const auto& name : ini_.SectionNames()) m_.gd.push_back(ReadSection(ini_, name, nullptr));
  }

  void ReadCommonSections() {
    if (s_.CommonSections.empty()) return;
    TvkSkinIni common(s_.CommonSections);
    for (const auto& name : common.SectionNames()) {
      std::string up = UpperCase(name);
      bool exists = false;
      for (const auto& g : m_.gd)
        if (UpperCase(g.ClassName) == up) exists = true;
      if (exists) continue;
      int p = m_.FindSectionIndex(UpperCase(common.ReadString(name, "PARENTCLASS", "")));
      if (p >= 0) {
        TsGeneralData parent = m_.gd[p];
        m_.gd.push_back(ReadSection(common, name, &parent));
      } else {
        m_.gd.push_back(ReadSection(common, name, nullptr));
      }
    }
  }

  // ---- palette ----
  uint32_t Mix(uint32_t a, uint32_t b, uint32_t w) {
    uint32_t r = 0;
    for (int sh = 0; sh < 24; sh += 8) {
      uint32_t ca = (a >> sh) & 0xFF, cb = (b >> sh) & 0xFF;
      r |= (((ca * w + cb * (255 - w)) >> 8) & 0xFF) << sh;
    }
    return r;
  }

  void FillPalette() {
    const std::string g = "GLOBALINFO";
    auto& P = m_.Palette;
    auto rgb = [](uint32_t c) { return static_cast<uint32_t>(ColorToRGB(c)); };
    P[pcMainColor] = static_cast<uint32_t>(ini_.ReadInteger(g, "COLOR", static_cast<int>(rgb(clBtnFace))));
    P[pcLabelText] = static_cast<uint32_t>(ini_.ReadInteger(g, "FONTCOLOR", 0));
    P[pcTCBottom] = static_cast<uint32_t>(ini_.ReadInteger(g, "TCBOTTOM", 0xFF0000));
    P[pcTCTop] = static_cast<uint32_t>(ini_.ReadInteger(g, "TCTOP", 0x0000FF));
    P[pcBorder] = static_cast<uint32_t>(ini_.ReadInteger(g, "BORDERCOLOR", 0));
    // a section's normal text and background colours, or the system's where the skin has no such section
    auto sectionColors = [&](const char* section, int textEntry, int bgEntry, uint32_t sysText, uint32_t sysBG) {
      int i = m_.FindSectionIndex(section);
      P[textEntry] = rgb(i >= 0 ? m_.gd[i].Props[0].FontColor : sysText);
      P[bgEntry] = rgb(i >= 0 ? m_.gd[i].Props[0].Color : sysBG);
    };
    sectionColors("EDIT", pcEditText, pcEditBG, clWindowText, clWindow);
    sectionColors("HINT", pcHintText, pcHintBG, clInfoText, clInfoBk);
    int sel = m_.FindSectionIndex("SELECTION");
    if (sel >= 0) {
      const TsGeneralData& s = m_.gd[sel];
      int f = s.States > 1 ? 1 : 0;
      P[pcSelectionBGNormal] = s.Props[0].Color;
      P[pcSelectionTextNormal] = s.Props[0].FontColor;
      P[pcSelectionBGFocused] = s.Props[f].Color;
      P[pcSelectionTextFocused] = s.Props[f].FontColor;
    } else {
      P[pcSelectionBGNormal] = P[pcSelectionTextNormal] = P[pcSelectionBGFocused] = P[pcSelectionTextFocused] =
          kNoPaletteColor;
    }
    if (P[pcSelectionTextNormal] == kNoPaletteColor || P[pcSelectionTextNormal] == 0xFF00FF) {
      int mi = m_.FindSectionIndex("MENUITEM");
      if (mi >= 0) {
        const TsGenState& hot = m_.gd[mi].Props[1];
        uint32_t text = hot.FontColor;
        P[pcSelectionBGNormal] = P[pcSelectionBGFocused] = hot.Color;
        text = (text == kNoPaletteColor || text == 0xFF00FF) ? rgb(clHighlightText) : rgb(text);
        P[pcSelectionTextNormal] = P[pcSelectionTextFocused] = text;
      } else {
        P[pcSelectionTextNormal] = P[pcSelectionTextFocused] = rgb(clHighlightText);
        P[pcSelectionBGNormal] = P[pcSelectionBGFocused] = rgb(clHighlight);
      }
    }
    auto rd = [&](const char* key, uint32_t def) { return static_cast<uint32_t>(ini_.ReadInteger(g, key, static_cast<int>(def))); };
    P[pcEditTextOk] = rd("EDITTEXT_OK", 0x008000);
    P[pcEditTextWarn] = rd("EDITTEXT_WARN", 0x008484);
    // the further alert entries are read from the same key (see the skin text rules)
    P[pcEditTextAlert] = rd("EDITTEXT_ALERT", 0x0000FF);
    P[pcEditTextAlert2] = rd("EDITTEXT_ALERT", 0x8597D9);
    P[pcEditTextAlert3] = rd("EDITTEXT_ALERT", 0x4AB28F);
    P[pcEditBGOk] = rd("EDITBG_OK", 0x6CC2A5);
    P[pcEditBGWarn] = rd("EDITBG_WARN", 0x40FFFF);
    P[pcEditBGAlert] = rd("EDITBG_ALERT", 0x95A7E9);
    P[pcEditBGAlert2] = rd("EDITBG_ALERT", 0x8597D9);
    P[pcEditBGAlert3] = rd("EDITBG_ALERT", 0x4AB28F);
    P[pcEditTextH1] = rd("EDITTEXT_H1", 0);
    P[pcEditTextH2] = rd("EDITTEXT_H2", 0);
    P[pcEditTextH3] = rd("EDITTEXT_H3", 0);
    P[pcEditTextInv] = rd("EDITTEXT_INV", P[pcEditBG]);
    P[pcEditBGInv] = rd("EDITBG_INV", P[pcEditText]);
    P[pcEditBGOdd] = rd("EDITBG_ODD", P[pcEditBG]);
    P[pcEditBGEven] = rd("EDITBG_EVEN", Mix(P[pcEditText], P[pcEditBG], 0x0D));
    auto rd64 = [&](const char* key, uint32_t def) {
      std::string v = ini_.ReadString(g, key, "");
      int64_t n;
      return (!v.empty() && TryStrToInt64(v, n)) ? static_cast<uint32_t>(n) : def;
    };
    uint32_t base = P[pcMainColor] & 0xFFFFFF;
    const uint32_t opaque = 0xFF000000u;
    P[pcBtnColor1Active] = rd64("BTNCOLOR1ACTIVE", opaque | Mix(base, 0xFFFFFF, 0xB1));
    P[pcBtnColor2Active] = rd64("BTNCOLOR2ACTIVE", opaque | base);
    P[pcBtnBorderActive] = rd("BTNBORDERACTIVE", P[pcBorder]);
    P[pcBtnFontActive] = rd("BTNFONTACTIVE", P[pcLabelText]);
    P[pcBtnColor1Normal] = rd64("BTNCOLOR1NORMAL", opaque | base);
    P[pcBtnColor2Normal] = rd64("BTNCOLOR2NORMAL", opaque | Mix(base, 0, 0xF4));
    P[pcBtnBorderNormal] = rd("BTNBORDERNORMAL", P[pcBorder]);
    P[pcBtnFontNormal] = rd("BTNFONTNORMAL", P[pcLabelText]);
    P[pcBtnColor1Pressed] = rd64("BTNCOLOR1PRESSED", opaque | Mix(base, 0, 0xE9));
    P[pcBtnColor2Pressed] = rd64("BTNCOLOR2PRESSED", opaque | Mix(base, 0, 0xE9));
    P[pcBtnBorderPressed] = rd("BTNBORDERPRESSED", P[pcBorder]);
    P[pcBtnFontPressed] = rd("BTNFONTPRESSED", P[pcLabelText]);
    int grid = ini_.ReadInteger(g, "GRIDLINE", -1);
    P[pcGridLine] = grid == -1 ? Mix(P[pcEditText], P[pcEditBG], 0x1E) : static_cast<uint32_t>(grid);
  }

  void AddBuiltInSections() {
    uint32_t font = m_.Palette[pcLabelText];
    if (m_.FindSectionIndex("TRANSPARENT") < 0) m_.AddSection("TRANSPARENT", -1, font, 0xFFFFFF, 100, 1);
    if (m_.FindSectionIndex("MAINCOLOR") < 0) m_.AddSection("MAINCOLOR", -1, font, m_.Palette[pcMainColor], 0, 1);
  }

  // ---- colour adjustments ----
  template <class Fn> void ForEachSkinColor(Fn fn, bool withPalette) {
    for (auto& g : m_.gd)
      for (auto& st : g.Props) {
        for (uint32_t* c : {&st.Color, &st.GlowColor, &st.FontColor})
          if (*c != kNoPaletteColor) *c = fn(*c);
        for (int* c : {&st.TCLeft, &st.TCTop, &st.TCRight, &st.TCBottom})
          if (*c != -1) *c = static_cast<int>(fn(static_cast<uint32_t>(*c)));
        for (auto& item : st.GradientArray) item.Color = (item.Color & 0xFF000000u) | (fn(item.Color & 0xFFFFFF) & 0xFFFFFF);
      }
    if (!withPalette) return;
    m_.SkinData.Shadow1Color = fn(m_.SkinData.Shadow1Color);
    for (int i : {pcMainColor, pcLabelText, pcTCBottom, pcBorder, pcEditText, pcEditBG, pcSelectionBGNormal,
                  pcSelectionTextNormal, pcSelectionBGFocused, pcSelectionTextFocused, pcHintText, pcHintBG,
                  pcEditTextInv, pcEditBGInv, pcEditBGOdd, pcEditBGEven, pcBtnColor1Active, pcBtnColor2Active,
                  pcBtnBorderActive, pcBtnFontActive, pcBtnColor1Normal, pcBtnColor2Normal, pcBtnBorderNormal,
                  pcBtnFontNormal, pcBtnColor1Pressed, pcBtnColor2Pressed, pcBtnBorderPressed, pcBtnFontPressed,
                  pcGridLine}) {
      uint32_t& c = m_.Palette[i];
      if (c != kNoPaletteColor) c = (c & 0xFF000000u) | (fn(c & 0xFFFFFF) & 0xFFFFFF);
    }
  }

  // Pixels of a bitmap, key pixels untouched.
  template <class Fn> static void ForEachPixel(TBitmap* bmp, Fn fn) {
    TPixelPlane p = PlaneOf(bmp);
    for (int y = 0; y < p.Height; ++y) {
      uint32_t* row = p.Row32(y);
      for (int x = 0; x < p.Width; ++x)
        if ((row[x] & 0xFFFFFF) != kKey) row[x] = (row[x] & 0xFF000000u) | (fn(row[x]) & 0xFFFFFF);
    }
  }

  // Rectangles of the master bitmap and images that keep their hue (BIKEEPHUE).
  void KeptElements(std::vector<TRect>& masterRects, std::vector<TBitmap*>& images) {
    int keep = m_.SkinData.BIKeepHue;
    if (keep <= 0) return;
    std::vector<std::string> names = {"BICONCLOSE", "BICLOSEALONE", "SICONCLOSE"};
    if (keep == 1)
      for (const char* n : {"BICONMAX", "BICONMIN", "BICONNORM", "BICONHELP", "SICONMAX", "SICONMIN", "SICONNORM"})
        names.push_back(n);
    for (const auto& n : names)
      for (const std::string& key : {n, n + "GLOW0"}) {
        int i = m_.FindMaskByNames("GLOBALINFO", key);
        if (i < 0) continue;
        if (m_.ma[i].Bmp)
          images.push_back(m_.ma[i].Bmp);
        else
          masterRects.push_back(m_.ma[i].R);
      }
  }

  template <class Fn> void AdjustImages(Fn fn, bool keepHue) {
    std::vector<TRect> keptRects;
    std::vector<TBitmap*> keptImages;
    if (keepHue) KeptElements(keptRects, keptImages);
    if (m_.MasterBitmap) {
      TPixelPlane p = PlaneOf(m_.MasterBitmap);
      std::vector<uint32_t> saved;
      for (const TRect& r : keptRects)
        for (int y = std::max<int>(r.Top, 0); y < std::min<int>(r.Bottom, p.Height); ++y)
          for (int x = std::max<int>(r.Left, 0); x < std::min<int>(r.Right, p.Width); ++x) saved.push_back(p.At(x, y));
      ForEachPixel(m_.MasterBitmap, fn);
      size_t i = 0;
      for (const TRect& r : keptRects)
        for (int y = std::max<int>(r.Top, 0); y < std::min<int>(r.Bottom, p.Height); ++y)
          for (int x = std::max<int>(r.Left, 0); x < std::min<int>(r.Right, p.Width); ++x) p.At(x, y) = saved[i++];
    }
    for (auto& img : m_.Images)
      if (!img.Generated && std::find(keptImages.begin(), keptImages.end(), img.Bmp) == keptImages.end())
        ForEachPixel(img.Bmp, fn);
  }

  void AdjustColors() {
    if (s_.HueOffset != 0) {
      int deg = s_.HueOffset;
      AdjustImages([deg](uint32_t px) { return ShiftPixelHue(deg, px); }, true);
      ForEachSkinColor([deg](uint32_t c) { return RotateColorHue(deg, c); }, true);
    }
    if (s_.Saturation != 0) {
      int amount = std::clamp(s_.Saturation * 255 / 100, -255, 255);
      AdjustImages([amount](uint32_t px) { return AdjustColorSaturation(px, amount); }, false);
      // colours are 0x00BBGGRR, pixels 0x00RRGGBB
      ForEachSkinColor([amount](uint32_t c) { return SwapRedBlue(AdjustColorSaturation(SwapRedBlue(c), amount)); },
                       true);
    }
    if (s_.Brightness != 0) {
      int amount = std::clamp(s_.Brightness, -100, 100);
      TFreeHolder<TBitmap> copy;
      if (m_.MasterBitmap) {
        copy.reset(NewBitmap32(m_.MasterBitmap->Width(), m_.MasterBitmap->Height()));
        CopyBitmapFull(copy.get(), m_.MasterBitmap);
        ForEachPixel(m_.MasterBitmap, [amount](uint32_t px) { return AdjustColorBrightness(px, amount); });
        // mask bands keep their values
        TPixelPlane dst = PlaneOf(m_.MasterBitmap), src = PlaneOf(copy.get());
        for (const auto& md : m_.ma) {
          if (md.Bmp || md.MaskType != 1) continue;
          int top = md.R.Top + Height(md.R) / 2;
          for (int y = top; y < top + Height(md.R) / 2 && y < dst.Height; ++y)
            for (int x = std::max<int>(md.R.Left, 0); x < std::min<int>(md.R.Right, dst.Width); ++x)
              dst.At(x, y) = src.At(x, y);
        }
      }
      for (auto& img : m_.Images) {
        if (img.Generated) continue;
        ForEachPixel(img.Bmp, [amount](uint32_t px) { return AdjustColorBrightness(px, amount); });
        if (amount > 0) {
          // brightened images: newer skins carry alpha, older ones white key pixels
          if (m_.SkinData.Version >= 7.45)
            PremultiplyBitmapRect(img.Bmp, TRect(0, 0, img.Bmp->Width(), img.Bmp->Height()));
          else
            ClearWhiteKeyPixels(img.Bmp);
        }
      }
      // the palette as well, as hue and saturation change it: the system colours, the edit colours and the class
      // brushes it gives stay those of the brightened sections
      ForEachSkinColor([amount](uint32_t c) { return SwapRedBlue(AdjustColorBrightness(SwapRedBlue(c), amount)); },
                       true);
    }
  }

  // ---- constants ----
  int ApplyScale(int v) {
    switch (scale_) {
      case 1: return v + v / 4;
      case 2: return v + v / 2;
      case 3: return 2 * v;
      default: return v;
    }
  }

  // A GLOBALINFO image: its scaled variant, else the plain one (resampled when the scale is above 100).
  int GlobalImage(const std::string& name) {
    if (scale_ > 0) {
      int i = m_.FindMaskByNames("GLOBALINFO", name + kScaleSuffix[scale_]);
      if (i >= 0) return i;
    }
    int i = m_.FindMaskByNames("GLOBALINFO", name);
    if (i < 0 || scale_ == 0) return i;
    // "^" and "!" values were read from their scaled variant under the plain name already
    if (ini_.ValueExists("GLOBALINFO", name + kScaleSuffix[scale_])) return i;
    return ResampledCopy(i);
  }

  int ResampledCopy(int index) {
    TsMaskData md = m_.ma[index];
    TBitmap* src = md.Bmp ? md.Bmp : m_.MasterBitmap;
    int w = Width(md.R), h = Height(md.R);
    if (!src || w < 2 || h < 2) return index;
    TFreeHolder<TBitmap> part(NewBitmap32(w, h));
    TPixelPlane s = PlaneOf(src), d = PlaneOf(part.get());
    for (int y = 0; y < h; ++y) std::memcpy(d.Row32(y), s.Row32(md.R.Top + y) + md.R.Left, static_cast<size_t>(w) * 4);
    int nw = ApplyScale(w), nh = ApplyScale(h);
    TBitmap* out = NewBitmap32(nw, nh);
    m_.Images.push_back({md.PropertyName + kScaleSuffix[scale_] + "#", out});
    ResampleBitmap32(part.get(), out, nw, rfMitchell, nh);
    md.Bmp = out;
    md.R = TRect(0, 0, nw, nh);
    md.WL = static_cast<int16_t>(ApplyScale(md.WL));
    md.WT = static_cast<int16_t>(ApplyScale(md.WT));
    md.WR = static_cast<int16_t>(ApplyScale(md.WR));
    md.WB = static_cast<int16_t>(ApplyScale(md.WB));
    md.Width = md.ImageCount > 1 ? nw / md.ImageCount : nw;
    md.Height = md.MaskType == -1 ? 0 : nh / (md.MaskType + 1);
    int copy = m_.AddMask(md.SkinIndex, md.PropertyName + kScaleSuffix[scale_], md.ImageCount, md.MaskType, md.DrawMode,
                          md.R, md.MaskKind, md.ClassName, md.Manager);
    TsMaskData& added = m_.ma[copy];
    added.Bmp = md.Bmp;
    added.BorderWidth = md.BorderWidth;
    added.WL = md.WL;
    added.WT = md.WT;
    added.WR = md.WR;
    added.WB = md.WB;
    added.CornerType = md.CornerType;
    added.Width = md.Width;
    added.Height = md.Height;
    return copy;
  }

  TvkElementData Element(std::initializer_list<std::string> names) {
    TvkElementData e;
    for (const auto& n : names) {
      int i = m_.FindSectionIndex(n);
      if (i < 0 && GlobalImageExists(n) == false) continue;
      e.SectionName = n;
      e.SkinIndex = i;
      break;
    }
    if (e.SectionName.empty()) e.SectionName = *names.begin();
    e.MaskIndex = m_.FindMaskOfSection(e.SkinIndex, e.SectionName, "BORDERSMASK");
    int glyph = GlobalImage(e.SectionName);
    e.GlyphIndex = glyph >= 0 ? glyph : m_.FindMaskInherited(e.SkinIndex, "GLYPHMASK");
    e.TextureIndex = m_.FindMaskOfSection(e.SkinIndex, e.SectionName, "PATTERN");
    e.HotTextureIndex = m_.FindMaskOfSection(e.SkinIndex, e.SectionName, "HOTPATTERN");
    return e;
  }
  bool GlobalImageExists(const std::string& n) { return m_.FindMaskByNames("GLOBALINFO", n) >= 0; }

  void FillConstants() {
    TConstantSkinData& c = m_.ConstData;
    c.Clear();
    for (int i = 0; i < kTitleMaskCount; ++i) c.TitleMasks[i] = TitleMaskNames[i][0] ? GlobalImage(TitleMaskNames[i]) : -1;
    // one glow list per title button; a count beyond the elements the skin has cannot name more of them
    int glows = std::clamp(m_.SkinData.TitleGlowCount, 0, static_cast<int>(m_.ma.size()));
    for (int b = 0; b < 5; ++b)
      for (int k = 0; k < glows; ++k) c.TitleGlows[b].push_back(GlobalImage(std::string(TitleMaskNames[b]) + "GLOW" + std::to_string(k)));
    c.ProgVert = GlobalImage(ProgressImageNames[0]);
    c.ProgHorz = GlobalImage(ProgressImageNames[1]);
    c.TickVert = GlobalImage(TickImageNames[0]);
    c.TickHorz = GlobalImage(TickImageNames[1]);
    c.ExBorder = GlobalImage("EXBORDER");
    c.GripImage = GlobalImage("GRIPIMAGE");
    c.GripHorz = GlobalImage("GRIPHORZ");
    c.GripVert = GlobalImage("GRIPVERT");

    for (int i = 0; i < kStdSectionCount; ++i) c.Sections[i] = m_.FindSectionIndex(StdSectionNames[i]);

    for (size_t i = 0; i < m_.gd.size(); ++i) {
      TsGeneralData& g = m_.gd[i];
      int s = static_cast<int>(i);
      g.BorderIndex = m_.FindMaskInherited(s, "BORDERSMASK");
      g.OuterMask = m_.FindMaskInherited(s, "OUTERMASK");
      g.ImgTopLeft = m_.FindMaskInherited(s, "IMGTOPLEFT");
      g.ImgTopRight = m_.FindMaskInherited(s, "IMGTOPRIGHT");
      g.ImgBtmLeft = m_.FindMaskInherited(s, "IMGBTMLEFT");
      g.ImgBtmRight = m_.FindMaskInherited(s, "IMGBTMRIGHT");
      g.Props[0].TextureIndex = m_.FindTextureInherited(s, g.ClassName, "PATTERN");
      int hot = g.States > 1 ? m_.FindTextureInherited(s, g.ClassName, "HOTPATTERN") : -1;
      g.Props[1].TextureIndex = hot >= 0 ? hot : g.Props[0].TextureIndex;
      int third = (g.States > 2 && g.UseState2) ? m_.FindTextureInherited(s, g.ClassName, "PATTERN2") : -1;
      g.Props[2].TextureIndex = third >= 0 ? third : g.Props[1].TextureIndex;
      if ((g.ClassName == "EDIT" || g.ClassName == "ALPHAEDIT") && m_.MaskIndexInRange(g.BorderIndex)) {
        const TsMaskData& b = m_.ma[g.BorderIndex];
        g.BorderFlag = (b.WL <= 1 && b.WT <= 1 && b.WR <= 1 && b.WB <= 1) ? 1 : 0;
      }
    }

    // the last 14 slots fall back to another section, copied under the missing name
    for (int slot = kFirstFallbackSection; slot < kStdSectionCount; ++slot) {
      int fb = StdSectionFallback[slot - kFirstFallbackSection];
      if (c.Sections[slot] >= 0 || fb == slot) continue;
      int src = c.Sections[fb];
      c.Sections[slot] = src;
      if (src >= 0) m_.AddSection(StdSectionNames[slot], src, 0, 0, 0, 0);
    }

    for (int e = 0; e < seElementCount; ++e) {
      std::string n = StdElementNames[e];
      if (e >= seUpDownLeft && e <= seUpDownBottom)
        c.Elements[e] = Element({n, "UPDOWNBTN", "BUTTON"});
      else if (e == seComboBtn)
        c.Elements[e] = Element({n, "BUTTON"});
      else
        c.Elements[e] = Element({n});
    }
    int tb = m_.FindSectionIndex("TRACKBAR");
    c.TrackBar.SectionName = "TRACKBAR";
    c.TrackBar.SkinIndex = tb;
    c.TrackBar.MaskIndex = m_.FindMaskInherited(tb, "BORDERSMASK");
    c.TrackBar.TextureIndex = m_.FindMaskInherited(tb, "PATTERN");
    c.TrackBar.HotTextureIndex = m_.FindMaskInherited(tb, "HOTPATTERN");
    c.SliderChannel = m_.FindMaskInherited(tb, "SLIDERCHANNEL");
    c.SliderMask = GlobalImage("SLIDERMASK");
    c.SliderVMask = GlobalImage("SLIDERVMASK");

    MakeExtendedBorders();
  }

  void MakeExtendedBorders() {
    if (!s_.ExtendedBorders) return;
    int ex = m_.ConstData.ExBorder;
    if (ex < 0) {
      // the window shadows loaded at start-up stand in for the skin's own border
      if (ShadowBitmapActive == nullptr || ShadowBitmapInactive == nullptr) return;
      m_.ExtBorderActive = CopyOf(ShadowBitmapActive);
      m_.ExtBorderInactive = CopyOf(ShadowBitmapInactive);
      m_.ExtBorderMargins = TRect(9, 9, 9, 9);
      return;
    }
    const TsMaskData& md = m_.ma[ex];
    int fo = m_.SkinData.FormOffset;
    if (m_.SkinData.BorderMode != 0)
      m_.ExtBorderMargins = TRect(fo, fo, fo, fo);
    else
      m_.ExtBorderMargins = TRect(md.WL - fo, md.WT - fo, md.WR - fo, md.WB - fo);
    m_.ExtBorderInactive = FrameCopy(md, 0);
    m_.ExtBorderActive = FrameCopy(md, md.ImageCount > 1 ? 1 : 0);
  }

  TBitmap* FrameCopy(const TsMaskData& md, int frame) {
    TBitmap* src = md.Bmp ? md.Bmp : m_.MasterBitmap;
    TBitmap* out = NewBitmap32(md.Width, md.Height);
    TPixelPlane s = PlaneOf(src), d = PlaneOf(out);
    int sx = md.R.Left + frame * md.Width;
    for (int y = 0; y < d.Height && md.R.Top + y < s.Height; ++y)
      for (int x = 0; x < d.Width && sx + x < s.Width; ++x) d.At(x, y) = s.At(sx + x, md.R.Top + y);
    return out;
  }

  static TBitmap* CopyOf(TBitmap* src) {
    TBitmap* out = NewBitmap32(src->Width(), src->Height());
    CopyBitmapFull(out, src);
    return out;
  }

  TvkSkinModel& m_;
  TvkSkinIni ini_;
  const TvkSkinConvertor* packed_;
  std::string path_;
  const TvkSkinLoadSettings& s_;
  int scale_ = 0;
};

}  // namespace

double ParseSkinVersion(const std::string& Text) {
  double v = 0, frac = 0.1;
  size_t i = 0;
  bool any = false;
  while (i < Text.size() && Text[i] >= '0' && Text[i] <= '9') {
    v = v * 10 + (Text[i++] - '0');
    any = true;
  }
  if (i < Text.size() && Text[i] == '.') {
    ++i;
    while (i < Text.size() && Text[i] >= '0' && Text[i] <= '9') {
      v += (Text[i++] - '0') * frac;
      frac /= 10;
      any = true;
    }
  }
  if (!any || i != Text.size()) return 0;
  return v;
}

void ReadSkin(TvkSkinModel& Model, const std::string& SkinText, const TvkSkinConvertor* Packed,
              const std::string& SkinPath, const TvkSkinLoadSettings& Settings) {
  Model.Clear();
  try {
    TSkinReader(Model, SkinText, Packed, SkinPath, Settings).Run();
    for (int i = 0; i < 6; ++i) {
      static const int kBrushColors[6] = {pcMainColor, pcLabelText, pcTCBottom, pcTCTop, pcEditText, pcEditBG};
      Model.Brushes[i] = AcquireSkinBrush(Model.Palette[kBrushColors[i]] & 0xFFFFFF);
      if (Model.Brushes[i] == nullptr) throw EOutOfResources("Out of system resources");
    }
  } catch (...) {
    Model.Clear();
    throw;
  }
}
