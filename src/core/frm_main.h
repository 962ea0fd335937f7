#pragma once

#include <optional>

#include "core/listing_options.h"
#include "core/message_text.h"
#include "core/start_folder.h"
#include "platform/platform.h"

namespace quernel {

// The main window's logic: the Click handlers, the listing options they
// keep, the batch file writer and the output command, Load and Unload.
class frmMain final : public FormEvents {
 public:
  explicit frmMain(const Platform& platform, StartUp startUp = {});

  void Load();
  void Unload();
  void Click(ControlId control) override;
  bool CanDrop(const std::vector<Text>& paths) override;
  void Drop(const std::vector<Text>& paths) override;

  const ListOptions& Options() const { return options_; }

 private:
  struct BatchFile {
    Text folder;
    Text batchPath;
    Text listingPath;
    std::vector<std::pair<Text, Text>> environment;  // for the run, when the batch file names variables
    std::unique_ptr<FolderLock> lock;                // held until the listing is shown
  };
  struct BatchFileFailure {
    Text message;           // for the user
    bool diskFull = false;  // the batch file did not fit on the folder's disk
  };
  using BatchFileResult = Result<BatchFile, BatchFileFailure>;

  void cobType_Click();
  void cobSort_Click();
  void cobWay_Click();
  void chkT_Click();
  void chkW_Click();
  void AttributeButton_Click(const AttributeButton& button);
  void cmdOut_Click();
  void cmdBrowse_Click();
  void cmdAbout_Click();
  void cmdHelp_Click();
  void cmdExit_Click();

  BatchFileResult MakeBatchFile();
  void ReadListingStyleFromWindow();
  BatchFileResult WriteBatchFileIn(const Text& workFolder);
  Result<Text> WorkFolder();
  Result<Text> UserWorkFolder();
  void ShowError(std::string_view message, const Text& path, const Text& reason = {});
  Text ShownPath(const Text& path) const;
  Text Fill(std::string_view message, const Text& arg0, const Text& arg1 = {}) const;
  void Fill(ControlId list, auto&& entries);

  Platform platform_;
  StartUp startUp_;
  ListOptions options_;
  std::optional<Text> writtenWorkFolder_;
};

// Start-up and exit: creates the window, loads, shows and runs it, unloads.
// A folder named by the start-up arguments stands in the folder field when
// the window opens.
int RunQuernel(const Platform& platform, const StartUp& startUp = {});

}  // namespace quernel
