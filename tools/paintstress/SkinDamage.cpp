#include "tools/paintstress/SkinDamage.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <tuple>

namespace {

std::vector<uint8_t> ReadAll(const std::string& Path) {
  std::ifstream F(Path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(F)), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& Path, const void* Data, size_t Size) {
  std::ofstream F(Path, std::ios::binary | std::ios::trunc);
  F.write(static_cast<const char*>(Data), static_cast<std::streamsize>(Size));
}

// The skin text as lines (without their ends) and its sections as ranges of them.
struct TSkinText {
  std::vector<std::string> Lines;

  explicit TSkinText(const std::string& Text) {
    size_t Start = 0;
    while (Start <= Text.size()) {
      size_t End = Text.find('\n', Start);
      if (End == std::string::npos) End = Text.size();
      std::string Line = Text.substr(Start, End - Start);
      if (!Line.empty() && Line.back() == '\r') Line.pop_back();
      Lines.push_back(Line);
      Start = End + 1;
    }
  }
  std::string Joined() const {
    std::string Out;
    for (const std::string& L : Lines) Out += L + "\r\n";
    return Out;
  }
  static bool IsHeader(const std::string& L) { return L.size() > 2 && L.front() == '[' && L.back() == ']'; }
  // The section names in order, with the line of each header.
  std::vector<std::pair<std::string, size_t>> Sections() const {
    std::vector<std::pair<std::string, size_t>> Out;
    for (size_t i = 0; i < Lines.size(); ++i)
      if (IsHeader(Lines[i])) Out.emplace_back(Lines[i].substr(1, Lines[i].size() - 2), i);
    return Out;
  }
  // The value lines (KEY=VALUE) whose value begins with one of Firsts.
  std::vector<size_t> ValueLines(const char* Firsts) const {
    std::vector<size_t> Out;
    for (size_t i = 0; i < Lines.size(); ++i) {
      const size_t Eq = Lines[i].find('=');
      if (Eq == std::string::npos || Lines[i][0] == ';' || Eq + 1 >= Lines[i].size()) continue;
      if (std::strchr(Firsts, Lines[i][Eq + 1]) != nullptr) Out.push_back(i);
    }
    return Out;
  }
  // Key = Value in the section whose header is at Header: replaced where it stands, else added under it.
  void Set(size_t Header, const std::string& Key, const std::string& Value) {
    for (size_t i = Header + 1; i < Lines.size() && !IsHeader(Lines[i]); ++i)
      if (Lines[i].compare(0, Key.size() + 1, Key + "=") == 0) {
        Lines[i] = Key + "=" + Value;
        return;
      }
    Lines.insert(Lines.begin() + static_cast<long>(Header) + 1, Key + "=" + Value);
  }
};

template <class T, size_t N> const T& Pick(std::mt19937& Rng, const T (&List)[N]) { return List[Rng() % N]; }
int Below(std::mt19937& Rng, int N) { return N > 0 ? static_cast<int>(Rng() % static_cast<unsigned>(N)) : 0; }

// A number written into a fixed-width field of a mask value, kept to that width so that the value still reads.
std::string Field(long long V, size_t Width) {
  std::string S = std::to_string(std::max(0LL, V));
  if (S.size() > Width) S = std::string(Width, '9');
  return std::string(Width - S.size(), '0') + S;
}

// One field of a "^", "@" or "~" value set to a value at a limit; the fields keep their widths.
std::string DamageFixedMask(const std::string& Value, std::mt19937& Rng, std::string& What) {
  const char Sep = Value[0];
  std::vector<std::string> F;
  size_t Start = 1;
  while (Start <= Value.size()) {
    size_t End = Value.find(Sep, Start);
    if (End == std::string::npos) End = Value.size();
    F.push_back(Value.substr(Start, End - Start));
    Start = End + 1;
  }
  if (F.empty()) return Value;
  const size_t i = static_cast<size_t>(Below(Rng, static_cast<int>(F.size())));
  const size_t Width = std::max<size_t>(F[i].size(), 1);
  long long Old = 0;
  try {
    Old = std::stoll(F[i]);
  } catch (...) {
  }
  long long V;
  if (Width >= 4 && i < 4) {  // a rectangle side
    static const long long Sides[] = {0, 1, 2, 9999};
    const int Kind = Below(Rng, 6);
    V = Kind < 4 ? Sides[Kind] : Kind == 4 ? Old + (Rng() % 2 ? 1 : -1) : std::stoll("0" + F[(i + 2) % 4]);
  } else if (Width >= 4) {  // a border width
    static const long long Widths[] = {0, 1, 2, 64, 255, 999, 9999};
    V = Pick(Rng, Widths);
  } else if (Width == 2) {  // a texture's draw mode
    static const long long Modes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 99};
    V = Pick(Rng, Modes);
  } else {  // a count, mask type, draw mode or border width digit
    V = Below(Rng, 10);
  }
  F[i] = Field(V, Width);
  What = "field " + std::to_string(i + 1) + " := " + F[i];
  std::string Out(1, Sep);
  for (size_t k = 0; k < F.size(); ++k) Out += (k ? std::string(1, Sep) : "") + F[k];
  return Out;
}

