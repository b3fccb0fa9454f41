// One table of file and registry cases for the platform seam. The same rows run against the fake
// platform on the host (tests/seam/seam_table_test.cpp) and against the real Win32 layer inside
// Wine (tests/e2e/probe/seamtable.cpp, run by tests/e2e/cases_seam.sh), so the fake cannot drift
// from what the real layer gives. Every row's expectation is what Windows does; where Wine is
// known to differ the row says so.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/registry.h"

namespace seam {

// Something another handle keeps open, or a module kept loaded, until it is destroyed.
class Holding {
 public:
  virtual ~Holding() = default;
};

// What the table cannot do through the platform interfaces.
class Hooks {
 public:
  virtual ~Hooks() = default;
  // Puts a loadable module (a DLL image) at the path.
  virtual bool PlaceModule(const std::string& path) = 0;
  // Another handle opens the file for reading and shares reading only (neither writing nor
  // deletion), as a program that has the file open does. Null when it cannot.
  virtual std::unique_ptr<Holding> HoldOpen(const std::string& path) = 0;
  // The file is loaded as a module (LoadLibrary), as the system keeps an IME it uses. Null when
  // it cannot.
  virtual std::unique_ptr<Holding> LoadModule(const std::string& path) = 0;
};

struct Machine {
  platform::Files& files;
  platform::Registry& registry;
  Hooks& hooks;
  // An existing directory the table may fill, without trailing backslash.
  std::string scratch;
  // A 32-bit program on 64-bit Windows: two registry views. On 32-bit Windows there is one.
  bool is64BitWindows = false;
  // Windows refuses to open a read-only file for writing. Wine leaves that to the unix permission
  // check, which a Wine run as root passes (the harness runs so): there, the rows that write to a
  // read-only file are skipped. Deleting one is refused by Wine itself, for root too.
  bool readOnlyRefusesWrites = true;
};

struct Row {
  std::string name;
  std::string expected;
  std::string got;
  std::string skipped;  // why the row was not run on this machine; empty when it was
  bool Passed() const { return !skipped.empty() || expected == got; }
};

// Runs every row. The registry rows use keys named TavoSeam* under HKLM\Software, HKLM\System
// and HKCU\Software; a second run on the same machine gives the same results.
std::vector<Row> RunTable(Machine& machine);
// The rows whose result differs from the expected one.
std::vector<Row> Disagreements(const std::vector<Row>& rows);

}  // namespace seam
