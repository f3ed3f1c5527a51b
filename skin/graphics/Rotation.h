// Turning bitmaps: by quarter turns pixel by pixel, or by whole degrees through the platform's
// parallelogram copy with a table of sines and cosines.
#pragma once
#include <windows.h>

#include "framework/Graphics.h"

double DegToRad(double Degrees);

struct TSinCos {
  float Sin;
  float Cos;
};
// Whole degrees 0..359; rebuilt before each rotated drawing.
void BuildSinCosTable();
const TSinCos& SinCosOf(int Degrees);  // any whole angle, normalised to 0..359
// Angle brought into 0..359 (negative and large angles wrap).
int NormalizeDegrees(int Degrees);

struct TPrlgramCorner {
  double X = 0;
  double Y = 0;
};

// A parallelogram of four corners (those not given at creation stay 0).
class TPrlgram {
 public:
  // Takes min(4, LastIndex + 1) of the points as corners 0.. in order.
  TPrlgram(const TPoint* Points, int LastIndex);
  // Corner I rounded to the nearest whole point; (0, 0) for an index outside 0..3.
  TPoint GetCorner(int I) const;
  const TPrlgramCorner& Corner(int I) const { return corners_[I]; }
  // Turns the four corners about the midpoint of corners 0 and 2 by whole degrees.
  void Rotate(int Degrees);
  void Free() { delete this; }

 private:
  TPrlgramCorner corners_[4];
};

// The destination points (upper-left, upper-right, lower-left) handed to the parallelogram copy for
// a W x H picture turned about Centre by Degrees, the extra quarter turn included.
void RotatedDestinationPoints(int W, int H, const TPoint& Centre, int Degrees, POINT Dest[3]);
// Draws the whole bitmap turned about Centre; the picture also takes a quarter turn clockwise
// beyond Degrees (the parallelogram's corners are handed over shifted by one).
void DrawRotatedBitmap(HDC DC, TBitmap* Bmp, const TPoint& Centre, int Degrees);
// A new 32-bit bitmap holding Src turned by a quarter (null unless Src is 32-bit). With FreeSource
// the source is freed and the variable set to null, whether or not a result was made.
TBitmap* RotatedBitmap90(TBitmap*& Src, bool Clockwise, bool FreeSource);
// A new bitmap holding the 32-bit Src turned clockwise by 90, 180 or 270 degrees, through the
// bitmap's raw bits; null for another format or angle. FreeSource as above.
TBitmap* RotateBitmapBits(TBitmap*& Src, int Angle, bool FreeSource);
