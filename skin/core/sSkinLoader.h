// Reads a skin text (and the images it names) into a skin model.
#pragma once
#include <functional>
#include <string>

class TsSkinManager;
class TvkSkinConvertor;
class TvkSkinModel;

struct TvkSkinLoadSettings {
  int ScaleIndex = 0;  // effective scale: 0..3 for 100, 125, 150, 200 per cent
  int HueOffset = 0;
  int Saturation = 0;
  int Brightness = 0;
  std::string CommonSections;    // further sections, as skin text
  bool ExtendedBorders = false;  // make the extended-border bitmaps
  TsSkinManager* Manager = nullptr;  // stored in every mask entry
  // Called once GLOBALINFO is read, with the skin's version (the manager shows its notes there).
  std::function<void(double)> VersionCheck;
};

// Fills Model (emptied first) from SkinText. Images come from Packed when it is not null, else from the
// folder SkinPath (with a trailing backslash). A malformed value, rectangle or image raises an exception
// (EConvertError, EInvalidGraphic, ...); the model is then left empty.
void ReadSkin(TvkSkinModel& Model, const std::string& SkinText, const TvkSkinConvertor* Packed,
              const std::string& SkinPath, const TvkSkinLoadSettings& Settings);

// The skin text's VERSION as a number, "." being the separator whatever the locale; 0 when malformed.
double ParseSkinVersion(const std::string& Text);
