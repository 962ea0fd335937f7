#pragma once

// A main window loaded on the fake platform, as the user sees it right after
// start, with the journal of start-up cleared.

#include "core/frm_main.h"
#include "design/program_texts.h"
#include "platform/fake/fake_platform.h"

namespace quernel::testing {

struct LoadedWindow {
  explicit LoadedWindow(StartUp startUp = {}) : form(fake.Services(), std::move(startUp)) {
    ui.CreateForm(form);
    form.Load();
    ui.ShowForm();
    fake.journal.clear();
  }
  // A file beside the program, by its name in the program's texts ("\path.bat").
  Text Path(std::string_view name) const { return ui.programFolder + Text(name); }
  Text Read(std::string_view name) const { return fake::FakeFileSystem::ReadBytes(Path(name)); }
  void Output() { ui.UserClick(ControlId::cmdOut); }

  fake::FakePlatform fake;
  fake::FakeWindowRuntime& ui = fake.window;
  frmMain form;
};

}  // namespace quernel::testing
