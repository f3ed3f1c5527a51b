#pragma once
// The loader's operations on the main window and the port: parsing the firmware lines into the
// image, identifying the device, checking its firmware version, the erase/write/commit sequence,
// resetting the device and the stop key. Every message, beep and control state goes through
// ILoaderView, every byte through ISerialLink.
#include "app/LoaderPorts.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// Where a parse was started from: it decides how success is reported.
enum class TParseOrigin { Startup, OpenedFile };
// Which button runs an identification: it decides the texts and what is disabled on refusal.
enum class TIdentifyVariant { IdentifyButton, Write };
// How a write ended.
enum class TWriteOutcome { Refused, Succeeded, EraseFailed, DataFailed, CommitFailed, Stopped };

// The version of the firmware the program carries.
extern const char* const CarriedFirmwareVersion;  // "171123"
// Tries of one frame, and the failures of a whole write after which it is abandoned.
constexpr int FrameTryLimit = 400;
constexpr int WriteFailureLimit = 399;

class TBootloaderSession {
public:
  TBootloaderSession(ISerialLink& port, ILoaderView& view) : port_(port), view_(view) {}

  // Checks the firmware lines, prefills an image and places the records. Returns whether the parse
  // succeeded: only then does the image replace the firmware image, and an opened file's name (path
  // without its folder) become the one a failed write reports; a failure leaves both as they were.
  bool ParseFirmwareLines(TParseOrigin origin, const std::string& path = std::string());

  // Wakes and identifies the device and reads its description into the memo. Returns whether
  // the device answered as a known bootloader.
  bool IdentifyDevice(TIdentifyVariant variant);
  // The identify button: identify, then invite the operator to open a HEX file.
  void IdentifyButton();
  // The write button: identify, check the version, write.
  TWriteOutcome WriteButton();
  // "z0101;" twice; the replies are ignored.
  void ResetDevice();
  // Ctrl+Del: takes a stop while a write may still stop (from the write button's click until the write
  // reaches its end); the write leaves at its next test and gives the controls back then. After a write that
  // failed (erase, data, commit or the port), gives back the controls it left disabled, the write button
  // among them, while one of them still is and no identification has run since. Returns whether it did either.
  bool RequestStop();
  // Ctrl+L: open the chosen port, reset the device, close the port.
  void ResetFromKeyboard();

  // A parse, an exchange or the keyboard reset is running. They pump messages and show boxes, so a click
  // or a key could otherwise start another one inside it (and change the port or the image under a write).
  bool Busy() const { return busy_; }
  // While one runs, gives a short beep and returns true: the caller starts nothing.
  bool RefuseWhileBusy();
  // Empties the image and the reply and frame texts (the program is ending).
  void ReleaseStrings();

  // State kept for the whole run.
  std::string FirmwareImage;
  std::string ReplyText;
  std::string FrameReply;
  std::string FrameText;
  std::string ReplyCode;
  std::string LoaderVersion;
  std::string SpareField1;
  std::string SpareField2;
  int32_t BlocksPerPage = 0;
  int32_t BlockSize = 0;
  int32_t PageCount = 0;
  int32_t StopRequested = 0;
  // Working state of the last write.
  int32_t FailureCount = 0;
  int32_t EraseDelay = 0;
  int32_t WriteDelay = 0;
  int32_t CommitDelay = 0;
  int64_t Offset = 0;  // wide: pages times blocks may pass 2^31 bytes on a bogus geometry

private:
  enum class TTryResult { Accepted, Exhausted, Stopped };
  // When a try serves the window, always between sending its frame and reading the reply, so that the pump's work
  // overlaps the frame's time on the wire. A data frame is long enough on the wire to hide a pump; the short erase
  // and commit frames pump only on a retry, which has waited out a read's time-out already.
  enum class TWirePump {
    WhenDue,  // every try, as often as the write's pump period allows
    Now,      // the first try always (a page's first block)
    OnRetry,  // retries only, as often as the period allows
  };
  void ReopenPort();
  // A pump of the message queue costs tens of microseconds under some systems, so the long
  // passes over lines and the prefill pump only when a few milliseconds have passed, and the write
  // only as often as a window is worth redrawing. Returns whether it pumped.
  bool PumpWhenDue(uint32_t periodMs);
  // Pumps now (before the write's stop test).
  void Pump();
  // A try's pump on its frame's first try; retries pump when due. Returns whether it pumped.
  bool PumpOnTheWire(TWirePump pump);
  // Erase, write and commit every page of the identified device, then reset it.
  TWriteOutcome WriteFirmware();
  // The write itself; WriteFirmware puts the log of every try into the memo however it ends.
  TWriteOutcome WritePages();
  // Builds `image` from the lines; false once a refused line has been reported.
  bool BuildImage(const std::vector<std::string>& lines, std::string& image);
  bool ReportParseError(const char* text, size_t lineIndex, const std::string& line);
  bool CheckVersion();
  TTryResult TryFrame(const std::string& frame, const char* logPrefix, int32_t& delay, const char* replyStart,
                      TWirePump pump);
  TWriteOutcome FinishSuccess();
  TWriteOutcome FinishFailure(TWriteOutcome outcome);
  TWriteOutcome FinishStopped();
  // Enables the five controls a write disables.
  void GiveBackControls();
  // Enables one control; the stop key no longer holds it for the operator.
  void EnableControl(TLoaderControl control);
  // The stop key's way back: `controls` are what a failed write left disabled (none: no way back).
  void HoldForStopKey(std::initializer_list<TLoaderControl> controls);
  void ShowCalibration();

  ISerialLink& port_;
  ILoaderView& view_;
  std::string openedFileName_;
  uint32_t lastPump_ = 0;  // the platform clock's milliseconds
  bool busy_ = false;
  bool writeMayStop_ = false;
  unsigned heldControls_ = 0;  // a bit per control a failed write left disabled for the stop key to give back
};
