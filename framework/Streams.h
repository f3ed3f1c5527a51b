#pragma once
// Byte streams: memory, file, string and read-only resource data.

#include <cstdint>
#include <string>

#include "framework/System.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
  DECLARE_CLASS(TStream, TObject)
public:
  // Transfer up to `count` bytes; return how many moved.
  virtual int32_t Read(void* buffer, int32_t count) = 0;
  virtual int32_t Write(const void* buffer, int32_t count) = 0;
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  // Exactly `count` bytes or EReadError "Stream read error" / EWriteError "Stream write error".
  void ReadBuffer(void* buffer, int32_t count);
  void WriteBuffer(const void* buffer, int32_t count);
  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t pos) { Seek(pos, soBeginning); }
  virtual int64_t Size();
  // Streams that cannot change size raise EStreamError.
  virtual void SetSize(int64_t newSize);
  // Copies `count` bytes from the source's position; 0 copies the whole source from its start.
  // Returns the number of bytes copied.
  int64_t CopyFrom(TStream* source, int64_t count);
};

// A stream over a block of memory it does not grow (base of memory and resource streams).
class TCustomMemoryStream : public TStream {
  DECLARE_CLASS(TCustomMemoryStream, TStream)
public:
  int32_t Read(void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return size_; }
  void* Memory() const { return memory_; }
  void SaveToStream(TStream& dest);
  void SaveToFile(const std::string& fileName);

protected:
  void SetPointer(void* memory, int64_t size) {
    memory_ = static_cast<char*>(memory);
    size_ = size;
  }
  char* memory_ = nullptr;
  int64_t size_ = 0;
  int64_t position_ = 0;
};

class TMemoryStream : public TCustomMemoryStream {
  DECLARE_CLASS(TMemoryStream, TCustomMemoryStream)
public:
  TMemoryStream() = default;
  ~TMemoryStream() override;
  int32_t Write(const void* buffer, int32_t count) override;
  void SetSize(int64_t newSize) override;  // keeps the content up to the new size; new bytes are 0
  void Clear();
  void LoadFromStream(TStream& source);  // the whole source, from its start
  void LoadFromFile(const std::string& fileName);

private:
  void SetCapacity(int64_t capacity);
  int64_t capacity_ = 0;
};

enum : uint32_t {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareCompat = 0x0000,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyRead = 0x0030,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFF00,
};

class TFileStream : public TStream {
  DECLARE_CLASS(TFileStream, TStream)
public:
  // fmCreate creates or truncates (EFCreateError on failure); otherwise an open mode or'ed with a share
  // mode (EFOpenError on failure). Errors carry the file name and the system's reason.
  TFileStream(const std::string& fileName, uint32_t mode);
  ~TFileStream() override;
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t newSize) override;
  const std::string& FileName() const { return fileName_; }
  HANDLE Handle() const { return handle_; }

private:
  std::string fileName_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

class TStringStream : public TStream {
  DECLARE_CLASS(TStringStream, TStream)
public:
  explicit TStringStream(std::string data = {}) : data_(std::move(data)) {}
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }
  void SetSize(int64_t newSize) override;
  const std::string& DataString() const { return data_; }
  std::string ReadString(int32_t count);
  void WriteString(const std::string& s) { WriteBuffer(s.data(), static_cast<int32_t>(s.size())); }

private:
  std::string data_;
  int64_t position_ = 0;
};

// Read-only view of a resource of the module (RT_RCDATA by default), found by name.
class TResourceStream : public TCustomMemoryStream {
  DECLARE_CLASS(TResourceStream, TCustomMemoryStream)
public:
  // Raises EResNotFound "Resource %s not found".
  TResourceStream(HINSTANCE instance, const std::string& name, const char* type = MAKEINTRESOURCEA(10));
  int32_t Write(const void* buffer, int32_t count) override;
};

// True when the module holds a resource of that name and type.
bool ResourceExists(HINSTANCE instance, const std::string& name, const char* type = MAKEINTRESOURCEA(10));
