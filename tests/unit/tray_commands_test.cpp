#include "tray/tray_commands.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>

#include "tray/menu_events.h"
#include "tray/tray_menu_layout.h"

namespace vantro::tray {
namespace {

const TrayMenuIds kIds{"11", "12", "14", "15", "16"};

TEST(TrayCommands, EachStoredIdGivesItsCommand) {
  const std::pair<std::string, TrayCommand> cases[] = {
      {"11", TrayCommand::PickElement}, {"12", TrayCommand::PickWindow}, {"14", TrayCommand::Settings},
      {"15", TrayCommand::ViewLog},     {"16", TrayCommand::Quit},
  };
  for (const auto& [id, command] : cases) {
    SCOPED_TRACE(id);
    EXPECT_EQ(command_for_menu_id(kIds, id), command);
  }
}

TEST(TrayCommands, OtherIdsGiveNothing) {
  for (const std::string id : {"13", "", "1", "110", " 11", "quit"}) {
    SCOPED_TRACE(id);
    EXPECT_EQ(command_for_menu_id(kIds, id), std::nullopt);
  }
}

TEST(TrayCommands, UnknownEventsAreDroppedAndTheRestKeepTheirOrder) {
  const MenuEvent events[] = {{"16"}, {"13"}, {"11"}, {"nothing"}, {"11"}, {"15"}};
  EXPECT_EQ(commands_for_events(kIds, events),
            (std::vector<TrayCommand>{TrayCommand::Quit, TrayCommand::PickElement, TrayCommand::PickElement,
                                      TrayCommand::ViewLog}));
  EXPECT_TRUE(commands_for_events(kIds, {}).empty());
}

TEST(MenuEvents, ReceivedInSendingOrderWithoutWaiting) {
  (void)receive_pending_menu_events();
  EXPECT_EQ(try_receive_menu_event(), std::nullopt);
  send_menu_event({"a"});
  send_menu_event({"b"});
  EXPECT_EQ(try_receive_menu_event(), MenuEvent{"a"});
  send_menu_event({"c"});
  EXPECT_EQ(receive_pending_menu_events(), (std::vector<MenuEvent>{{"b"}, {"c"}}));
  EXPECT_EQ(try_receive_menu_event(), std::nullopt);
}

TEST(MenuEvents, EventsFromOtherThreadsAllArrive) {
  (void)receive_pending_menu_events();
  constexpr int kThreads = 4, kEach = 500;
  {
    std::vector<std::jthread> senders;
    for (int t = 0; t < kThreads; ++t)
      senders.emplace_back([t] {
        for (int i = 0; i < kEach; ++i) send_menu_event({std::to_string(t * kEach + i)});
      });
  }
  const std::vector<MenuEvent> events = receive_pending_menu_events();
  ASSERT_EQ(events.size(), std::size_t{kThreads * kEach});
  std::set<std::string> ids;
  for (const MenuEvent& e : events) ids.insert(e.id);
  EXPECT_EQ(ids.size(), events.size());
}

TEST(TrayMenuLayout, MenuShowsEveryItemOnceBetweenThreeSeparators) {
  std::set<TrayItem> shown;
  int separators = 0;
  for (const MenuLine& line : kMenuLines) {
    if (line.item) {
      EXPECT_TRUE(shown.insert(*line.item).second);
    } else {
      ++separators;
      EXPECT_EQ(line.failure_context, "appending separator");
    }
  }
  EXPECT_EQ(shown.size(), kTrayItems.size());
  EXPECT_EQ(separators, 3);
  EXPECT_EQ(kMenuLines.front().item, TrayItem::About);
  EXPECT_EQ(kMenuLines.back().item, TrayItem::Quit);
}

TEST(TrayMenuLayout, FixedTexts) {
  EXPECT_EQ(kTrayTooltip, "vantro v0.3.0 \xE2\x80\x94 Ctrl+Shift+Space");
  EXPECT_EQ(kTrayItems[0].text, "Pick element\tCtrl+Shift+Space");
  EXPECT_EQ(kTrayItems[1].text, "Pick window\tCtrl+Alt+Space");
  EXPECT_EQ(kTrayItems[2].text, "vantro v0.3.0");
  EXPECT_FALSE(kTrayItems[2].enabled);
  for (const TrayItemSpec& spec : kTrayItems) {
    SCOPED_TRACE(spec.text);
    EXPECT_EQ(spec.enabled, spec.item != TrayItem::About);
  }
}

}  // namespace
}  // namespace vantro::tray
