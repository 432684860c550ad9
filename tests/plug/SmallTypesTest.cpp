#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "plug/BlockClock.h"
#include "plug/IMidiEvent.h"
#include "plug/IPlugLock.h"
#include "plug/RoundToInt.h"

TEST(IMidiEvent, Accessors)
{
  const struct
  {
    std::uint8_t status, data1, data2;
    int kind, note, velocity;
  } cases[] = {
    {0x90, 60, 100, IMidiEvent::kNoteOn, 60, 100},
    {0x9F, 61, 0, IMidiEvent::kNoteOn, 61, 0},
    {0x83, 62, 40, IMidiEvent::kNoteOff, 62, 40},
    {0xA0, 63, 70, IMidiEvent::kPolyAftertouch, 63, -1},
    {0xB0, 7, 127, IMidiEvent::kControlChange, -1, -1},
    {0xE0, 0, 64, IMidiEvent::kPitchWheel, -1, -1},
    {0xF8, 1, 2, IMidiEvent::kNone, -1, -1},
    {0x40, 1, 2, IMidiEvent::kNone, -1, -1},
  };
  for (const auto& c : cases)
  {
    IMidiEvent e;
    e.status = c.status;
    e.data1 = c.data1;
    e.data2 = c.data2;
    EXPECT_EQ(e.GetKind(), c.kind) << int(c.status);
    EXPECT_EQ(e.NoteNumber(), c.note) << int(c.status);
    EXPECT_EQ(e.Velocity(), c.velocity) << int(c.status);
  }
}

TEST(IMidiEvent, NoteConstructors)
{
  IMidiEvent on, off;
  on.MakeNoteOnMsg(69, 127, 31, 2);
  EXPECT_EQ(on.status, 0x92);
  EXPECT_EQ(on.data1, 69);
  EXPECT_EQ(on.data2, 127);
  EXPECT_EQ(on.offset, 31);
  off.MakeNoteOffMsg(69, 5);
  EXPECT_EQ(off.status, 0x80);
  EXPECT_EQ(off.data2, 0);
  EXPECT_EQ(off.offset, 5);
  EXPECT_EQ(off.GetKind(), IMidiEvent::kNoteOff);
  // Out-of-range arguments keep only the bits a MIDI byte has.
  on.MakeNoteOnMsg(200, 300, 0, 17);
  EXPECT_EQ(on.status, 0x91);
  EXPECT_LT(on.data1, 128);
  EXPECT_LT(on.data2, 128);
}

TEST(RoundToInt, HalvesAwayFromZeroAndNoUndefinedConversions)
{
  const struct
  {
    double x;
    std::int32_t r;
  } cases[] = {{0.5, 1}, {-0.5, -1}, {1.49, 1}, {-1.5, -2}, {0.0, 0}, {std::nan(""), 0},
               {1e20, INT32_MAX}, {-1e20, INT32_MIN}, {HUGE_VAL, INT32_MAX}, {-HUGE_VAL, INT32_MIN},
               {2147483646.4, 2147483646}};
  for (const auto& c : cases)
    EXPECT_EQ(RoundToInt(c.x), c.r) << c.x;
}

TEST(IPlugLock, IsReentrantAndExcludesOtherThreads)
{
  IPlugLock lock;
  lock.Lock();
  {
    IPlugLockGuard again(lock);
  }
  std::atomic<bool> entered{false};
  std::thread other([&] {
    IPlugLockGuard guard(lock);
    entered = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(entered);
  lock.Unlock();
  other.join();
  EXPECT_TRUE(entered);
}

// The block clock must follow wall time even while the process sleeps, so
// that a pause in processing is noticed.
TEST(BlockClock, AdvancesWhileTheProcessIdles)
{
  const std::uint32_t before = BlockClockMs();
  std::this_thread::sleep_for(std::chrono::milliseconds(120));
  const std::uint32_t elapsed = BlockClockMs() - before;
  EXPECT_GE(elapsed, 100u);
  EXPECT_LT(elapsed, 60000u);
}
