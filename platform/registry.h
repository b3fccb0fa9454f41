// The registry: keys opened by path under a root, subkeys created through a parent, values read
// and written as exact bytes. Results are Win32 error numbers (0 on success).
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

enum class RegRoot { LocalMachine, CurrentUser, Users };

class RegKey {
 public:
  virtual ~RegKey() = default;
  // RegCreateKeyExA/W: no class, non-volatile, default security; opens the key when it exists.
  [[nodiscard]] virtual long CreateSubKey(const std::string& name, uint32_t access, std::unique_ptr<RegKey>* out) = 0;
  [[nodiscard]] virtual long CreateSubKeyW(const std::u16string& name, uint32_t access,
                             std::unique_ptr<RegKey>* out) = 0;
  [[nodiscard]] virtual long OpenSubKey(const std::string& name, uint32_t access, std::unique_ptr<RegKey>* out) = 0;
  // RegQueryValueExA with a buffer of maxBytes: ERROR_MORE_DATA when the data do not fit.
  // The data come back exactly as stored; a terminating NUL is only there if it was stored.
  [[nodiscard]] virtual long QueryValue(const std::string& name, uint32_t maxBytes, uint32_t* type,
                          std::string* data) = 0;
  // RegSetValueExA: the bytes are stored as given (the byte count is data.size()).
  [[nodiscard]] virtual long SetValue(const std::string& name, uint32_t type, const std::string& data) = 0;
  // RegSetValueExW: name in UTF-16, data as raw bytes (UTF-16LE for texts).
  [[nodiscard]] virtual long SetValueW(const std::u16string& name, uint32_t type, const std::string& data) = 0;
  [[nodiscard]] virtual long DeleteValue(const std::string& name) = 0;
  [[nodiscard]] virtual long DeleteSubKey(const std::string& name) = 0;
  // RegEnumKeyExA with a name buffer of maxChars characters.
  [[nodiscard]] virtual long EnumSubKey(uint32_t index, uint32_t maxChars, std::string* name) = 0;
  [[nodiscard]] virtual long CountSubKeys(uint32_t* count) = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  [[nodiscard]] virtual long OpenKey(RegRoot root, const std::string& path, uint32_t access,
                       std::unique_ptr<RegKey>* out) = 0;
  [[nodiscard]] virtual long OpenKeyW(RegRoot root, const std::u16string& path, uint32_t access,
                        std::unique_ptr<RegKey>* out) = 0;
};

// UTF-16 text as the little-endian bytes RegSetValueExW takes (no terminating NUL).
std::string Utf16Bytes(const std::u16string& text);

}  // namespace platform
