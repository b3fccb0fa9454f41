#include "platform/win32/win32_registry.h"

#include <vector>

#include "platform/win32/scoped_handle.h"
#include "platform/win32/wide_text.h"

namespace platform::win32 {
namespace {

HKEY RootKey(RegRoot root) {
  switch (root) {
    case RegRoot::LocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegRoot::CurrentUser:
      return HKEY_CURRENT_USER;
    case RegRoot::Users:
      return HKEY_USERS;
  }
  return nullptr;
}

const BYTE* Bytes(const std::string& data) { return reinterpret_cast<const BYTE*>(data.data()); }

class Win32RegKey : public RegKey {
 public:
  explicit Win32RegKey(ScopedRegKey key) : key_(std::move(key)) {}

  long CreateSubKey(const std::string& name, uint32_t access, std::unique_ptr<RegKey>* out) override {
    ScopedRegKey sub;
    long rc = ::RegCreateKeyExA(key_.Get(), name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                sub.Receive(), nullptr);
    if (rc == ERROR_SUCCESS) *out = std::make_unique<Win32RegKey>(std::move(sub));
    return rc;
  }

  long CreateSubKeyW(const std::u16string& name, uint32_t access, std::unique_ptr<RegKey>* out) override {
    ScopedRegKey sub;
    long rc = ::RegCreateKeyExW(key_.Get(), Wide(name), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                sub.Receive(), nullptr);
    if (rc == ERROR_SUCCESS) *out = std::make_unique<Win32RegKey>(std::move(sub));
    return rc;
  }

  long OpenSubKey(const std::string& name, uint32_t access, std::unique_ptr<RegKey>* out) override {
    ScopedRegKey sub;
    long rc = ::RegOpenKeyExA(key_.Get(), name.c_str(), 0, access, sub.Receive());
    if (rc == ERROR_SUCCESS) *out = std::make_unique<Win32RegKey>(std::move(sub));
    return rc;
  }

  long QueryValue(const std::string& name, uint32_t maxBytes, uint32_t* type, std::string* data) override {
    std::vector<BYTE> buffer(maxBytes ? maxBytes : 1);
    DWORD size = maxBytes;
    DWORD valueType = 0;
    long rc = ::RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &valueType, buffer.data(), &size);
    *type = valueType;
    if (rc == ERROR_SUCCESS) data->assign(reinterpret_cast<const char*>(buffer.data()), size);
    return rc;
  }

  long SetValue(const std::string& name, uint32_t type, const std::string& data) override {
    return ::RegSetValueExA(key_.Get(), name.c_str(), 0, type, Bytes(data), static_cast<DWORD>(data.size()));
  }

  long SetValueW(const std::u16string& name, uint32_t type, const std::string& data) override {
    // RegSetValueExW stores a UTF-16 NUL after a text that lacks one only when a NUL follows the
    // data in memory. A std::string promises one zero byte after its data, not the two of a UTF-16
    // NUL: given the data as they are, the stored value would depend on the byte beyond.
    std::string terminated = data;
    terminated.append(2, '\0');
    return ::RegSetValueExW(key_.Get(), Wide(name), 0, type, Bytes(terminated), static_cast<DWORD>(data.size()));
  }

  long DeleteValue(const std::string& name) override { return ::RegDeleteValueA(key_.Get(), name.c_str()); }

  long DeleteSubKey(const std::string& name) override { return ::RegDeleteKeyA(key_.Get(), name.c_str()); }

  long EnumSubKey(uint32_t index, uint32_t maxChars, std::string* name) override {
    std::vector<char> buffer(maxChars + 1, '\0');
    DWORD length = maxChars;
    long rc = ::RegEnumKeyExA(key_.Get(), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_SUCCESS) name->assign(buffer.data(), length);
    return rc;
  }

  long CountSubKeys(uint32_t* count) override {
    DWORD subKeys = 0;
    long rc = ::RegQueryInfoKeyA(key_.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr);
    if (rc == ERROR_SUCCESS) *count = subKeys;
    return rc;
  }

 private:
  ScopedRegKey key_;
};

}  // namespace

long Win32Registry::OpenKey(RegRoot root, const std::string& path, uint32_t access, std::unique_ptr<RegKey>* out) {
  ScopedRegKey key;
  long rc = ::RegOpenKeyExA(RootKey(root), path.c_str(), 0, access, key.Receive());
  if (rc == ERROR_SUCCESS) *out = std::make_unique<Win32RegKey>(std::move(key));
  return rc;
}

long Win32Registry::OpenKeyW(RegRoot root, const std::u16string& path, uint32_t access, std::unique_ptr<RegKey>* out) {
  ScopedRegKey key;
  long rc = ::RegOpenKeyExW(RootKey(root), Wide(path), 0, access, key.Receive());
  if (rc == ERROR_SUCCESS) *out = std::make_unique<Win32RegKey>(std::move(key));
  return rc;
}

}  // namespace platform::win32
