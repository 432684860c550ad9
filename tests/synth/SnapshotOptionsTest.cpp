// The snapshot tool's command line: what it accepts, in order, and what it
// refuses with a message.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/snapshot/SnapshotOptions.h"

namespace
{
bool Parse(std::vector<std::string> args, SnapshotOptions& options, std::string& error)
{
  args.insert(args.begin(), "thrumwell-snapshot");
  std::vector<char*> argv;
  for (std::string& a : args)
    argv.push_back(a.data());
  return ParseSnapshotOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(SnapshotOptionsTest, KeepsEverythingInOrder)
{
  SnapshotOptions options;
  std::string error;
  ASSERT_TRUE(Parse({"-o", "out.png", "--program", "Binaural - 7.83 (Schumann Resonance)", "--param", "Wave=Saw",
                     "--param", "Fade=20", "--note", "69", "--hover", "181,133", "--press", "-5,7", "--drag",
                     "181,100", "--release", "181,100", "--wheel", "305,299,-3", "--right", "300,210"},
                    options, error))
    << error;
  EXPECT_EQ(options.output, "out.png");
  EXPECT_EQ(options.program, "Binaural - 7.83 (Schumann Resonance)");
  EXPECT_EQ(options.params, (std::vector<std::string>{"Wave=Saw", "Fade=20"}));
  EXPECT_EQ(options.note, 69);
  ASSERT_EQ(options.pointer.size(), 6u);
  const SnapshotPointer::Kind kinds[] = {SnapshotPointer::kHover, SnapshotPointer::kPress,
                                         SnapshotPointer::kDrag,  SnapshotPointer::kRelease,
                                         SnapshotPointer::kWheel, SnapshotPointer::kRight};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(options.pointer[static_cast<std::size_t>(i)].kind, kinds[i]);
  EXPECT_EQ(options.pointer[1].x, -5);
  EXPECT_EQ(options.pointer[1].y, 7);
  EXPECT_EQ(options.pointer[4].steps, -3);
  EXPECT_EQ(options.scale, 1.0f);

  SnapshotOptions scaled;
  ASSERT_TRUE(Parse({"-o", "out.png", "--scale", "1.5"}, scaled, error)) << error;
  EXPECT_EQ(scaled.scale, 1.5f);
}

TEST(SnapshotOptionsTest, RefusesMalformedOptions)
{
  const std::vector<std::vector<std::string>> table = {
    {},
    {"--note", "60"},
    {"-o"},
    {"-o", "a.png", "--note", "128"},
    {"-o", "a.png", "--note", "6x"},
    {"-o", "a.png", "--param", "=5"},
    {"-o", "a.png", "--param", "Volume"},
    {"-o", "a.png", "--program", ""},
    {"-o", "a.png", "--hover", "10"},
    {"-o", "a.png", "--press", "10,"},
    {"-o", "a.png", "--drag", "10,20,30"},
    {"-o", "a.png", "--wheel", "10,20"},
    {"-o", "a.png", "--wheel", "10,20,99999999999"},
    {"-o", "a.png", "--release", "99999999999,0"},
    {"-o", "a.png", "--zoom", "2"},
    {"-o", "a.png", "--scale", "0"},
    {"-o", "a.png", "--scale", "0.5"},
    {"-o", "a.png", "--scale", "4.01"},
    {"-o", "a.png", "--scale", "-2"},
    {"-o", "a.png", "--scale", "nan"},
    {"-o", "a.png", "--scale", "2x"},
    {"-o", "a.png", "--scale", ""},
    {"-o", "a.png", "stray"},
    {"-o", "a.png", "--window", "--embedder", "gtk"},
    {"-o", "a.png", "--embedder", "xembed"},
  };
  for (const std::vector<std::string>& args : table)
  {
    SnapshotOptions options;
    std::string error;
    EXPECT_FALSE(Parse(args, options, error)) << ::testing::PrintToString(args);
    EXPECT_FALSE(error.empty()) << ::testing::PrintToString(args);
  }
}
}  // namespace

namespace
{
TEST(SnapshotOptionsTest, WindowHelpAndVersionNeedNoOutput)
{
  SnapshotOptions options;
  std::string error;
  ASSERT_TRUE(Parse({"-o", "a.png", "--window", "--press", "1,2"}, options, error)) << error;
  EXPECT_TRUE(options.window);
  EXPECT_EQ(options.embedder, ThrumwellHost::HostWindow::Embedder::kMapsChild);
  for (const char* name : {"maps", "xembed", "notify"})
  {
    ASSERT_TRUE(Parse({"-o", "a.png", "--window", "--embedder", name}, options, error)) << error;
    EXPECT_STREQ(ThrumwellHost::HostWindow::EmbedderName(options.embedder), name);
  }
  ASSERT_TRUE(Parse({"-o", "a.png"}, options, error)) << error;
  EXPECT_FALSE(options.window);
  ASSERT_TRUE(Parse({"--help"}, options, error)) << error;
  EXPECT_TRUE(options.help);
  ASSERT_TRUE(Parse({"--version"}, options, error)) << error;
  EXPECT_TRUE(options.version);
  EXPECT_NE(SnapshotUsage().find("--window"), std::string::npos);
}
}  // namespace
