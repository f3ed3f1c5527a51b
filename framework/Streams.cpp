#include "framework/Streams.h"

#include <cstdlib>
#include <cstring>

#include "framework/SysUtils.h"

IMPLEMENT_CLASS(TStream)
IMPLEMENT_CLASS(TCustomMemoryStream)
IMPLEMENT_CLASS(TMemoryStream)
IMPLEMENT_CLASS(TFileStream)
IMPLEMENT_CLASS(TStringStream)
IMPLEMENT_CLASS(TResourceStream)

namespace {
int64_t Clamp(int64_t v, int64_t lo) { return v < lo ? lo : v; }
}  // namespace

// ---- TStream ----
void TStream::ReadBuffer(void* buffer, int32_t count) {
  if (count < 0 || (count != 0 && Read(buffer, count) != count)) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int32_t count) {
  if (count < 0 || (count != 0 && Write(buffer, count) != count)) throw EWriteError("Stream write error");
}

int64_t TStream::Size() {
  const int64_t pos = Seek(0, soCurrent);
  const int64_t size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::SetSize(int64_t) { throw EStreamError(ClassName() + " cannot change its size"); }

int64_t TStream::CopyFrom(TStream* source, int64_t count) {
  if (count == 0) {
    source->SetPosition(0);
    count = source->Size();
  }
  const int64_t total = count;
  constexpr int32_t chunk = 64 * 1024;
  char* buffer = static_cast<char*>(std::malloc(chunk));
  if (!buffer) throw EOutOfResources("Out of memory");
  try {
    while (count > 0) {
      const int32_t n = count > chunk ? chunk : static_cast<int32_t>(count);
      source->ReadBuffer(buffer, n);
      WriteBuffer(buffer, n);
      count -= n;
    }
  } catch (...) {
    std::free(buffer);
    throw;
  }
  std::free(buffer);
  return total;
}

// ---- memory ----
int32_t TCustomMemoryStream::Read(void* buffer, int32_t count) {
  if (count <= 0 || position_ >= size_) return 0;
  int64_t n = size_ - position_;
  if (n > count) n = count;
  std::memcpy(buffer, memory_ + position_, static_cast<size_t>(n));
  position_ += n;
  return static_cast<int32_t>(n);
}

int64_t TCustomMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  switch (origin) {
    case soBeginning: position_ = offset; break;
    case soCurrent: position_ += offset; break;
    case soEnd: position_ = size_ + offset; break;
  }
  position_ = Clamp(position_, 0);
  return position_;
}

void TCustomMemoryStream::SaveToStream(TStream& dest) {
  if (size_ > 0) dest.WriteBuffer(memory_, static_cast<int32_t>(size_));
}

void TCustomMemoryStream::SaveToFile(const std::string& fileName) {
  TFileStream f(fileName, fmCreate);
  SaveToStream(f);
}

TMemoryStream::~TMemoryStream() { std::free(memory_); }

void TMemoryStream::SetCapacity(int64_t capacity) {
  if (capacity == capacity_) return;
  if (capacity > INT32_MAX) throw EStreamError("Out of memory while expanding memory stream");
  if (capacity == 0) {
    std::free(memory_);
    memory_ = nullptr;
  } else {
    void* p = std::realloc(memory_, static_cast<size_t>(capacity));
    if (!p) throw EStreamError("Out of memory while expanding memory stream");
    memory_ = static_cast<char*>(p);
  }
  capacity_ = capacity;
}

void TMemoryStream::SetSize(int64_t newSize) {
  if (newSize < 0) newSize = 0;
  const int64_t old = size_;
  if (newSize > capacity_) SetCapacity(newSize);
  if (newSize > old) std::memset(memory_ + old, 0, static_cast<size_t>(newSize - old));
  size_ = newSize;
  if (position_ > newSize) position_ = newSize;
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  const int64_t end = position_ + count;
  if (end > capacity_) {
    // Grow geometrically: reading a form writes many small pieces.
    int64_t cap = capacity_ < 256 ? 256 : capacity_;
    while (cap < end) cap += cap / 2;
    SetCapacity(cap);
  }
  if (position_ > size_) std::memset(memory_ + size_, 0, static_cast<size_t>(position_ - size_));
  std::memcpy(memory_ + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  if (end > size_) size_ = end;
  return count;
}

void TMemoryStream::Clear() {
  SetCapacity(0);
  size_ = 0;
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  const int64_t n = source.Size();
  SetSize(n);
  if (n) source.ReadBuffer(memory_, static_cast<int32_t>(n));
  position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}

// ---- file ----
TFileStream::TFileStream(const std::string& fileName, uint32_t mode) : fileName_(fileName) {
  if (mode == fmCreate || (mode & 0xFF00) == fmCreate) {
    handle_ = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE)
      throw EFCreateError(Format("Cannot create file \"%s\". %s", {fileName, SysErrorMessage(GetLastError())}));
    return;
  }
  static const DWORD access[3] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
  DWORD share;
  switch (mode & 0xF0) {
    case fmShareExclusive: share = 0; break;
    case fmShareDenyWrite: share = FILE_SHARE_READ; break;
    case fmShareDenyRead: share = FILE_SHARE_WRITE; break;
    default: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
  }
  handle_ = CreateFileA(fileName.c_str(), access[(mode & 3) < 3 ? (mode & 3) : 0], share, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE)
    throw EFOpenError(Format("Cannot open file \"%s\". %s", {fileName, SysErrorMessage(GetLastError())}));
}

