// Replays a fuzz target's corpus where libFuzzer is not available: every regular file below
// the folders (or the files) named on the command line goes once through LLVMFuzzerTestOneInput.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {
int ReplayFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
    return 1;
  }
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  int files = 0, failures = 0;
  for (int i = 1; i < argc; ++i) {
    std::error_code ec;
    std::filesystem::path root(argv[i]);
    if (std::filesystem::is_directory(root, ec)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(root, ec)) {
        if (!entry.is_regular_file()) continue;
        failures += ReplayFile(entry.path());
        ++files;
      }
    } else {
      failures += ReplayFile(root);
      ++files;
    }
  }
  std::printf("replayed %d inputs, %d unreadable\n", files, failures);
  return (files == 0 || failures != 0) ? 1 : 0;
}
