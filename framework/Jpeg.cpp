// JPEG decoding through libjpeg.
//
// libjpeg reports errors by longjmp. The decoding function that calls setjmp holds no C++ object with a
// destructor, and the C++ side throws only after it has returned.
#include "framework/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "framework/Streams.h"

// After windows.h: jconfig.h relies on its boolean and INT32.
#include <jpeglib.h>
#include <jerror.h>

IMPLEMENT_CLASS(TJPEGImage)

namespace {

constexpr unsigned MaxJpegSide = 8192;

enum JpegFailure { jfNone, jfLibrary, jfTooLarge, jfColorSpace, jfNoMemory, jfTruncated };

// Everything the C side touches, plain data only.
struct JpegJob {
  jpeg_decompress_struct Info;
  jpeg_error_mgr Error;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
  const unsigned char* Data;
  unsigned long Size;
  int Failure;
  bool Truncated;
  unsigned Width, Height;
  // Called once the size is known; returns the top row and the distance between rows, or null when the
  // memory cannot be had. Must not throw.
  unsigned char* (*BeginImage)(void* Context, unsigned Width, unsigned Height, long* Stride) noexcept;
  void* Context;
};

JpegJob* JobOf(j_common_ptr Info) { return static_cast<JpegJob*>(Info->client_data); }

void ErrorExit(j_common_ptr Info) {
  JpegJob* Job = JobOf(Info);
  Info->err->format_message(Info, Job->Message);
  Job->Failure = jfLibrary;
  std::longjmp(Job->Jump, 1);
}

// Warnings are not printed; the one that means lost data (the file ends inside the image) is remembered.
void EmitMessage(j_common_ptr Info, int Level) {
  if (Level < 0) {
    ++Info->err->num_warnings;
    if (Info->err->msg_code == JWRN_JPEG_EOF) JobOf(Info)->Truncated = true;
  }
}

int DecodeJpeg(JpegJob* Job) {
  Job->Info.err = jpeg_std_error(&Job->Error);
  Job->Error.error_exit = ErrorExit;
  Job->Error.emit_message = EmitMessage;
  if (setjmp(Job->Jump)) {
    jpeg_destroy_decompress(&Job->Info);
    return Job->Failure;
  }
  jpeg_create_decompress(&Job->Info);
  Job->Info.client_data = Job;
  jpeg_mem_src(&Job->Info, Job->Data, Job->Size);
  jpeg_read_header(&Job->Info, TRUE);
  Job->Width = Job->Info.image_width;
  Job->Height = Job->Info.image_height;
  if (Job->Width > MaxJpegSide || Job->Height > MaxJpegSide) {
    jpeg_destroy_decompress(&Job->Info);
    return Job->Failure = jfTooLarge;
  }
  const J_COLOR_SPACE Space = Job->Info.jpeg_color_space;
  if (Space != JCS_GRAYSCALE && Space != JCS_YCbCr && Space != JCS_RGB) {
    jpeg_destroy_decompress(&Job->Info);
    return Job->Failure = jfColorSpace;
  }
  Job->Info.out_color_space = JCS_EXT_BGR;  // the byte order of a 24-bit DIB row
  jpeg_start_decompress(&Job->Info);
  long Stride = 0;
  unsigned char* Top = Job->BeginImage(Job->Context, Job->Info.output_width, Job->Info.output_height, &Stride);
  if (!Top) {
    jpeg_destroy_decompress(&Job->Info);
    return Job->Failure = jfNoMemory;
  }
  while (Job->Info.output_scanline < Job->Info.output_height) {
    JSAMPROW Row = Top + static_cast<long>(Job->Info.output_scanline) * Stride;
    jpeg_read_scanlines(&Job->Info, &Row, 1);
  }
  jpeg_finish_decompress(&Job->Info);
  jpeg_destroy_decompress(&Job->Info);
  return Job->Failure = Job->Truncated ? jfTruncated : jfNone;
}

// The bitmap the decoder writes into.
unsigned char* BeginBitmap(void* Context, unsigned Width, unsigned Height, long* Stride) noexcept {
  TBitmap* Bitmap = static_cast<TBitmap*>(Context);
  try {
    Bitmap->SetPixelFormat(pf24bit);
    Bitmap->SetSize(static_cast<int>(Width), static_cast<int>(Height));
    auto* Top = static_cast<unsigned char*>(Bitmap->ScanLine(0));
    *Stride = Height > 1 ? static_cast<unsigned char*>(Bitmap->ScanLine(1)) - Top : 0;
    return Top;
  } catch (...) {
    return nullptr;
  }
}

}  // namespace

