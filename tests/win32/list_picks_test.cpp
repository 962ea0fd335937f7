// Which notifications of a drop-down list are the user's picks, in the
// orders Windows and Wine send them: one Click for each pick, also of the
// entry already shown.
#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_list_picks.h"

namespace quernel::win32 {
namespace {

struct Notification {
  int code;
  int selected;  // CB_GETCURSEL when it comes
};

TEST(ListPicks, EachPickOfTheUserIsOneClick) {
  struct Case {
    const char* what;
    std::vector<Notification> notifications;
    int clicks;
    bool typedOver = false;
  };
  const Case cases[] = {
      {"a new entry (Windows)",
       {{CBN_DROPDOWN, 0}, {CBN_SELCHANGE, 2}, {CBN_SELENDOK, 2}, {CBN_CLOSEUP, 2}},
       1},
      {"a new entry (Wine)", {{CBN_DROPDOWN, 0}, {CBN_SELENDOK, 2}, {CBN_CLOSEUP, 2}, {CBN_SELCHANGE, 2}}, 1},
      {"the entry shown (Windows)", {{CBN_DROPDOWN, 1}, {CBN_SELENDOK, 1}, {CBN_CLOSEUP, 1}}, 1},
      {"the entry shown (Wine)",
       {{CBN_DROPDOWN, 1}, {CBN_SELENDOK, 1}, {CBN_CLOSEUP, 1}, {CBN_SELCHANGE, 1}},
       1},
      {"arrows in the opened list, then Enter",
       {{CBN_DROPDOWN, 0}, {CBN_SELCHANGE, 1}, {CBN_SELCHANGE, 2}, {CBN_SELENDOK, 2}, {CBN_CLOSEUP, 2}},
       1},
      {"two arrows on the closed list", {{CBN_SELCHANGE, 1}, {CBN_SELCHANGE, 2}}, 2},
      {"a pick, then an arrow (Wine)",
       {{CBN_DROPDOWN, 0}, {CBN_SELENDOK, 2}, {CBN_CLOSEUP, 2}, {CBN_SELCHANGE, 2}, {CBN_SELCHANGE, 1}},
       2},
      {"opened and closed again", {{CBN_DROPDOWN, 1}, {CBN_SELENDCANCEL, 1}, {CBN_CLOSEUP, 1}}, 0},
      {"moved, then closed by a click elsewhere",
       {{CBN_DROPDOWN, 0}, {CBN_SELCHANGE, 2}, {CBN_SELENDCANCEL, 2}, {CBN_CLOSEUP, 2}},
       1},
      {"typed over", {{CBN_EDITCHANGE, 1}}, 0, true},
      {"typed over, then an arrow", {{CBN_EDITCHANGE, 1}, {CBN_SELCHANGE, 2}}, 1},
  };
  for (const Case& c : cases) {
    ListPicks picks;
    int clicks = 0;
    for (const Notification& n : c.notifications) clicks += picks.Notify(n.code, n.selected) ? 1 : 0;
    EXPECT_EQ(clicks, c.clicks) << c.what;
    EXPECT_EQ(picks.TypedOver(), c.typedOver) << c.what;
  }
}

}  // namespace
}  // namespace quernel::win32
