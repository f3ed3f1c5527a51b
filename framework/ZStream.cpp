#include "framework/ZStream.h"

#include <zlib.h>

#include "framework/SysUtils.h"

IMPLEMENT_CLASS(TDecompressionStream)

namespace {
constexpr int32_t kInputChunk = 32 * 1024;
z_stream* Z(void* p) { return static_cast<z_stream*>(p); }
}  // namespace

TDecompressionStream::TDecompressionStream(TStream* source, int64_t expectedSize)
    : source_(source), expected_(expectedSize), zs_(new z_stream{}) {
  input_.resize(kInputChunk);
  if (inflateInit(Z(zs_)) != Z_OK) {
    delete Z(zs_);
    throw EDecompressionError("Decompression error: cannot start inflating");
  }
  if (expected_ == 0) {
    try {
      FinishAtExpectedSize();
    } catch (...) {
      inflateEnd(Z(zs_));
      delete Z(zs_);
      throw;
    }
  }
}

TDecompressionStream::~TDecompressionStream() {
  inflateEnd(Z(zs_));
  delete Z(zs_);
}

void TDecompressionStream::Rewind() {
  // Give back what was read beyond the end of the zlib stream.
  z_stream* z = Z(zs_);
  if (z->avail_in) source_->Seek(-static_cast<int64_t>(z->avail_in), soCurrent);
  z->avail_in = 0;
  finished_ = true;
}

int32_t TDecompressionStream::Inflate(char* out, int32_t count) {
  z_stream* z = Z(zs_);
  z->next_out = reinterpret_cast<Bytef*>(out);
  z->avail_out = static_cast<uInt>(count);
  while (z->avail_out > 0 && !finished_) {
    if (z->avail_in == 0) {
      const int32_t n = source_->Read(input_.data(), kInputChunk);
      if (n <= 0) throw EDecompressionError("Decompression error: the compressed data are truncated");
      z->next_in = input_.data();
      z->avail_in = static_cast<uInt>(n);
    }
    const int r = inflate(z, Z_NO_FLUSH);
    if (r == Z_STREAM_END) {
      Rewind();
    } else if (r != Z_OK && r != Z_BUF_ERROR) {
      throw EDecompressionError(std::string("Decompression error: ") + (z->msg ? z->msg : zError(r)));
    }
  }
  return count - static_cast<int32_t>(z->avail_out);
}

void TDecompressionStream::FinishAtExpectedSize() {
  // The output is complete: the zlib stream must end here, without a byte more.
  char extra;
  const int32_t n = Inflate(&extra, 1);
  if (n != 0)
    throw EDecompressionError(
        Format("Decompression error: the inflated data are longer than the expected %d bytes", {expected_}));
}

int32_t TDecompressionStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  if (expected_ >= 0) {
    const int64_t left = expected_ - produced_;
    if (left <= 0) return 0;
    if (count > left) count = static_cast<int32_t>(left);
  }
  if (finished_) {
    if (expected_ >= 0)
      throw EDecompressionError(Format("Decompression error: the inflated data end after %d of %d bytes",
                                       {produced_, expected_}));
    return 0;
  }
  const int32_t n = Inflate(static_cast<char*>(buffer), count);
  produced_ += n;
  if (expected_ >= 0) {
    if (produced_ < expected_ && finished_)
      throw EDecompressionError(Format("Decompression error: the inflated data end after %d of %d bytes",
                                       {produced_, expected_}));
    if (produced_ == expected_ && !finished_) FinishAtExpectedSize();
  }
  return n;
}

int32_t TDecompressionStream::Write(const void*, int32_t) {
  throw EDecompressionError("Invalid stream operation: an inflating stream cannot be written");
}

int64_t TDecompressionStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t target;
  if (origin == soCurrent)
    target = produced_ + offset;
  else if (origin == soBeginning)
    target = offset;
  else
    throw EDecompressionError("Invalid stream operation: an inflating stream cannot seek from its end");
  if (target < produced_) throw EDecompressionError("Invalid stream operation: an inflating stream cannot seek back");
  char scratch[4096];
  while (produced_ < target) {
    const int64_t want = target - produced_;
    const int32_t n = Read(scratch, want > 4096 ? 4096 : static_cast<int32_t>(want));
    if (n == 0) break;
  }
  return produced_;
}

int64_t TDecompressionStream::Size() {
  if (expected_ < 0) throw EDecompressionError("Invalid stream operation: the inflated size is not known");
  return expected_;
}
