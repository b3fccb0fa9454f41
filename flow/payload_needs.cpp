#include "flow/payload_needs.h"

#include <set>

#include "archive/archive_format.h"
#include "archive/archive_reader.h"
#include "archive/archive_verify.h"
#include "archive/texts.h"
#include "archive/user_data.h"
#include "flow/texts.h"
#include "flow/version_stamp.h"
#include "system/texts.h"

namespace flow {
namespace {

// What a file of the user's data is there for, when the payload lacks it.
constexpr char kUserFileRole[] =
    "a file of the user's data that every reinstall packs: without it no reinstall keeps the user's dictionaries";

bool IsSkin(const std::string& name) {
  constexpr std::string_view kExtension = ".tvz";
  return name.size() > kExtension.size() &&
         archive::SameEntryName(std::string_view(name).substr(name.size() - kExtension.size()), kExtension);
}

const PayloadFile* Find(const PayloadView& payload, const char* name) {
  if (!name) return nullptr;
  for (const PayloadFile& file : payload.files) {
    if (file.name == name) return &file;
  }
  return nullptr;
}

// The entries of a skin archive's image; false when the setup could not unpack it whole.
bool SkinEntries(const std::string& image, std::vector<archive::EntryReport>* entries, std::string* fault) {
  if (image.size() > archive::kSkinLoadSize) {
    *fault = "is " + std::to_string(image.size()) + " bytes, but the setup loads only the first " +
             std::to_string(archive::kSkinLoadSize) + " bytes of a skin";
    return false;
  }
  std::string why;
  if (!archive::VerifyArchive(reinterpret_cast<const uint8_t*>(image.data()), image.size(), archive::kSkinDataAreaSize,
                              entries, &why)) {
    *fault = "is no skin the setup can unpack: " + why;
    return false;
  }
  return true;
}

// A program's first bytes: "MZ", and room for the header behind them.
bool LooksLikeProgram(const std::string& bytes) { return bytes.size() >= 64 && bytes[0] == 'M' && bytes[1] == 'Z'; }

void CheckProgram(const PayloadView& payload, const NeededFile& need, const PayloadFile& file,
                  std::vector<std::string>* faults) {
  std::string bytes;
  if (!payload.read || !payload.read(file.name, &bytes)) {
    faults->push_back(file.name + " cannot be read: " + need.role);
    return;
  }
  if (!LooksLikeProgram(bytes)) {
    faults->push_back(file.name + " is not a Windows program (it does not begin with \"MZ\"): " + need.role);
    return;
  }
  if (need.use != Use::StampedProgram) return;
  if (bytes.size() > kStampLimit) {
    faults->push_back(file.name + " is " + std::to_string(bytes.size()) +
                      " bytes: the setup writes the version 7.1 into a program of at most " +
                      std::to_string(kStampLimit) + " bytes only (" + need.role + ")");
    return;
  }
  if (!StampVersion(reinterpret_cast<uint8_t*>(bytes.data()), bytes.size())) {
    faults->push_back(file.name +
                      " carries no version text for the setup to make 7.1 (the product's name in UTF-16 followed by "
                      "\"  6.3\" or \"  6.7\"): " +
                      need.role);
  }
}

void CheckSkin(const PayloadView& payload, const PayloadFile& file, std::vector<std::string>* faults) {
  std::string image;
  if (!payload.read || !payload.read(file.name, &image)) {
    faults->push_back(file.name + " cannot be read");
    return;
  }
  std::vector<archive::EntryReport> entries;
  std::string fault;
  if (!SkinEntries(image, &entries, &fault)) {
    faults->push_back(file.name + " " + fault);
    return;
  }
  for (const archive::EntryReport& entry : entries) {
    if (!archive::IsDataFileName(entry.name)) {
      faults->push_back(file.name + " carries " + entry.name +
                        ": a skin holds pictures and settings, and the setup never unpacks a program from one");
    }
  }
}

}  // namespace

std::vector<NeededFile> NeededPayloadFiles() {
  std::vector<NeededFile> needs = {
      {text::kModuleName, nullptr, Use::Program, "the 32-bit IME module"},
      {text::kModule64, nullptr, Use::Program, "the 64-bit IME module"},
      {text::kStubs[0], nullptr, Use::StampedProgram,
       "the stub registered first on 32-bit GBK (code page 936) systems"},
      {text::kStubs[1], nullptr, Use::StampedProgram,
       "the stub registered first on 32-bit Big5 (code page 950) systems"},
      {text::kStubs[2], nullptr, Use::StampedProgram,
       "the stub registered first on 64-bit GBK (code page 936) systems"},
      {text::kStubs[3], nullptr, Use::StampedProgram,
       "the stub registered first on 64-bit Big5 (code page 950) systems"},
      {text::kCompanionName, nullptr, Use::StampedProgram,
       "the program that registers the 64-bit module on 64-bit Windows"},
      {text::kUninstallerName, nullptr, Use::Program, "the uninstaller on 32-bit Windows"},
      {text::kUninstaller64, nullptr, Use::Program, "the uninstaller on 64-bit Windows"},
      {text::kMainProgramName, nullptr, Use::Program, "the main program before Windows Vista, started at logon"},
      {text::kMainProgram6, nullptr, Use::Program,
       "the main program from Windows Vista on and on 64-bit Windows, started at logon"},
      {text::kWubiLibrary.shipped, nullptr, Use::Data, "the Wubi phrase library the install copies for the user"},
      {text::kPinyinLibrary.shipped, nullptr, Use::Data, "the Pinyin phrase library the install copies for the user"},
      {archive::text::kDefaultSkin, nullptr, Use::DefaultSkin, "the default skin, unpacked by every first install"},
  };
  for (const archive::RequiredUserFile& file : archive::RequiredUserFiles()) {
    // The live file stands for the entry: the backup copies it to the entry's name first.
    needs.push_back({file.entry, file.copiedFrom, Use::Data, kUserFileRole});
  }
  return needs;
}

std::vector<ReservedName> ReservedPayloadNames() {
  return {{text::kOwnFolder, "folder"}, {archive::text::kBackupArchive, "backup of the user's data"}};
}

int InstalledFileCount(const PayloadView& payload) {
  std::set<std::string> names;
  auto add = [&names](const std::string& name) { names.insert(archive::EntryNameKey(name)); };
  for (const PayloadFile& file : payload.files) add(file.name);
  for (const char* stub : text::kStubs) names.erase(archive::EntryNameKey(stub));
  // The install's copies, and the settings files it writes there on every machine.
  for (const char* copy : {text::kModuleCopy, text::kWubiLibrary.usersCopy, text::kPinyinLibrary.usersCopy,
                           text::kMainProgramName, sys::text::kSwitchFile, sys::text::kNetFile}) {
    add(copy);
  }
  std::string skin;
  std::vector<archive::EntryReport> entries;
  std::string fault;
  if (Find(payload, archive::text::kDefaultSkin) && payload.read && payload.read(archive::text::kDefaultSkin, &skin) &&
      SkinEntries(skin, &entries, &fault)) {
    for (const archive::EntryReport& entry : entries) {
      if (archive::IsDataFileName(entry.name)) add(entry.name);
    }
  }
  return static_cast<int>(names.size());
}

std::vector<std::string> PayloadFaults(const PayloadView& payload) {
  std::vector<std::string> faults;
  for (const NeededFile& need : NeededPayloadFiles()) {
    const PayloadFile* file = Find(payload, need.name);
    if (!file) file = Find(payload, need.alternative);
    if (!file) {
      std::string names = need.name;
      if (need.alternative) names += std::string(" (or ") + need.alternative + ")";
      faults.push_back(names + " is missing: " + need.role);
      continue;
    }
    if (file->size == 0) continue;  // told below, with every empty file
    if (need.use == Use::Program || need.use == Use::StampedProgram) CheckProgram(payload, need, *file, &faults);
  }
  for (const PayloadFile& file : payload.files) {
    if (file.size == 0) faults.push_back(file.name + " is empty: the setup's unpack stops at an empty file");
    for (const ReservedName& reserved : ReservedPayloadNames()) {
      if (archive::SameEntryName(file.name, reserved.name)) {
        faults.push_back(file.name + ": the install keeps this name for its own " + reserved.keptFor);
      }
    }
    if (file.size > 0 && IsSkin(file.name)) CheckSkin(payload, file, &faults);
  }
  const int installed = InstalledFileCount(payload);
  if (installed < kInstalledFilesAtLeast) {
    faults.push_back("the install directory would hold " + std::to_string(installed) +
                     " files, and the installation check wants at least " + std::to_string(kInstalledFilesAtLeast) +
                     " (the payload's files less the stubs, with the install's copies and the default skin's files)");
  }
  return faults;
}

}  // namespace flow
