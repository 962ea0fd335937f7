#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "contract/contract_harness.h"
#include "platform/fake/fake_platform.h"

namespace quernel::contract {
namespace {

using fake::FakeFileSystem;

// The batch file with the run's "%NAME%" variables in it.
Text Expanded(Text batch, const ListingRun& run) {
  for (const auto& [name, value] : run.environment)
    for (std::size_t at; (at = batch.find('%' + name + '%')) != Text::npos;)
      batch.replace(at, name.size() + 2, value);
  return batch;
}

// Lists the scratch folder, or says "File Not Found" when dir's folder is missing; "exit N" ends with N.
Result<RunEnd> Interpret(const ListingRun& run) {
  const Text batch = Expanded(FakeFileSystem::ReadBytes(run.batchFile), run);
  const auto open = batch.find('"'), pattern = batch.rfind('\\', batch.find('"', open + 1));
  RunEnd end;
  if (open == Text::npos) {
  } else if (!std::filesystem::is_directory(
                 FakeFileSystem::HostPath(batch.substr(open + 1, pattern - open - 1)))) {
    end.errorOutput = "File Not Found\r\n";
  } else {
    std::ofstream(FakeFileSystem::HostPath(run.listing), std::ios::binary) << "path.bat\r\n";
  }
  if (const auto exit = batch.find("\nexit "); exit != Text::npos)
    end.exitCode = std::stoi(batch.substr(exit + 6));
  return end;
}

class FakeHarness final : public ContractHarness {
 public:
  FakeHarness() {
    fake_.window.onRun = Interpret;
    if (!fake_.files.MakeFolders(ScratchFolder())) throw std::runtime_error("no scratch folder");
  }
  WindowRuntime& Window() override { return fake_.window; }
  FileSystem& Files() override { return fake_.files; }
  CodePage& Codes() override { return fake_.codePage; }
  Text ScratchFolder() override { return fake_.Root() + "\\scratch"; }
  std::string ReadBytes(const Text& path) override { return FakeFileSystem::ReadBytes(path); }
  bool MakeReadOnly(const Text&) override { return false; }
  bool MakeLink(const Text& link, const Text& target, bool hard) override {
    std::error_code error;
    const auto from = FakeFileSystem::HostPath(target), to = FakeFileSystem::HostPath(link);
    hard ? std::filesystem::create_hard_link(from, to, error)
         : std::filesystem::create_symlink(from, to, error);
    return !error;
  }
  void TypeAsUser(ControlId list, const Text& text) override { fake_.window.UserType(list, text); }
  void MakeInterpreterMissing() override {
    fake_.window.onRun = [](const ListingRun&) -> Result<RunEnd> { return Fail(Text("not found")); };
  }
  void PressCloseBoxDuringNextRun() override { fake_.window.stopTries = 1; }
  bool FormIsOpen() override { return true; }  // the fake's form closes only by CloseForm

 private:
  fake::FakePlatform fake_;
};

}  // namespace

std::unique_ptr<ContractHarness> MakeContractHarness() {
  return std::make_unique<FakeHarness>();
}

}  // namespace quernel::contract