TJPEGImage::TJPEGImage() = default;

TJPEGImage::~TJPEGImage() {
  if (FBitmap) FBitmap->Free();
}

void TJPEGImage::SetWidth(int Value) {
  if (Value != Width()) throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::SetHeight(int Value) {
  if (Value != Height()) throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::Assign(TPersistent* Source) {
  if (!Source) {
    FData.clear();
    FreeAndNil(FBitmap);
    Changed();
    return;
  }
  if (TJPEGImage* Other = As<TJPEGImage>(Source)) {
    if (Other == this) return;
    TBitmap* Copy = nullptr;
    if (Other->FBitmap) {
      Copy = new TBitmap();
      try {
        Copy->Assign(Other->FBitmap);
      } catch (...) {
        Copy->Free();
        throw;
      }
    }
    FData = Other->FData;
    FreeAndNil(FBitmap);
    FBitmap = Copy;
    Changed();
    return;
  }
  inherited::Assign(Source);
}

void TJPEGImage::Draw(TCanvas* Canvas, const TRect& Rect) {
  if (FBitmap) FBitmap->Draw(Canvas, Rect);
}

void TJPEGImage::LoadFromStream(TStream* Stream) {
  const std::int64_t Left = Stream->Size() - Stream->Position();
  if (Left <= 0) throw EInvalidGraphic("Invalid JPEG image: no data");
  if (Left > 0x7FFFFFFF) throw EInvalidGraphic("Invalid JPEG image: too much data");
  std::vector<std::uint8_t> Data(static_cast<size_t>(Left));
  Stream->ReadBuffer(Data.data(), static_cast<std::int32_t>(Data.size()));

  TBitmap* Bitmap = new TBitmap();
  JpegJob Job;
  std::memset(&Job, 0, sizeof(Job));
  Job.Data = Data.data();
  Job.Size = static_cast<unsigned long>(Data.size());
  Job.BeginImage = &BeginBitmap;
  Job.Context = Bitmap;
  const int Failure = DecodeJpeg(&Job);
  if (Failure != jfNone) {
    Bitmap->Free();
    switch (Failure) {
      case jfTooLarge:
        throw EInvalidGraphic("Invalid JPEG image: " + std::to_string(Job.Width) + " x " + std::to_string(Job.Height) +
                              " pixels is larger than 8192 x 8192");
      case jfColorSpace: throw EInvalidGraphic("Invalid JPEG image: CMYK and YCCK images are not supported");
      case jfNoMemory:
        throw EOutOfResources("Cannot create a bitmap of " + std::to_string(Job.Width) + " x " +
                              std::to_string(Job.Height) + " pixels for a JPEG image");
      case jfTruncated: throw EInvalidGraphic("Invalid JPEG image: the data ends early");
      default: throw EInvalidGraphic(std::string("Invalid JPEG image: ") + Job.Message);
    }
  }
  FData = std::move(Data);
  FreeAndNil(FBitmap);
  FBitmap = Bitmap;
  Changed();
}

void TJPEGImage::SaveToStream(TStream* Stream) {
  if (!FData.empty()) Stream->WriteBuffer(FData.data(), static_cast<std::int32_t>(FData.size()));
}
