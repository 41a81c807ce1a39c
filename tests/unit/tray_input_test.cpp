#include "panels/tray_input.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace hx {
namespace {

using E = TrayEvent;
using C = TrayCommand;

struct Step {
  TrayEvent event;
  uint32_t at;
  TrayCommand expected;
};

TEST(TrayInput, EachClickActsOnceWhateverTheShellTellsOfIt) {
  const std::vector<std::pair<const char*, std::vector<Step>>> cases = {
      {"first-version shell: buttons only",
       {{E::LeftButtonUp, 10, C::Toggle}, {E::LeftButtonUp, 900, C::Toggle}, {E::RightButtonDown, 2000, C::Menu},
        {E::RightButtonUp, 2100, C::None}}},
      {"version 3: a click's selection and menu request are echoes",
       {{E::LeftButtonUp, 10, C::Toggle}, {E::Other, 11, C::None}, {E::Select, 12, C::None},
        {E::RightButtonDown, 1000, C::Menu}, {E::RightButtonUp, 1100, C::None}, {E::ContextMenu, 1101, C::None}}},
      {"keyboard: every selection and menu request acts",
       {{E::KeySelect, 10, C::Toggle}, {E::KeySelect, 700, C::Toggle}, {E::Select, 730, C::Toggle},
        {E::ContextMenu, 740, C::Menu}, {E::ContextMenu, 750, C::Menu}}},
      {"one Enter is told twice and acts once; the next press, or a key between, acts",
       {{E::KeySelect, 10, C::Toggle}, {E::KeySelect, 12, C::None}, {E::KeySelect, 14, C::Toggle},
        {E::Select, 20, C::Toggle}, {E::KeySelect, 22, C::Toggle}, {E::ContextMenu, 30, C::Menu},
        {E::KeySelect, 32, C::Toggle}, {E::KeySelect, 0xFFFF0000u, C::Toggle}}},
      {"an echo comes once; a late one is a new request",
       {{E::LeftButtonUp, 10, C::Toggle}, {E::Select, 12, C::None}, {E::Select, 14, C::Toggle},
        {E::LeftButtonUp, 100, C::Toggle}, {E::Select, 700, C::Toggle}, {E::RightButtonDown, 1000, C::Menu},
        {E::ContextMenu, 1600, C::Menu}}},
      {"a key between click and echo ends the wait",
       {{E::LeftButtonUp, 10, C::Toggle}, {E::KeySelect, 11, C::Toggle}, {E::Select, 12, C::Toggle}}},
      {"the millisecond counter wraps",
       {{E::LeftButtonUp, 0xFFFFFFF0u, C::Toggle}, {E::Select, 5, C::None}}},
  };
  for (const auto& [name, steps] : cases) {
    TrayInput input(500);
    for (size_t i = 0; i < steps.size(); ++i)
      EXPECT_EQ(input.Take(steps[i].event, steps[i].at), steps[i].expected) << name << ", step " << i;
  }
}

}  // namespace
}  // namespace hx