// One word of a "!" value (image count, mask type, kind, border widths, draw mode) set to a limit.
std::string DamageFileMask(const std::string& Value, std::mt19937& Rng, std::string& What) {
  std::vector<std::string> W;
  size_t Start = 1;
  while (Start <= Value.size()) {
    size_t End = Value.find('!', Start);
    if (End == std::string::npos) End = Value.size();
    W.push_back(Value.substr(Start, End - Start));
    Start = End + 1;
  }
  while (W.size() < 9) W.push_back("0");
  static const char* const Values[] = {"0", "1", "2", "3", "9", "255", "9999", "-1", "x"};
  const size_t i = 1 + static_cast<size_t>(Below(Rng, 8));
  W[i] = Pick(Rng, Values);
  What = "word " + std::to_string(i + 1) + " := " + W[i];
  std::string Out;
  for (const std::string& S : W) Out += "!" + S;
  return Out;
}

// A random rectangle in "~" or "^" notation inside (or just beyond) a W x H image.
std::string RandomRect(std::mt19937& Rng, char Sep, int W, int H) {
  const int L = Below(Rng, W + 2), T = Below(Rng, H + 2);
  const int R = L + Below(Rng, 40), B = T + Below(Rng, 40);
  return std::string(1, Sep) + Field(L, 4) + Sep + Field(T, 4) + Sep + Field(R, 4) + Sep + Field(B, 4);
}

// Width and height of a BMP file; 0 x 0 for anything else.
std::pair<int, int> BmpSize(const std::vector<uint8_t>& B) {
  if (B.size() < 54 || B[0] != 'B' || B[1] != 'M') return {0, 0};
  int32_t W, H;
  std::memcpy(&W, &B[18], 4);
  std::memcpy(&H, &B[22], 4);
  return {W, H < 0 ? -H : H};
}

}  // namespace

