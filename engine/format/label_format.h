// Axis label formatters: number patterns, text templates and strftime formats. The graph engine
// formats its y labels and numeric x labels with them; the driver its category and date labels.
// An empty result means that no label could be made.
#pragma once

#include <string>
#include <string_view>

namespace plotwise {

// A number through a pattern such as «$#,###.## USD».
std::string formatNumberLabel(std::string_view pattern, double value);
// A text through a template such as «Item #».
std::string formatTextLabel(std::string_view textTemplate, std::string_view text);
// Date and time parts through a strftime format; parts out of range give no label.
std::string formatDateParts(std::string_view format, int year, int month, int day, int hour,
                            int minute, int second);
// A value of seconds (kind 3 date, 5 timestamp: since 1970-01-01 UTC; 4 time: since midnight,
// or a duration past a day, whose whole hours %[H] writes: "%[H]:%M" labels 36 hours "36:00").
std::string formatDateValue(std::string_view format, double value, int kind);

// Seconds between 0001-01-01 00:00, where the host counts dates and timestamps from, and
// 1970-01-01 00:30: taken off a date or timestamp value before it goes to formatDateValue.
constexpr double kLabelEpochOffset = 62135595000.0;

}  // namespace plotwise
