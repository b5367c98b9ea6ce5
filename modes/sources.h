#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "modes/display_timing.h"
#include "modes/expected.h"
#include "modes/request.h"

namespace zarn::modes {

// Where a timing comes from: a standard's table or formula, or figures typed in.
enum class SourceId { Dmt, Vic, HdmiVic, Cvt, Gtf, Custom, Kernel, Ovt, Rid };

// One source: its parameters (with their limits), how it makes a timing from
// their values, and, for a table, all its modes. The command line's commands
// and the windows' inputs are read from this table.
struct SourceInfo {
  SourceId id;
  std::string_view command;  // "cvt": the command line's command
  std::span<const Parameter> parameters;
  // Makes the timing from values in the order of the parameters, their
  // limits already checked. A failure is the standard's refusal.
  Expected<DisplayTiming> (*make)(std::span<const Value> values);
  // Every mode of a table, in its order; nullptr for formulas.
  std::vector<DisplayTiming> (*list)();
  // The mode part of the kernel's video= option that names these values to
  // the kernel ("1920x1080M@60"), or why there is none; nullptr where the
  // kernel has no name for the source's timings.
  Expected<std::string> (*kernel_mode)(std::span<const Value> values);
};

std::span<const SourceInfo> Sources();
const SourceInfo& SourceOf(SourceId id);
// The source of a command line's command; nullptr when there is none.
const SourceInfo* FindSource(std::string_view command);
// The index of a parameter by its key; the parameters' count when there is none.
std::size_t ParameterIndex(const SourceInfo& source, std::string_view key);

// A request of one source: the values of its parameters, in their order.
struct TimingRequest {
  const SourceInfo* source = nullptr;
  std::vector<Value> values;
};

// Checks every value against its parameter's limits, then makes the timing.
Expected<DisplayTiming> MakeTiming(const TimingRequest& request, const InputStyle& style);

}  // namespace zarn::modes
