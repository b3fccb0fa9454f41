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
  // RegQueryValueExA with a buffer of maxBytes: ERROR_MORE_DATA when the data do not fit (the
  // type is still given, the data are left as they were). The data come back exactly as stored,
  // a text's terminating NUL counted; a text stored through the UTF-16 call comes back in the ANSI
  // code page. A missing value or key: ERROR_FILE_NOT_FOUND, and type 0.
  [[nodiscard]] virtual long QueryValue(const std::string& name, uint32_t maxBytes, uint32_t* type,
                                        std::string* data) = 0;
  // RegSetValueExA: the bytes are stored as given (the byte count is data.size()), except that a
  // text (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) not ending in a NUL is stored with one, as Windows
  // does when a NUL follows the data in memory (a std::string always has one there).
  [[nodiscard]] virtual long SetValue(const std::string& name, uint32_t type, const std::string& data) = 0;
  // RegSetValueExW: name in UTF-16, data as raw bytes (UTF-16LE for texts); a text not ending in
  // a UTF-16 NUL is stored with one, as through the ANSI call.
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
