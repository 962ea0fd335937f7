#include "contract/contract_harness.h"
#include "platform/fake/fake_platform.h"

namespace quernel::contract {
namespace {

class FakeHarness final : public ContractHarness {
 public:
  FakeHarness() {
    fake_.SimulateInterpreter();
    auto simulate = fake_.window.onLaunch;
    fake_.window.onLaunch = [simulate](const LaunchRequest& request) -> Launch {
      if (request.commandLine.starts_with("quernel-no-such-program")) return {nullptr, "not found"};
      return simulate(request);
    };
    fake_.files.MakeFolders(ScratchFolder());
  }
  WindowRuntime& Window() override { return fake_.window; }
  FileSystem& Files() override { return fake_.files; }
  CodePage& Codes() override { return fake_.codePage; }
  Text ScratchFolder() override { return fake_.Root() + "\\scratch"; }
  std::string ReadBytes(const Text& path) override { return fake::FakeFileSystem::ReadBytes(path); }
  bool MakeReadOnly(const Text&) override { return false; }

 private:
  fake::FakePlatform fake_;
};

}  // namespace

std::unique_ptr<ContractHarness> MakeContractHarness() {
  return std::make_unique<FakeHarness>();
}

}  // namespace quernel::contract
