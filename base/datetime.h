// A calendar date and time of day, as the system clock reports it.
#pragma once

namespace hx {

struct DateTime {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  int dayOfWeek = 6;  // 0 Sunday .. 6 Saturday
};

}  // namespace hx
