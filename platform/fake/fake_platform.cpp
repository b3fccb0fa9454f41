#include "platform/fake/fake_platform.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "platform/constants.h"

namespace platform::fake {
namespace {

class FakeImage : public ResourceImage {
 public:
  explicit FakeImage(const std::string& bytes) : bytes_(bytes) {}
  const uint8_t* Data() const override { return reinterpret_cast<const uint8_t*>(bytes_.data()); }
  size_t Size() const override { return bytes_.size(); }

 private:
  const std::string& bytes_;
};

class FakeBlock : public MemoryBlock {
 public:
  explicit FakeBlock(size_t size) : bytes_(size, 0) {}
  uint8_t* Data() override { return bytes_.data(); }
  size_t Size() const override { return bytes_.size(); }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace

std::u16string FakeSystemInfo::AnsiToUtf16(const std::string& ansi) {
  std::u16string wide;
  iconv_t convert = iconv_open("UTF-16LE", ("CP" + std::to_string(ansiCodePage)).c_str());
  if (convert == reinterpret_cast<iconv_t>(-1)) {
    for (char c : ansi) wide.push_back(static_cast<unsigned char>(c) < 0x80 ? static_cast<char16_t>(c) : u'\uFFFD');
    return wide;
  }
  std::string in = ansi;
  char* from = in.data();
  size_t left = in.size();
  while (left > 0) {
    char16_t unit[2];
    char* to = reinterpret_cast<char*>(unit);
    size_t room = sizeof unit;
    size_t done = iconv(convert, &from, &left, &to, &room);
    for (char16_t* u = unit; reinterpret_cast<char*>(u) < to; ++u) wide.push_back(*u);
    if (done == static_cast<size_t>(-1) && errno != E2BIG) {
      // A byte the code page has no character for, or a lead byte cut off at the end.
      wide.push_back(u'\uFFFD');
      ++from;
      --left;
    }
  }
  iconv_close(convert);
  return wide;
}

std::string FakeInputMethods::Description(uint32_t layout, uint32_t bufferBytes) {
  auto it = descriptions.find(layout);
  if (it == descriptions.end() || bufferBytes == 0) return std::string();
  return it->second.substr(0, bufferBytes - 1);
}

std::vector<uint32_t> FakeInputMethods::LayoutList(int maxCount) {
  std::vector<uint32_t> list = layouts;
  if (static_cast<int>(list.size()) > maxCount) list.resize(static_cast<size_t>(std::max(maxCount, 0)));
  return list;
}

uint32_t FakeInputMethods::Activate(uint32_t layout, uint32_t) {
  activations.push_back(layout);
  uint32_t previous = current;
  current = layout;
  return previous;
}

std::unique_ptr<ResourceImage> FakeResources::Load(const char* type, const char* name) {
  auto it = images.find(std::string(type) + "/" + name);
  if (it == images.end()) return nullptr;
  return std::make_unique<FakeImage>(it->second);
}

std::unique_ptr<MemoryBlock> FakeResources::AllocZeroed(size_t size) {
  if (failAllocation) return nullptr;
  allocations.push_back(size);
  return std::make_unique<FakeBlock>(size);
}

int FakeDialogs::Answer(uint32_t type) {
  if (!answers.empty()) {
    int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return (type & 0xF) == kMbYesNo ? kIdNo : kIdOk;
}

int FakeDialogs::MessageA(const std::string& text, const std::string& caption, uint32_t type) {
  shown.push_back({false, text, caption, {}, {}, type});
  if (whileShown) whileShown(shown.back());
  return Answer(type);
}

int FakeDialogs::MessageW(const std::u16string& text, const std::u16string& caption, uint32_t type) {
  shown.push_back({true, Utf16ToUtf8(text), Utf16ToUtf8(caption), text, caption, type});
  if (whileShown) whileShown(shown.back());
  return Answer(type);
}

FakePlatform::FakePlatform(const FakePlatform& other)
    : files(other.files),
      registry(other.registry),
      system(other.system),
      ime(other.ime),
      processes(other.processes),
      resources(other.resources),
      dialogs(other.dialogs),
      windows(other.windows) {}

FakePlatform::FakePlatform() { SetWindows(system.major, false); }

void FakePlatform::SetWindows(uint32_t major, bool is64Bit) {
  system.major = major;
  if (is64Bit) files.AddDirectory(files.WindowsDirectory() + "\\syswow64");
  files.SetWow64(is64Bit);
  registry.SetWow64(is64Bit);

  // The system's folders as Windows of that version names them, on the drive it lives on, with
  // the short names and junctions it gives them.
  const std::string drive = files.WindowsDirectory().substr(0, 3);
  std::vector<std::string> folders = {drive + "Program Files"};
  files.ClearLinks();
  files.AddLink(drive + "PROGRA~1", drive + "Program Files");
  if (is64Bit) {
    folders.push_back(drive + "Program Files (x86)");
    files.AddLink(drive + "PROGRA~2", drive + "Program Files (x86)");
  }
  if (major >= 6) {
    folders.push_back(drive + "ProgramData");
    folders.push_back(drive + "Users");
    files.AddLink(drive + "Documents and Settings", drive + "Users");
  } else if (major == 5) {
    folders.push_back(drive + "Documents and Settings\\All Users\\Application Data");
    folders.push_back(drive + "Documents and Settings");
    files.AddLink(drive + "DOCUME~1", drive + "Documents and Settings");
  }
  files.SetSystemFolders(folders);
}

void FakePlatform::DropAdminRights() {
  files.DenyWrites(files.WindowsDirectory());
  registry.DenyWrites(RegRoot::LocalMachine);
}

}  // namespace platform::fake
