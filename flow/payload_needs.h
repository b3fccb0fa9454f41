// What the setup needs from its payload, in one list: the files it places, starts, stamps, copies
// and checks by name, and the rules the payload as a whole must keep for an install to come out
// whole. The build refuses a payload that breaks any of them (tvz check-payload); the install
// and its check take their names and figures from the same places.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace flow {

// What the setup does with a needed file, which decides what makes it unusable.
enum class Use {
  Program,         // placed in a system directory or started: a Windows program
  StampedProgram,  // as Program, and carries the version text the setup rewrites (small enough)
  Data,            // copied or read by the install or the product
  DefaultSkin,     // unpacked over the install directory: an archive of pictures and settings
};

struct NeededFile {
  const char* name;         // as the payload must spell it (the setup looks it up exactly)
  const char* alternative;  // another name that serves as well, or null
  Use use;
  const char* role;  // what the setup does with it, for the message that misses it
};

// Every file the setup needs by name.
std::vector<NeededFile> NeededPayloadFiles();

// A name the install keeps for itself in the install directory: a payload file of that name
// would be lost or would stop the unpack.
struct ReservedName {
  const char* name;
  const char* keptFor;  // what the install keeps it for, for the message
};
std::vector<ReservedName> ReservedPayloadNames();

// The fewest files a whole install directory holds: the installation check refuses fewer.
inline constexpr int kInstalledFilesAtLeast = 74;

// One file of a payload as the check sees it.
struct PayloadFile {
  std::string name;  // ANSI bytes, as the entry will be named
  uint64_t size = 0;
};

// A payload: its files, and a way to read one's bytes (false when it cannot be read). Only the
// files whose contents decide something are read: programs, skins.
struct PayloadView {
  std::vector<PayloadFile> files;
  std::function<bool(const std::string& name, std::string* bytes)> read;
};

// How many files the install directory holds after a first install of this payload on any
// machine: its files less the stubs the install takes away, with the copies and settings files
// the install makes and the default skin's files (names that differ only in letter case are one
// file on Windows).
int InstalledFileCount(const PayloadView& payload);

// Everything that keeps the setup from installing this payload as a whole product, one sentence
// per fault, each naming its file; empty when there is nothing.
std::vector<std::string> PayloadFaults(const PayloadView& payload);

}  // namespace flow
