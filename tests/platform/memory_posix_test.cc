#include "platform/memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace platform {
namespace {

// The VmFlags line of the mapping in /proc/self/smaps that holds `p`.
std::string flagsOfMappingAt(const void* p) {
  const auto at = reinterpret_cast<std::uintptr_t>(p);
  std::ifstream smaps("/proc/self/smaps");
  std::string line;
  bool inside = false;
  while (std::getline(smaps, line)) {
    std::uintptr_t from = 0, to = 0;
    char dash = 0;
    std::istringstream range(line);
    if (range >> std::hex >> from >> dash >> to && dash == '-') {
      inside = from <= at && at < to;
      if (inside && line.find("[heap]") == std::string::npos) return "";
    } else if (inside && line.rfind("VmFlags:", 0) == 0) {
      return line;
    }
  }
  return "";
}

// Blocks taken after the first call lie on the heap grown since; the next
// call marks them for large pages.
TEST(LargePagesForHeap, MarksTheHeapGrownSinceTheLastCall) {
  if (!std::ifstream("/sys/kernel/mm/transparent_hugepage/enabled"))
    GTEST_SKIP() << "no transparent huge pages here";
  adviseLargePagesForHeap();
  std::vector<std::unique_ptr<char[]>> blocks;
  for (int i = 0; i < 4096; ++i) blocks.emplace_back(new char[16 * 1024]);
  const void* last = blocks.back().get();
  if (flagsOfMappingAt(last).empty())
    GTEST_SKIP() << "the allocator does not take these blocks from the heap";
  adviseLargePagesForHeap();
  EXPECT_NE(flagsOfMappingAt(last).find(" hg"), std::string::npos) << flagsOfMappingAt(last);
  EXPECT_NE(flagsOfMappingAt(blocks.front().get()).find(" hg"), std::string::npos);
}

}  // namespace
}  // namespace platform
