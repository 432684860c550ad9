// Our host with plug-ins laid out as most VST3 plug-ins are: the two-object
// effect of SplitPlugin.h (a separate controller class, connection messages,
// audio in and out without events, two component classes in one bundle), the
// objects the host makes for the plug-in to talk with, and the end of a
// process that still holds every test bundle loaded.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "host/HostConnectionProxy.h"
#include "host/HostMessage.h"
#include "host/HostModule.h"
#include "host/HostParameterChanges.h"
#include "host/HostPlugin.h"
#include "tests/host/SplitPlugin.h"
#include "vst3/sdk/IPtr.h"

namespace
{

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace ThrumwellHost;

std::string Lines(const std::vector<std::string>& lines)
{
  std::string text;
  for (const std::string& line : lines)
    text += line + "\n";
  return text;
}

// The bundles of THRUMWELL_BUNDLES ("a|b|c"): the instrument, the faulty
// bundle and the two-object effect, in that order.
std::vector<std::string> Bundles()
{
  std::vector<std::string> bundles;
  const char* list = std::getenv("THRUMWELL_BUNDLES");
  std::istringstream in(list ? list : "");
  std::string path;
  while (std::getline(in, path, '|'))
    if (!path.empty())
      bundles.push_back(path);
  return bundles;
}

// Every module stays loaded in static storage until the process ends, as a
// host keeps its modules: the process must still end cleanly, which the test
// runner sees in its exit status (the two-object module stops a process whose
// host unloads it after the module's static objects are gone).
HostModule& Module(std::size_t index)
{
  static HostModule modules[3];
  HostModule& module = modules[index];
  const std::vector<std::string> bundles = Bundles();
  if (!module.IsLoaded() && index < bundles.size())
    module.Load(bundles[index]);
  return module;
}

HostModule& Split() { return Module(2); }

TEST(TwoObjectHost, CreatesConnectsAndSyncsTheSeparateController)
{
  ASSERT_TRUE(Split().IsLoaded()) << Split().Error();
  HostPlugin plugin(Split());
  ASSERT_TRUE(plugin.Create()) << Lines(plugin.Violations());
  ASSERT_TRUE(plugin.HasSeparateController());
  EXPECT_NE(static_cast<FUnknown*>(plugin.Controller()), static_cast<FUnknown*>(plugin.Component()));
  // On connection the controller asked for the rate through its proxy and the
  // component answered through its own, in messages the host made.
  EXPECT_GE(plugin.ControllerProxy().Forwarded(), 1);
  EXPECT_GE(plugin.ComponentProxy().Forwarded(), 1);
  EXPECT_GE(plugin.Application().InstancesMade(), 2);
  IEditController* controller = plugin.Controller();
  EXPECT_DOUBLE_EQ(controller->getParamNormalized(SplitTest::kSampleRate) * SplitTest::kRateScale, 44100.0);

  // Activation at another rate reaches the controller too.
  ASSERT_TRUE(plugin.ActivateDefaultBuses());
  ASSERT_TRUE(plugin.SetupProcessing(48000, 256, kSample64));
  ASSERT_TRUE(plugin.SetActive(true));
  EXPECT_DOUBLE_EQ(controller->getParamNormalized(SplitTest::kSampleRate) * SplitTest::kRateScale, 48000.0);

  // A gain the processor took from automation reaches another instance's
  // controller with the state.
  HostParameterChanges changes;
  changes.Add(SplitTest::kGain, 0, 0.125);
  ASSERT_TRUE(plugin.Process(0, &changes));
  std::vector<std::uint8_t> state;
  ASSERT_TRUE(plugin.GetState(state));
  HostPlugin other(Split());
  ASSERT_TRUE(other.Create()) << Lines(other.Violations());
  EXPECT_DOUBLE_EQ(other.Controller()->getParamNormalized(SplitTest::kGain), 0.5);
  EXPECT_EQ(other.SetState(state), kResultOk);
  EXPECT_DOUBLE_EQ(other.Controller()->getParamNormalized(SplitTest::kGain), 0.125);

  // terminate and initialize of the component take the connection down and
  // up again, and messages flow as before.
  ASSERT_TRUE(other.Terminate());
  ASSERT_TRUE(other.Initialize());
  ASSERT_TRUE(other.ActivateDefaultBuses());
  ASSERT_TRUE(other.SetupProcessing(96000, 256));
  ASSERT_TRUE(other.SetActive(true));
  EXPECT_DOUBLE_EQ(other.Controller()->getParamNormalized(SplitTest::kSampleRate) * SplitTest::kRateScale, 96000.0);

  for (HostPlugin* one : {&plugin, &other})
  {
    one->Destroy();
    EXPECT_TRUE(one->Violations().empty()) << Lines(one->Violations());
  }
}

TEST(TwoObjectHost, AnEffectPlaysItsInputThroughInBothSampleSizes)
{
  for (int size : {kSample32, kSample64})
  {
    SCOPED_TRACE(size == kSample64 ? "64-bit" : "32-bit");
    HostPlugin plugin(Split());
    ASSERT_TRUE(plugin.Create()) << Lines(plugin.Violations());
    EXPECT_EQ(plugin.Component()->getBusCount(kEvent, kInput), 0);
    ASSERT_TRUE(plugin.ActivateDefaultBuses());
    ASSERT_TRUE(plugin.SetupProcessing(44100, 64, size));
    ASSERT_TRUE(plugin.SetActive(true));
    HostParameterChanges changes;
    changes.Add(SplitTest::kGain, 0, 0.25);  // half the input
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < 64; ++i)
      {
        const double x = 0.01 * (i - 32) * (c + 1);
        if (size == kSample64)
          plugin.Channel64(kInput, 0, c)[i] = x;
        else
          plugin.Channel32(kInput, 0, c)[i] = static_cast<float>(x);
      }
    ASSERT_TRUE(plugin.Process(64, &changes));
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < 64; ++i)
      {
        const double in = size == kSample64 ? plugin.Channel64(kInput, 0, c)[i] : plugin.Channel32(kInput, 0, c)[i];
        const double out =
          size == kSample64 ? plugin.Channel64(kOutput, 0, c)[i] : plugin.Channel32(kOutput, 0, c)[i];
        ASSERT_NEAR(out, in * 0.5, 1e-7) << c << " " << i;
      }
    plugin.Destroy();
    EXPECT_TRUE(plugin.Violations().empty()) << Lines(plugin.Violations());
  }
}

