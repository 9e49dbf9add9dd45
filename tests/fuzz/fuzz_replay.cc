// Replays files through a fuzz target's entry, without libFuzzer: every
// regular file of every folder named on the command line (or the files
// themselves), in name order. A crash or sanitizer report ends the program;
// it prints what it is about to run, so the last line names the culprit.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    fs::path p(argv[i]);
    if (fs::is_directory(p)) {
      for (const fs::directory_entry& e : fs::directory_iterator(p))
        if (e.is_regular_file() && e.path().filename().string()[0] != '.')
          files.push_back(e.path());
    } else if (fs::is_regular_file(p)) {
      files.push_back(p);
    } else {
      std::fprintf(stderr, "no such file or folder: %s\n", argv[i]);
      return 2;
    }
  }
  std::sort(files.begin(), files.end());
  if (files.empty()) {
    std::fprintf(stderr, "nothing to replay\n");
    return 2;
  }
  for (const fs::path& p : files) {
    std::printf("%s\n", p.string().c_str());
    std::fflush(stdout);
    std::ifstream in(p, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // A copy of the exact size, as libFuzzer hands it over.
    std::vector<uint8_t> input(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(input.empty() ? nullptr : input.data(), input.size());
  }
  std::printf("%zu inputs replayed\n", files.size());
  return 0;
}
