// The module-wide part compiled into the test: the directory rule, the class
// ID and the factory's reference handling.
#include <cstring>

#include <gtest/gtest.h>

#include "vst3/PluginModule.h"

using namespace Steinberg;

namespace
{
TEST(PluginModule, DirectoryKeepsTheTrailingSeparator)
{
  struct Row
  {
    const char* path;
    char separator;
    const char* directory;
  };
  const Row rows[] = {{"C:\\Program Files\\Common Files\\VST3\\Thrumwell.vst3", '\\',
                       "C:\\Program Files\\Common Files\\VST3\\"},
                      {"/home/u/.vst3/Thrumwell.vst3/Contents/x86_64-linux/Thrumwell.so", '/',
                       "/home/u/.vst3/Thrumwell.vst3/Contents/x86_64-linux/"},
                      {"Thrumwell.vst3", '\\', "Thrumwell.vst3"},
                      {"", '\\', ""}};
  for (const Row& row : rows)
    EXPECT_EQ(PluginModule::DirectoryOf(row.path, row.separator), row.directory) << row.path;
}

TEST(PluginModule, ClassIdTextIsTheSameOnEveryPlatform)
{
  char8 text[33];
  PluginModule::ClassId().toString(text);
  EXPECT_STREQ(text, "F2AEE70D00DE4F4E5176726B337A626F");
  char8 registry[39];
  PluginModule::ClassId().toRegistryString(registry);
  EXPECT_STREQ(registry, "{F2AEE70D-00DE-4F4E-5176-726B337A626F}");
}

TEST(PluginModule, FactoryStaysAliveWhenTheHostReleasesIt)
{
  IPluginFactory* first = PluginModule::AcquireFactory();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->release(), 1u);  // the module's own reference remains
  IPluginFactory* second = PluginModule::AcquireFactory();
  EXPECT_EQ(second, first);
  EXPECT_EQ(second->countClasses(), 1);
  EXPECT_EQ(second->release(), 1u);
  PluginModule::ReleaseFactory();
}
}  // namespace
