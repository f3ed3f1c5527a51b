#pragma once
// Reading a zlib stream (RFC 1950) embedded in another stream.

#include <cstdint>
#include <vector>

#include "framework/Streams.h"

// Inflates the zlib stream that starts at the source's position. At the end of the zlib stream the source
// is set back to the first byte after it, so the next record of the source can be read. With an expected
// size the output is capped at that size, and inflated data longer or shorter than it raises
// EDecompressionError (as does corrupt or truncated input). Forward reading only.
class TDecompressionStream : public TStream {
  DECLARE_CLASS(TDecompressionStream, TStream)
public:
  explicit TDecompressionStream(TStream* source, int64_t expectedSize = -1);
  ~TDecompressionStream() override;
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  // Only the current position can be asked for, or forward moves (which inflate and discard).
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override;
  bool Finished() const { return finished_; }

private:
  int32_t Inflate(char* out, int32_t count);
  void FinishAtExpectedSize();
  void Rewind();
  TStream* source_;
  int64_t expected_;
  int64_t produced_ = 0;
  bool finished_ = false;
  void* zs_;  // z_stream
  std::vector<unsigned char> input_;
};