// What --class accepts: a name or a factory index of an audio module class;
// the controller class is none.
TEST(TwoObjectHost, ChoosesAmongTheClassesOfOneBundle)
{
  ASSERT_TRUE(Split().IsLoaded()) << Split().Error();
  const struct
  {
    const char* wanted;
    int index;
  } table[] = {{"", 0},  {"0", 0},  {"Split Gain", 0}, {"2", 2},   {"Split Gain Mono", 2},
               {"1", -1}, {"Split Gain Controller", -1}, {"3", -1}, {"-1", -1}, {"split gain", -1}};
  for (const auto& row : table)
  {
    std::string error;
    EXPECT_EQ(Split().ChooseClass(row.wanted, error), row.index) << '"' << row.wanted << '"';
    if (row.index < 0)
    {
      EXPECT_NE(error.find("0 \"Split Gain\", 2 \"Split Gain Mono\""), std::string::npos) << error;
    }
  }
  std::string error;
  HostPlugin mono(Split());
  ASSERT_TRUE(mono.Create(Split().ChooseClass("Split Gain Mono", error))) << Lines(mono.Violations());
  EXPECT_EQ(mono.NChannels(kInput, 0), 1);
  EXPECT_EQ(mono.NChannels(kOutput, 0), 1);
  mono.Destroy();
  EXPECT_TRUE(mono.Violations().empty()) << Lines(mono.Violations());
}

// One side of a connection, counting what reaches it.
class CountingPoint final : public HostObject<IConnectionPoint>
{
public:
  tresult PLUGIN_API connect(IConnectionPoint* other) override
  {
    peer = other;
    return kResultOk;
  }
  tresult PLUGIN_API disconnect(IConnectionPoint* other) override
  {
    if (other != peer)
      return kResultFalse;
    peer = nullptr;
    return kResultOk;
  }
  tresult PLUGIN_API notify(IMessage*) override
  {
    ++received;
    return kResultOk;
  }
  IConnectionPoint* peer = nullptr;
  int received = 0;
};

// The proxy connects its source to itself, carries the source's messages to
// the other side on the thread that made it, and refuses (and records) one
// sent from another thread, as an audio thread would.
TEST(TwoObjectHost, TheProxyCarriesMessagesOnTheUserInterfaceThreadOnly)
{
  CountingPoint source, destination;
  HostConnectionProxy proxy;
  proxy.SetSource(&source);
  ASSERT_EQ(proxy.connect(&destination), kResultOk);
  EXPECT_EQ(source.peer, &proxy);
  EXPECT_EQ(proxy.connect(&destination), kResultFalse);

  TUID messageIid;
  IMessage::iid.toTUID(messageIid);
  void* obj = nullptr;
  ASSERT_EQ(CreateHostInstance(messageIid, messageIid, &obj), kResultTrue);
  auto message = IPtr<IMessage>::adopt(static_cast<IMessage*>(obj));
  message->setMessageID("Level");
  EXPECT_EQ(source.peer->notify(message.get()), kResultOk);
  EXPECT_EQ(destination.received, 1);
  tresult offThread = kResultOk;
  std::thread audio([&] { offThread = source.peer->notify(message.get()); });
  audio.join();
  EXPECT_EQ(offThread, kResultFalse);
  EXPECT_EQ(destination.received, 1);
  ASSERT_EQ(proxy.Complaints().size(), 1u);
  EXPECT_NE(proxy.Complaints()[0].find("\"Level\" sent off the user-interface thread"), std::string::npos);

  EXPECT_EQ(proxy.disconnect(&source), kInvalidArgument);
  EXPECT_EQ(proxy.disconnect(&destination), kResultOk);
  EXPECT_EQ(source.peer, nullptr);
  EXPECT_EQ(proxy.notify(message.get()), kResultFalse);
  EXPECT_EQ(destination.received, 1);
}

