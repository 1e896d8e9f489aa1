#pragma once
// A cheap clock for what only needs to know that some milliseconds went by
// (the screen rate of a run's status): a few nanoseconds a reading, steady,
// to within the system's tick (some milliseconds).
namespace torvic {

long long coarseMilliseconds();

}  // namespace torvic
