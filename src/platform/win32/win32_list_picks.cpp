#include "platform/win32/win32_list_picks.h"

#include "platform/win32/win32_api.h"

namespace quernel::win32 {

bool ListPicks::Notify(int code, int selected) {
  bool pick = false;
  switch (code) {
    case CBN_DROPDOWN:
      dropped_ = true;
      raisedPick_ = -1;
      selectedAtDrop_ = selected;
      break;
    case CBN_SELCHANGE:  // in the opened list CBN_SELENDOK raises
      typedOver_ = false;
      pick = !dropped_ && selected != raisedPick_;
      raisedPick_ = -1;
      break;
    case CBN_SELENDOK:
    case CBN_SELENDCANCEL:  // closed by a click elsewhere: a pick when it changed
      if (dropped_ && (code == CBN_SELENDOK || selected != selectedAtDrop_)) {
        raisedPick_ = selected;
        pick = true;
      }
      dropped_ = false;
      break;
    case CBN_CLOSEUP:
      dropped_ = false;
      break;
    case CBN_EDITCHANGE:
      typedOver_ = true;
      break;
    default:
      break;
  }
  return pick;
}

}  // namespace quernel::win32
