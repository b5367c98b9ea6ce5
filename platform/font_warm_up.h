#pragma once

#include <thread>

namespace zarn::platform {

// Starts loading the system's font configuration on a worker thread, so that
// it overlaps the toolkit's own start-up instead of delaying the first window.
// Join the thread before the first text is laid out. Where there is nothing
// to warm up, the thread does nothing.
std::thread StartFontWarmUp();

}  // namespace zarn::platform