TSkinFiles ReadSkinFolder(const std::string& Folder) {
  TSkinFiles Out;
  WIN32_FIND_DATAA Found;
  HANDLE Find = FindFirstFileA((Folder + "*").c_str(), &Found);
  if (Find == INVALID_HANDLE_VALUE) return Out;
  do {
    if (Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::string Name = Found.cFileName;
    std::vector<uint8_t> Bytes = ReadAll(Folder + Name);
    if (lstrcmpiA(Name.c_str(), "Options.dat") == 0) Out.Text.assign(Bytes.begin(), Bytes.end());
    else Out.Images.emplace_back(Name, std::move(Bytes));
  } while (FindNextFileA(Find, &Found));
  FindClose(Find);
  return Out;
}

void WriteSkinFolder(const TSkinFiles& Files, const std::string& Folder) {
  CreateDirectoryA(Folder.c_str(), nullptr);
  WriteAll(Folder + "Options.dat", Files.Text.data(), Files.Text.size());
  for (const auto& [Name, Bytes] : Files.Images) WriteAll(Folder + Name, Bytes.data(), Bytes.size());
}

std::vector<uint8_t> CropBmp(const std::vector<uint8_t>& Bmp, int W, int H) {
  const auto [OldW, OldH] = BmpSize(Bmp);
  const int Bits = Bmp.size() >= 30 ? Bmp[28] : 0;
  uint32_t Offset = 0;
  if (Bmp.size() >= 14) std::memcpy(&Offset, &Bmp[10], 4);
  int32_t RawH = 0;
  if (Bmp.size() >= 26) std::memcpy(&RawH, &Bmp[22], 4);
  if (OldW <= 0 || OldH <= 0 || (Bits != 24 && Bits != 32)) return Bmp;
  const int Bpp = Bits / 8;
  const size_t OldStride = (static_cast<size_t>(OldW) * Bpp + 3) & ~size_t{3};
  if (Offset + OldStride * static_cast<size_t>(OldH) > Bmp.size()) return Bmp;
  W = std::clamp(W, 1, OldW);
  H = std::clamp(H, 1, OldH);
  const size_t Stride = (static_cast<size_t>(W) * Bpp + 3) & ~size_t{3};
  std::vector<uint8_t> Out(54 + Stride * static_cast<size_t>(H), 0);
  auto Put = [&](size_t At, uint32_t V) { std::memcpy(&Out[At], &V, 4); };
  Out[0] = 'B';
  Out[1] = 'M';
  Put(2, static_cast<uint32_t>(Out.size()));
  Put(10, 54);
  Put(14, 40);
  Put(18, static_cast<uint32_t>(W));
  Put(22, static_cast<uint32_t>(H));
  Out[26] = 1;
  Out[28] = static_cast<uint8_t>(Bits);
  Put(34, static_cast<uint32_t>(Stride * static_cast<size_t>(H)));
  for (int y = 0; y < H; ++y) {
    // Rows of a bottom-up file run from the last picture row.
    const int OldRow = RawH > 0 ? OldH - 1 - y : y;
    const int NewRow = H - 1 - y;
    std::memcpy(&Out[54 + Stride * static_cast<size_t>(NewRow)], &Bmp[Offset + OldStride * static_cast<size_t>(OldRow)],
                static_cast<size_t>(W) * Bpp);
  }
  return Out;
}

TDamagedSkin DamageSkin(const TSkinFiles& Good, std::mt19937& Rng) {
  TDamagedSkin D;
  D.Files = Good;
  TSkinText T(Good.Text);
  // The master image's size bounds the elements made up below.
  int MasterW = 200, MasterH = 200;
  for (const auto& [Name, Bytes] : Good.Images)
    if (lstrcmpiA(Name.c_str(), "MASTER.BMP") == 0) std::tie(MasterW, MasterH) = BmpSize(Bytes);
  const int Count = 1 + Below(Rng, 6);
  for (int n = 0; n < Count; ++n) {
    const auto Sections = T.Sections();
    if (Sections.empty()) break;
    const auto& [Name, Header] = Sections[static_cast<size_t>(Below(Rng, static_cast<int>(Sections.size())))];
    std::string Did;
    switch (Below(Rng, 12)) {
      case 0: {
        static const char* const States[] = {"0", "1", "2", "3", "4", "9", "255", "99999"};
        const char* V = Pick(Rng, States);
        T.Set(Header, "STATES", V);
        Did = std::string("STATES := ") + V;
        break;
      }
      case 1: {
        static const char* const Keys[] = {"TRANSPARENCY", "HOTTRANSPARENCY", "TRANSPARENCY2", "IMAGEPERCENT",
                                           "HOTIMAGEPERCENT", "IMAGEPERCENT2", "GRADIENTPERCENT",
                                           "HOTGRADIENTPERCENT", "GRADIENTPERCENT2"};
        static const char* const Values[] = {"0", "1", "49", "50", "51", "99", "100", "101", "255", "65536",
                                             "16843009", "2147483647"};
        const char* Key = Pick(Rng, Keys);
        const char* V = Pick(Rng, Values);
        T.Set(Header, Key, V);
        Did = std::string(Key) + " := " + V;
        break;
      }
      case 2: {
        static const char* const Keys[] = {"COLOR", "HOTCOLOR", "COLOR2", "FONTCOLOR", "HOTFONTCOLOR", "FONTCOLOR2",
                                           "GCOL", "HGCOL", "TCLEFT", "TCTOP", "HOTTCRIGHT", "TCBOTTOM2"};
        // Black, white, the key colour, "no colour", a system colour, the largest and a negative value.
        static const char* const Values[] = {"0", "16777215", "16711935", "536870911", "-2147483633", "2147483647",
                                             "-1", "4294967295"};
        const char* Key = Pick(Rng, Keys);
        const char* V = Pick(Rng, Values);
        T.Set(Header, Key, V);
        Did = std::string(Key) + " := " + V;
        break;
      }
      case 3: {
        static const char* const Keys[] = {"GSIZE", "HGSIZE", "GSIZE2", "GLOW", "GLOWMARGIN"};
        static const char* const Values[] = {"1", "4", "16", "17", "255", "1000", "65536", "100000000", "2147483647"};
        const char* Key = Pick(Rng, Keys);
        const char* V = Pick(Rng, Values);
        T.Set(Header, Key, V);
        Did = std::string(Key) + " := " + V;
        break;
      }
      case 4:
      case 5: {  // an image element's field
        const auto Masks = T.ValueLines("^@~!");
        if (Masks.empty()) break;
        std::string& L = T.Lines[Masks[static_cast<size_t>(Below(Rng, static_cast<int>(Masks.size())))]];
        const size_t Eq = L.find('=');
        const std::string Value = L.substr(Eq + 1);
        std::string What;
        L = L.substr(0, Eq + 1) + (Value[0] == '!' ? DamageFileMask(Value, Rng, What) : DamageFixedMask(Value, Rng, What));
        Did = L.substr(0, Eq) + " " + What;
        break;
      }
      case 6: {  // a texture where there was none
        static const char* const Keys[] = {"PATTERN", "HOTPATTERN", "PATTERN2"};
        const char* Key = Pick(Rng, Keys);
        const std::string V = RandomRect(Rng, '~', MasterW, MasterH) + "~" + Field(Below(Rng, 15), 2) + "~" +
                              std::to_string(Below(Rng, 3));
        T.Set(Header, Key, V);
        T.Set(Header, "IMAGEPERCENT", std::to_string(Below(Rng, 101)));
        T.Set(Header, "HOTIMAGEPERCENT", std::to_string(Below(Rng, 101)));
        Did = std::string(Key) + " := " + V;
        break;
      }
      case 7: {  // a nine-part element where there was none
        static const char* const Keys[] = {"BORDERSMASK", "IMGTOPLEFT", "IMGTOPRIGHT", "IMGBTMLEFT", "IMGBTMRIGHT",
                                           "GLOW0", "OUTERMASK", "GLYPHMASK"};
        const char* Key = Pick(Rng, Keys);
        std::string V = RandomRect(Rng, '^', MasterW, MasterH);
        for (int k = 0; k < 4; ++k) V += "^" + Field(Below(Rng, 3) == 0 ? 99 : Below(Rng, 12), 4);
        for (int k = 0; k < 4; ++k) V += "^" + std::to_string(Below(Rng, 10));
        T.Set(Header, Key, V);
        Did = std::string(Key) + " := " + V;
        break;
      }
      case 8: {
        static const char* const Keys[] = {"GRADIENTDATA", "HOTGRADIENTDATA", "GRADIENTDATA2"};
        static const char* const Values[] = {"$0000FF;0;0;$00FF00;50;0;B", "$0000FF;100;1;$00FF00;100;1;",
                                             "16711935;0;99;16711935;0;99;", ";;;;", "$FFFFFF;-5;7;0;999;3",
                                             "0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0", "x"};
        const char* Key = Pick(Rng, Keys);
        const char* V = Pick(Rng, Values);
        T.Set(Header, Key, V);
        T.Set(Header, "GRADIENTPERCENT", std::to_string(Below(Rng, 101)));
        Did = std::string(Key) + " := " + V;
        break;
      }
      case 9: {  // a parent: another section, itself, or one that names this one back
        const auto& Other = Sections[static_cast<size_t>(Below(Rng, static_cast<int>(Sections.size())))];
        const std::string Parent = Below(Rng, 3) == 0 ? Name : Other.first;
        T.Set(Header, "PARENTCLASS", Parent);
        Did = "PARENTCLASS := " + Parent;
        if (Below(Rng, 2) == 0) {
          T.Set(Other.second, "PARENTCLASS", Name);
          Did += ", and back";
        }
        break;
      }
      case 10: {  // an image cut: cropped, or its file cut short
        if (D.Files.Images.empty()) break;
        auto& [File, Bytes] = D.Files.Images[static_cast<size_t>(Below(Rng, static_cast<int>(D.Files.Images.size())))];
        const auto [W, H] = BmpSize(Bytes);
        if (W > 0 && Below(Rng, 3) != 0) {
          const int CW = Below(Rng, 3) == 0 ? 1 + Below(Rng, 4) : 1 + Below(Rng, W);
          const int CH = Below(Rng, 3) == 0 ? 1 + Below(Rng, 4) : 1 + Below(Rng, H);
          Bytes = CropBmp(Bytes, CW, CH);
          Did = "image " + File + " cropped to " + std::to_string(CW) + "x" + std::to_string(CH);
        } else {
          Bytes.resize(static_cast<size_t>(Below(Rng, static_cast<int>(Bytes.size()))));
          Did = "image " + File + " cut to " + std::to_string(Bytes.size()) + " bytes";
        }
        break;
      }
      default: {  // the global values the forms and text lean on
        static const char* const Keys[] = {"BORDERWIDTH", "TITLEHEIGHT", "MAXHEIGHT", "COMBOMARGIN", "BISPACE",
                                           "COLOR", "FONTCOLOR"};
        static const char* const Values[] = {"0", "1", "255", "99999", "100000000", "-7", "2147483647"};
        const char* Key = Pick(Rng, Keys);
        const auto Global = std::find_if(Sections.begin(), Sections.end(), [](const auto& S) { return S.first == "GLOBALINFO"; });
        const char* V = Pick(Rng, Values);
        T.Set(Global != Sections.end() ? Global->second : Header, Key, V);
        Did = std::string("[GLOBALINFO] ") + Key + " := " + V;
        break;
      }
    }
    // Image and global damage name their place themselves; the rest happened in the section drawn.
    const bool Placed = Did.rfind("image ", 0) == 0 || Did.rfind("[GLOBALINFO]", 0) == 0;
    if (!Did.empty()) D.Damage.push_back(Placed ? Did : "[" + Name + "] " + Did);
  }
  D.Files.Text = T.Joined();
  return D;
}
