// The axis label formatters the graph engine calls for y labels and numeric x labels. They
// live with the driver's label formatting; the engine declares only the two it uses, so that
// it needs nothing from the driver's headers.
#pragma once

#include <string>
#include <string_view>

namespace plotwise {

// A number through a pattern such as «#,###.##»; empty when no label can be made.
std::string formatNumberLabel(std::string_view pattern, double value);
// Seconds through a strftime format (kind 3 date, 5 timestamp: since 1970-01-01 UTC; 4 time:
// since midnight); empty when no label can be made.
std::string formatDateValue(std::string_view format, double value, int kind);

// Seconds between 0001-01-01 00:00, where the host counts dates and timestamps from, and
// 1970-01-01 00:30: taken off a date or timestamp value before it goes to formatDateValue.
constexpr double kLabelEpochOffset = 62135595000.0;

}  // namespace plotwise
