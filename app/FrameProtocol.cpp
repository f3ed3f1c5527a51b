#include "app/FrameProtocol.h"

#include "framework/System.h"

const char* const WakeUpText = "zzzzz";
const char* const ResetFrame = "z0101;";
const char* const IdentifyFrame = "z0202;";
const char* const DescribeFrame = "z0303;";
const char* const CommitFrame = "z0606;";

namespace {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool ParseHex(const std::string& text, uint32_t& value) {
  if (text.empty() || text.size() > 8) return false;
  value = 0;
  for (char c : text) {
    const int d = HexDigitValue(c);
    if (d < 0) return false;
    value = value * 16 + static_cast<uint32_t>(d);
  }
  return true;
}

[[noreturn]] void RaiseNotInteger(const std::string& shown) {
  throw EConvertError("'" + shown + "' is not a valid integer value");
}

} // namespace

std::string HexPairSumChecksum(const std::string& text) {
  uint32_t sum = 0;
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    const int hi = HexDigitValue(text[i]);
    const int lo = HexDigitValue(text[i + 1]);
    if (hi >= 0 && lo >= 0) sum += static_cast<uint32_t>(hi * 16 + lo);
  }
  const std::string digits = IntToHexText(sum, 2);
  return digits.substr(digits.size() - 2);
}

std::string IntToHexText(uint64_t value, int digits) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  do {
    out.insert(out.begin(), kDigits[value & 15]);
    value >>= 4;
  } while (value != 0);
  if (static_cast<int>(out.size()) < digits) out.insert(0, static_cast<size_t>(digits) - out.size(), '0');
  return out;
}

uint32_t HexFieldValue(const std::string& text) {
  uint32_t value = 0;
  if (!ParseHex(text, value)) RaiseNotInteger("$" + text);
  return value;
}

int32_t HexFieldValueOrZero(const std::string& text) {
  uint32_t value = 0;
  return ParseHex(text, value) ? static_cast<int32_t>(value) : 0;
}

int32_t DecimalFieldValue(const std::string& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) RaiseNotInteger(text);
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') RaiseNotInteger(text);
    value = value * 10 + (text[i] - '0');
    if (value > 2147483648LL) RaiseNotInteger(text);
  }
  if (negative) value = -value;
  if (value > 2147483647LL) RaiseNotInteger(text);
  return static_cast<int32_t>(value);
}

std::string TextSlice(const std::string& text, size_t first, size_t count) {
  if (first < 1 || first > text.size()) return {};
  return text.substr(first - 1, count);
}

std::string BuildFrame(const std::string& command, const std::string& parameters) {
  const std::string payload = command + parameters;
  return "z" + payload + HexPairSumChecksum(payload) + ";";
}

std::string EraseFrame(uint64_t pageAddress) { return BuildFrame("04", IntToHexText(pageAddress, 6)); }

std::string DataFrame(int blockNumber, const std::string& blockDigits) {
  return BuildFrame("05", IntToHexText(static_cast<uint32_t>(blockNumber), 2) + blockDigits);
}

bool FrameReplyAccepted(const std::string& reply, const std::string& expectedStart) {
  return reply.size() >= expectedStart.size() && reply.compare(0, expectedStart.size(), expectedStart) == 0 &&
         !reply.empty() && reply.back() == ';';
}

TIdentifyReply ParseIdentifyReply(const std::string& reply) {
  TIdentifyReply r;
  r.ReplyCode = TextSlice(reply, 2, 2);
  r.LoaderVersion = TextSlice(reply, 4, 2);
  r.SpareField1 = TextSlice(reply, 6, 2);
  r.SpareField2 = TextSlice(reply, 8, 2);
  r.BlocksPerPage = HexFieldValueOrZero(TextSlice(reply, 10, 2));
  r.BlockSize = HexFieldValueOrZero(TextSlice(reply, 12, 2));
  r.PageCount = HexFieldValueOrZero(TextSlice(reply, 14, 4));
  return r;
}

std::string DescriptionBody(const std::string& reply) {
  if (reply.size() < 4) return {};
  return reply.substr(3, reply.size() - 4);
}

std::string DescriptionMemoText(const std::string& body) {
  std::string memo;
  if (body.size() <= 2) return memo;
  for (size_t i = 0; i + 2 < body.size(); ++i) {
    if (body[i] == '\n')
      memo += "\r\n";
    else
      memo += body[i];
  }
  return memo;
}
