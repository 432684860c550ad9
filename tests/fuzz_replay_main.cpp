// Replays fuzz inputs without libFuzzer: each argument is a file or a folder
// of files, each file is handed once to LLVMFuzzerTestOneInput. Builds that
// are not instrumented for fuzzing use it to keep the corpus as regression
// tests.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

static int ReplayFile(const std::filesystem::path& path)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
    return 1;
  }
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return 0;
}

int main(int argc, char** argv)
{
  int failures = 0, files = 0;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      for (const auto& entry : std::filesystem::directory_iterator(arg)) {
        if (entry.is_regular_file()) {
          failures += ReplayFile(entry.path());
          ++files;
        }
      }
    } else {
      failures += ReplayFile(arg);
      ++files;
    }
  }
  std::printf("replayed %d inputs\n", files);
  return failures ? 1 : 0;
}
