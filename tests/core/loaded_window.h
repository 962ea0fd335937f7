#pragma once

// A loaded main window on the fake platform: what the user sees right after
// start, with the journal of start-up cleared.

#include "core/frm_main.h"
#include "design/program_texts.h"
#include "platform/fake/fake_platform.h"

namespace quernel::testing {

struct LoadedWindow {
  LoadedWindow() {
    fake.window.CreateForm(form);
    form.Load();
    fake.window.ShowForm();
    fake.journal.clear();
  }

  Text ProgramFolder() const { return fake.window.ProgramFolder(); }
  Text ReadFile(const Text& path) const { return fake::FakeFileSystem::ReadBytes(path); }
  Text BatchFile() const { return ReadFile(ProgramFolder() + Text(texts::kBatchFileName)); }
  fake::FakeWindowRuntime& window() { return fake.window; }
  const fake::FakeWindowRuntime& window() const { return fake.window; }

  fake::FakePlatform fake;
  frmMain form{fake.Services()};
};

}  // namespace quernel::testing
