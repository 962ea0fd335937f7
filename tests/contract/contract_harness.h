#pragma once

// What the contract suite (contract_test.cpp) needs of a back-end.

#include <memory>

#include "platform/platform.h"

namespace quernel::contract {

class ContractHarness {
 public:
  virtual ~ContractHarness() = default;
  virtual WindowRuntime& Window() = 0;
  virtual FileSystem& Files() = 0;
  virtual CodePage& Codes() = 0;
  // An empty folder, no trailing separator; removed with the harness.
  virtual Text ScratchFolder() = 0;
  virtual std::string ReadBytes(const Text& path) = 0;
  // These two give false where the platform (or the user's rights) cannot.
  virtual bool MakeReadOnly(const Text& path) = 0;
  virtual bool MakeLink(const Text& link, const Text& target, bool hard = false) = 0;
  // Types as the user's keys would, over what the field shows.
  virtual void TypeAsUser(ControlId list, const Text& text) = 0;
  // The next runs find no interpreter to start.
  virtual void MakeInterpreterMissing() = 0;
  // The user presses the window's close box once while the next run is
  // waited for (the press arrives before the run's end is noticed).
  virtual void PressCloseBoxDuringNextRun() = 0;
  virtual bool FormIsOpen() = 0;
};

std::unique_ptr<ContractHarness> MakeContractHarness();

}  // namespace quernel::contract
