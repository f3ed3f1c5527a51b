#pragma once
// A program of the host (Linux) that a test under Wine starts and talks to over a line connection. Wine runs a
// native executable given by its Z:\ path but hands back no usable process handle, so nothing waits on the
// process: the program is told the port of a loopback listener ("--control 127.0.0.1:PORT"), connects back, and
// that connection tells whether it lives. Closing the connection tells the program to end.
#include <cstdint>
#include <string>

namespace testing_support {

class HostProgram {
public:
  // Starts Program (its Unix path) with Script as its first argument when given, then the control address, then
  // Args; waits up to 20 s for the connection. What names the program in the messages of the failures thrown
  // (std::runtime_error).
  HostProgram(const std::string& What, const std::string& Program, const std::string& Script, const std::string& Args);
  ~HostProgram();
  HostProgram(const HostProgram&) = delete;
  HostProgram& operator=(const HostProgram&) = delete;

  // Sends one line (the newline is added).
  void Send(const std::string& Line);
  // The next line the program wrote, without its newline; throws when none comes within TimeoutMs.
  std::string ReadLine(unsigned TimeoutMs);
  [[noreturn]] void Fail(const std::string& What) const;

private:
  std::string FWhat;
  uintptr_t FSocket = ~uintptr_t{0};  // the connection (a SOCKET)
  std::string FBuffer;                // received, not yet read
};

// An environment variable of the test process ("" when unset).
std::string Env(const char* Name);

}  // namespace testing_support
