// Replaces the global operator new and delete of the texture test program so that
// AllocationTracker can measure what the loader asks for (everything goes to malloc and free),
// and counts the open files.
#include "allocation_tracker.h"

#include <dirent.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> g_tracking{false};
std::atomic<size_t> g_count{0};
std::atomic<size_t> g_largest{0};
std::atomic<size_t> g_total{0};

void Note(size_t size) {
  if (!g_tracking.load(std::memory_order_relaxed)) return;
  g_count.fetch_add(1);
  g_total.fetch_add(size);
  size_t seen = g_largest.load();
  while (size > seen && !g_largest.compare_exchange_weak(seen, size)) {
  }
}

void* Allocate(size_t size) {
  Note(size);
  return std::malloc(size == 0 ? 1 : size);
}

}  // namespace

AllocationTracker::AllocationTracker() {
  g_count = 0;
  g_largest = 0;
  g_total = 0;
  g_tracking = true;
}
AllocationTracker::~AllocationTracker() {
  g_tracking = false;
}
size_t AllocationTracker::count() const {
  return g_count;
}
size_t AllocationTracker::largest() const {
  return g_largest;
}
size_t AllocationTracker::total() const {
  return g_total;
}

void* operator new(size_t size) {
  void* p = Allocate(size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void* operator new[](size_t size) {
  void* p = Allocate(size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, size_t) noexcept {
  std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}

int OpenFileCount() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir) != nullptr) ++count;
    closedir(dir);
  }
  return count;
}
