// Measures what a load holds on to. The heap: while a tracker is alive it records every operator
// new request made on any thread (count, largest, total). The test program replaces the global
// operator new and delete (allocation_tracker.cpp) to see them.
#pragma once

#include <cstddef>

class AllocationTracker {
 public:
  AllocationTracker();
  ~AllocationTracker();
  AllocationTracker(const AllocationTracker&) = delete;
  AllocationTracker& operator=(const AllocationTracker&) = delete;

  size_t count() const;
  size_t largest() const;
  size_t total() const;
};

// Open file descriptors of this process: a load must leave the count as it found it.
int OpenFileCount();
