#include "tests/support/encoding.h"

#include <iconv.h>

#include <stdexcept>

#include "platform/fake/fake_registry.h"

namespace testing_support {

std::string Encode(const std::string& utf8, const char* charset) {
  iconv_t cd = iconv_open(charset, "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no converter");
  std::string in = utf8;
  std::string out(in.size() * 4 + 16, '\0');
  char* inPtr = in.data();
  size_t inLeft = in.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1)) throw std::runtime_error("text not representable");
  out.resize(out.size() - outLeft);
  return out;
}

std::string Utf8(const std::u16string& text) { return platform::fake::Utf16ToUtf8(text); }

}  // namespace testing_support
