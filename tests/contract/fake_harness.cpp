#include <filesystem>
#include <stdexcept>

#include "contract/contract_harness.h"
#include "platform/fake/fake_platform.h"

namespace quernel::contract {
namespace {

using fake::FakeFileSystem;

// The batch file with the run's "%NAME%" variables in it.
Text Expanded(Text batch, const LaunchRequest& request) {
  for (const auto& [name, value] : request.setEnvironment)
    for (std::size_t at; (at = batch.find('%' + name + '%')) != Text::npos;)
      batch.replace(at, name.size() + 2, value);
  return batch;
}

// A batch run ends with words when dir's folder is not there, the code of "exit N".
std::unique_ptr<Process> Interpret(const LaunchRequest& request) {
  const Text& commandLine = request.commandLine;
  const Text batch =
      Expanded(FakeFileSystem::ReadBytes(commandLine.substr(1, commandLine.size() - 2)), request);
  const auto open = batch.find('"'), pattern = batch.rfind('\\', batch.find('"', open + 1));
  ProcessEnd end;
  if (!std::filesystem::is_directory(FakeFileSystem::HostPath(batch.substr(open + 1, pattern - open - 1))))
    end.errorOutput = "File Not Found\r\n";
  if (const auto exit = batch.find("\nexit "); exit != Text::npos)
    end.exitCode = std::stoi(batch.substr(exit + 6));
  return fake::FakeWindowRuntime::Started(end);
}

class FakeHarness final : public ContractHarness {
 public:
  FakeHarness() {
    fake_.SimulateInterpreter("path.bat\r\n");  // what dir lists of the scratch folder
    fake_.window.onLaunch = [simulate = fake_.window.onLaunch](const LaunchRequest& request) -> Launch {
      if (request.commandLine.starts_with("quernel-no-such-program")) return {nullptr, "not found"};
      Launch launch = simulate(request);
      if (request.commandLine.ends_with(".bat\"")) launch.process = Interpret(request);
      return launch;
    };
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

 private:
  fake::FakePlatform fake_;
};

}  // namespace

std::unique_ptr<ContractHarness> MakeContractHarness() {
  return std::make_unique<FakeHarness>();
}

}  // namespace quernel::contract
