#pragma once
// Sleeping to an exact instant, for the last stretch of the frame wait. A relative sleep ends
// late by however long the thread took to get to it; a sleep to an absolute deadline on the
// monotonic clock does not, and with the timer slack lowered it ends within a few
// microseconds of the deadline instead of up to 50 later, so no spin is needed.

#include <chrono>

// Lowers the calling thread's timer slack (Linux) to the least there is. Threads it starts
// afterwards inherit it, so call it once the helper threads are running.
void sharpenTimerSlack();

// Returns at the deadline or after it, never before.
void sleepUntil(std::chrono::steady_clock::time_point deadline);