TEST(TwoObjectHost, MakesMessagesAndAttributeListsOnly)
{
  TUID message, attributes, other;
  IMessage::iid.toTUID(message);
  IAttributeList::iid.toTUID(attributes);
  IConnectionPoint::iid.toTUID(other);
  void* obj = reinterpret_cast<void*>(1);
  EXPECT_EQ(CreateHostInstance(message, attributes, &obj), kResultFalse);
  EXPECT_EQ(obj, nullptr);
  EXPECT_EQ(CreateHostInstance(other, other, &obj), kResultFalse);
  EXPECT_EQ(obj, nullptr);

  ASSERT_EQ(CreateHostInstance(message, message, &obj), kResultTrue);
  auto msg = IPtr<IMessage>::adopt(static_cast<IMessage*>(obj));
  EXPECT_EQ(msg->getMessageID(), nullptr);
  msg->setMessageID("Rate");
  EXPECT_STREQ(msg->getMessageID(), "Rate");
  IAttributeList* list = msg->getAttributes();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(msg->getAttributes(), list);

  EXPECT_EQ(list->setInt("n", -5), kResultTrue);
  EXPECT_EQ(list->setFloat("x", 0.25), kResultTrue);
  EXPECT_EQ(list->setString("s", u"hello"), kResultTrue);
  const std::uint8_t blob[3] = {1, 2, 3};
  EXPECT_EQ(list->setBinary("b", blob, 3), kResultTrue);
  EXPECT_EQ(list->setInt(nullptr, 1), kInvalidArgument);

  int64 n = 0;
  double x = 0;
  EXPECT_EQ(list->getInt("n", n), kResultTrue);
  EXPECT_EQ(n, -5);
  EXPECT_EQ(list->getFloat("x", x), kResultTrue);
  EXPECT_EQ(x, 0.25);
  // A value is read only as the type it was stored with.
  EXPECT_EQ(list->getFloat("n", x), kResultFalse);
  EXPECT_EQ(list->getInt("missing", n), kResultFalse);
  TChar text[8] = {};
  EXPECT_EQ(list->getString("s", text, sizeof text), kResultTrue);
  EXPECT_EQ(std::u16string(text), u"hello");
  TChar shortText[3] = {u'x', u'x', u'x'};
  EXPECT_EQ(list->getString("s", shortText, sizeof shortText), kResultTrue);
  EXPECT_EQ(std::u16string(shortText), u"he");
  const void* data = nullptr;
  uint32 size = 0;
  EXPECT_EQ(list->getBinary("b", data, size), kResultTrue);
  ASSERT_EQ(size, 3u);
  EXPECT_EQ(static_cast<const std::uint8_t*>(data)[2], 3);
  EXPECT_EQ(list->getBinary("s", data, size), kResultFalse);
  EXPECT_EQ(size, 0u);
  // Setting a key again replaces its value and type.
  EXPECT_EQ(list->setFloat("n", 1.5), kResultTrue);
  EXPECT_EQ(list->getInt("n", n), kResultFalse);
}

// Loads every test bundle and creates and releases an instance of each of its
// audio module classes, leaving the modules loaded: the process ends after
// this with them still loaded.
TEST(TwoObjectHost, EveryTestBundleLoadsAndEveryClassComesAndGoes)
{
  const std::vector<std::string> bundles = Bundles();
  ASSERT_EQ(bundles.size(), 3u) << "THRUMWELL_BUNDLES names the three test bundles";
  for (std::size_t b = 0; b < bundles.size(); ++b)
  {
    SCOPED_TRACE(bundles[b]);
    HostModule& module = Module(b);
    ASSERT_TRUE(module.IsLoaded()) << module.Error();
    int created = 0;
    for (int i = 0; i < module.NClasses(); ++i)
    {
      HostClassInfo info;
      if (!module.GetClass(i, info) || info.category != kVstAudioEffectClass)
        continue;
      HostPlugin plugin(module);
      EXPECT_TRUE(plugin.Create(i)) << info.name << "\n" << Lines(plugin.Violations());
      plugin.Destroy();
      EXPECT_TRUE(plugin.Violations().empty()) << info.name << "\n" << Lines(plugin.Violations());
      ++created;
    }
    EXPECT_GE(created, 1);
  }
}

}  // namespace
