#include "tests/support/archive_fixture.h"

#include <random>

#include "tests/support/encoding.h"

namespace testing_support {

std::string RandomBytes(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string bytes(n, '\0');
  for (char& c : bytes) c = static_cast<char>(rng());
  return bytes;
}

std::string UnpackFailedText(const std::string& name) {
  return Encode("没有成功解压复制", "GBK") + name + Encode("文件！请重新下载安装。", "GBK");
}

}  // namespace testing_support
