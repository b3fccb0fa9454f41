// Facts about the running system: version, platform family, OEM and ANSI code pages, screen size.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // GetVersionExA with the extended structure (declared size 156): the major version, 0 when the
  // call fails.
  virtual uint32_t VersionMajor() = 0;
  // GetVersion: the packed value; its top bit marks the Windows 9x family.
  virtual uint32_t PackedVersion() = 0;
  virtual uint32_t OemCodePage() = 0;
  // GetACP: the code page of every ANSI text and path the program handles.
  virtual uint32_t AnsiCodePage() = 0;
  // MultiByteToWideChar from the ANSI code page: what the A calls make of these bytes. A byte the
  // code page has no character for becomes what Windows makes of it (U+FFFD or a private one).
  virtual std::u16string AnsiToUtf16(const std::string& ansi) = 0;
  virtual int ScreenWidth() = 0;
  virtual int ScreenHeight() = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;
};

}  // namespace platform