TFileStream::~TFileStream() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

int32_t TFileStream::Read(void* buffer, int32_t count) {
  DWORD n = 0;
  if (count <= 0 || !ReadFile(handle_, buffer, static_cast<DWORD>(count), &n, nullptr)) return 0;
  return static_cast<int32_t>(n);
}

int32_t TFileStream::Write(const void* buffer, int32_t count) {
  DWORD n = 0;
  if (count <= 0 || !WriteFile(handle_, buffer, static_cast<DWORD>(count), &n, nullptr)) return 0;
  return static_cast<int32_t>(n);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  LARGE_INTEGER d, r;
  d.QuadPart = offset;
  static const DWORD methods[3] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
  if (!SetFilePointerEx(handle_, d, &r, methods[origin])) return -1;
  return r.QuadPart;
}

void TFileStream::SetSize(int64_t newSize) {
  const int64_t pos = Position();
  SetPosition(newSize);
  if (!SetEndOfFile(handle_)) throw EStreamError(Format("Cannot resize \"%s\"", {fileName_}));
  if (pos < newSize) SetPosition(pos);
}

// ---- string ----
int32_t TStringStream::Read(void* buffer, int32_t count) {
  const int64_t size = static_cast<int64_t>(data_.size());
  if (count <= 0 || position_ >= size) return 0;
  int64_t n = size - position_;
  if (n > count) n = count;
  std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return static_cast<int32_t>(n);
}

int32_t TStringStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  const size_t end = static_cast<size_t>(position_) + static_cast<size_t>(count);
  if (end > data_.size()) data_.resize(end);
  std::memcpy(&data_[static_cast<size_t>(position_)], buffer, static_cast<size_t>(count));
  position_ = static_cast<int64_t>(end);
  return count;
}

int64_t TStringStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int64_t size = static_cast<int64_t>(data_.size());
  switch (origin) {
    case soBeginning: position_ = offset; break;
    case soCurrent: position_ += offset; break;
    case soEnd: position_ = size + offset; break;
  }
  position_ = Clamp(position_, 0);
  if (position_ > size) position_ = size;
  return position_;
}

void TStringStream::SetSize(int64_t newSize) {
  data_.resize(static_cast<size_t>(Clamp(newSize, 0)));
  if (position_ > newSize) position_ = static_cast<int64_t>(data_.size());
}

std::string TStringStream::ReadString(int32_t count) {
  const int64_t size = static_cast<int64_t>(data_.size());
  int64_t n = size - position_;
  if (n > count) n = count;
  if (n <= 0) return {};
  std::string r = data_.substr(static_cast<size_t>(position_), static_cast<size_t>(n));
  position_ += n;
  return r;
}

// ---- resource ----
bool ResourceExists(HINSTANCE instance, const std::string& name, const char* type) {
  return FindResourceA(instance, name.c_str(), type) != nullptr;
}

TResourceStream::TResourceStream(HINSTANCE instance, const std::string& name, const char* type) {
  HRSRC res = FindResourceA(instance, name.c_str(), type);
  if (!res) throw EResNotFound(Format("Resource %s not found", {name}));
  HGLOBAL data = LoadResource(instance, res);
  void* p = data ? LockResource(data) : nullptr;
  if (!p) throw EResNotFound(Format("Resource %s not found", {name}));
  SetPointer(p, SizeofResource(instance, res));
}

int32_t TResourceStream::Write(const void*, int32_t) {
  throw EStreamError("Can't write to a read-only memory stream");
}
