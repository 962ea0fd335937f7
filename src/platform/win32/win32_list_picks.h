#pragma once

// When a drop-down list's notifications make a Click: one for each pick of
// the user, also when the entry already shown is picked again. The list says
// CBN_SELENDOK for each pick from the opened list and CBN_SELCHANGE for each
// change, also by the arrow keys on the closed list; Windows sends the
// change before the pick's CBN_SELENDOK, Wine after it, for the same entry.
// Knows no window: it is told each notification with the entry selected
// when it came.
namespace quernel::win32 {

class ListPicks {
 public:
  // A notification (CBN_...) and the entry selected then (CB_GETCURSEL);
  // true when it is a pick of the user, to be raised as one Click.
  bool Notify(int code, int selected);
  // The user typed into an editable list: its text is no entry.
  bool TypedOver() const { return typedOver_; }
  void SelectedByProgram() { typedOver_ = false; }

 private:
  bool dropped_ = false;
  int raisedPick_ = -1;  // the entry whose Click CBN_SELENDOK raised, or -1
  bool typedOver_ = false;
  int selectedAtDrop_ = -1;
};

}  // namespace quernel::win32
