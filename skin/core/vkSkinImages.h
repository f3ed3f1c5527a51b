// Turns the bytes of a skin image file (BMP, JPEG or PNG, chosen by the file name's extension) into a
// 32-bit bitmap.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

class TBitmap;

// A new pf32bit bitmap the caller owns. BMP and JPEG pixels get alpha 0 unless the BMP carries 32 bits; a PNG
// gets the alpha the PNG graphic gives it (its own, its palette's transparency, or a grey gamma image's mask). Damaged data raises EInvalidGraphic; an extension that is no image raises it too.
TBitmap* DecodeSkinImage(const std::string& Name, const uint8_t* Data, size_t Size);
// Whether the name's extension is one of the image kinds a skin may use.
bool IsSkinImageName(const std::string& Name);
