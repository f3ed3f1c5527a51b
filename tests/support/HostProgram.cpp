// Sockets first: winsock2.h must come before windows.h.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "tests/support/HostProgram.h"

#include <windows.h>

#include <stdexcept>

namespace testing_support {

namespace {

// A Unix path as Wine's Z: drive shows it.
std::string ZPath(const std::string& UnixPath) {
  std::string Path = "Z:" + UnixPath;
  for (char& C : Path)
    if (C == '/') C = '\\';
  return Path;
}

std::string Quote(const std::string& Arg) { return "\"" + Arg + "\""; }

bool StartSockets() {
  static const bool Started = [] {
    WSADATA Data;
    return WSAStartup(MAKEWORD(2, 2), &Data) == 0;
  }();
  return Started;
}

}  // namespace

std::string Env(const char* Name) {
  char Value[4096];
  const DWORD N = GetEnvironmentVariableA(Name, Value, sizeof Value);
  return N > 0 && N < sizeof Value ? std::string(Value, N) : std::string();
}

HostProgram::HostProgram(const std::string& What, const std::string& Program, const std::string& Script,
                         const std::string& Args)
    : FWhat(What) {
  if (!StartSockets()) Fail("WSAStartup failed");
  SOCKET Listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (Listener == INVALID_SOCKET) Fail("no socket");
  sockaddr_in Address{};
  Address.sin_family = AF_INET;
  Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int Length = sizeof Address;
  if (bind(Listener, reinterpret_cast<sockaddr*>(&Address), sizeof Address) != 0 || listen(Listener, 1) != 0 ||
      getsockname(Listener, reinterpret_cast<sockaddr*>(&Address), &Length) != 0) {
    closesocket(Listener);
    Fail("cannot listen on the loopback");
  }
  // Wine maps the executable's path; arguments reach the native program as they are.
  std::string Line = Quote(ZPath(Program));
  if (!Script.empty()) Line += " " + Quote(Script);
  Line += " --control 127.0.0.1:" + std::to_string(ntohs(Address.sin_port));
  if (!Args.empty()) Line += " " + Args;
  STARTUPINFOA Startup{};
  Startup.cb = sizeof Startup;
  PROCESS_INFORMATION Process{};
  if (!CreateProcessA(nullptr, Line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Startup, &Process)) {
    closesocket(Listener);
    Fail("cannot start " + Program + " " + Script + " (error " + std::to_string(GetLastError()) + ")");
  }
  // For a native program Wine fills in no handles: the process and thread fields hold whatever its stack
  // held (seen: a null process and a stack address as the thread). Closing them could close a live
  // handle of this process (the cached HKEY_LOCAL_MACHINE, so that the next registration failed with
  // error 6), so they are left alone; the connection tells whether the program lives.
  fd_set Readable;
  FD_ZERO(&Readable);
  FD_SET(Listener, &Readable);
  timeval Wait{20, 0};
  if (select(0, &Readable, nullptr, nullptr, &Wait) != 1) {
    closesocket(Listener);
    Fail("did not connect within 20 s (" + Program + " " + Script + ")");
  }
  const SOCKET Connected = accept(Listener, nullptr, nullptr);
  closesocket(Listener);
  if (Connected == INVALID_SOCKET) Fail("accept failed");
  BOOL NoDelay = TRUE;
  setsockopt(Connected, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&NoDelay), sizeof NoDelay);
  FSocket = Connected;
}

HostProgram::~HostProgram() {
  if (FSocket != ~uintptr_t{0}) closesocket(static_cast<SOCKET>(FSocket));
}

void HostProgram::Fail(const std::string& What) const { throw std::runtime_error(FWhat + ": " + What); }

void HostProgram::Send(const std::string& Line) {
  const std::string Text = Line + "\n";
  if (send(static_cast<SOCKET>(FSocket), Text.data(), static_cast<int>(Text.size()), 0) != static_cast<int>(Text.size()))
    Fail("cannot send \"" + Line + "\"");
}

std::string HostProgram::ReadLine(unsigned TimeoutMs) {
  const DWORD Start = GetTickCount();
  for (;;) {
    const size_t End = FBuffer.find('\n');
    if (End != std::string::npos) {
      std::string Line = FBuffer.substr(0, End);
      FBuffer.erase(0, End + 1);
      return Line;
    }
    const DWORD Elapsed = GetTickCount() - Start;
    if (Elapsed >= TimeoutMs) Fail("no answer within " + std::to_string(TimeoutMs) + " ms");
    fd_set Readable;
    FD_ZERO(&Readable);
    FD_SET(static_cast<SOCKET>(FSocket), &Readable);
    const DWORD Left = TimeoutMs - Elapsed;
    timeval Wait{static_cast<long>(Left / 1000), static_cast<long>(Left % 1000) * 1000};
    if (select(0, &Readable, nullptr, nullptr, &Wait) != 1) continue;
    char Chunk[65536];
    const int N = recv(static_cast<SOCKET>(FSocket), Chunk, sizeof Chunk, 0);
    if (N <= 0) Fail("the program closed the connection");
    FBuffer.append(Chunk, static_cast<size_t>(N));
  }
}

}  // namespace testing_support
