#pragma once

// The platform contract: what every back-end promises the program. The suite
// in contract_test.cpp runs against any back-end; each back-end's contract
// program supplies MakeContractHarness().

#include <memory>

#include "platform/platform.h"

namespace quernel::contract {

class ContractHarness {
 public:
  virtual ~ContractHarness() = default;
  virtual WindowRuntime& Window() = 0;
  virtual FileSystem& Files() = 0;
  virtual CodePage& Codes() = 0;
  // An empty folder the test may write in, named as the program names
  // folders (no trailing separator). Removed with the harness.
  virtual Text ScratchFolder() = 0;
  // The bytes of a file, read behind the back-end's back.
  virtual std::string ReadBytes(const Text& path) = 0;
  // Lets the platform do pending window work (painting, queued messages).
  virtual void ProcessEvents() {}
  // Makes a file read-only as the platform knows it; false where it cannot.
  virtual bool MakeReadOnly(const Text& path) = 0;
  // Makes `link` a symbolic link to the file `target`; false where the
  // platform (or the user's rights) cannot.
  virtual bool MakeLink(const Text& link, const Text& target) = 0;
  // Types `text` into an editable list's field as the user's keys would,
  // over what it shows.
  virtual void TypeAsUser(ControlId list, const Text& text) = 0;
  // A command line whose program cannot be found on the platform.
  virtual Text MissingProgramCommandLine() { return "quernel-no-such-program.exe"; }
};

// Defined once per back-end's contract program.
std::unique_ptr<ContractHarness> MakeContractHarness();

}  // namespace quernel::contract
