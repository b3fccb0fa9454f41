#include "tests/support/archive_fixture.h"

#include <random>

#include "tests/support/encoding.h"

namespace testing_support {

std::vector<archive::NamedContent> CompleteProductFiles() {
  std::vector<archive::NamedContent> files = {{"tavohu4.ime", std::string(30, 'm')},
                                              {"tavohu64.ime", "m64"},
                                              {"tavo320.ime", "stub"},
                                              {"tavo640.ime", "stub"},
                                              {"tavodel.exe", "del"},
                                              {"tvqdel64.exe", "del64"},
                                              {"tavokel6.exe", "kelv6"},
                                              {"setupw64.exe", "s64"},
                                              {"tavocyzk.tv1", std::string(30, 'w')},
                                              {"tavopyck.tv1", std::string(30, 'p')}};
  for (int i = 0; i < 70; ++i) files.push_back({"t" + std::to_string(i) + ".tvh", "table"});
  return files;
}

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
