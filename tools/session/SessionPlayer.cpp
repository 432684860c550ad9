#include "tools/session/SessionPlayer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace ThrumwellSession
{

using namespace Steinberg;
using namespace Steinberg::Vst;
using ThrumwellHost::HostParameterList;

namespace {

// A ramp's points keep the host's interpolation within this share of the
// parameter's range of the straight line in real units.
constexpr double kRampTolerance = 1e-6;
// Halvings of a block's part of a ramp: at most 2^10 points per block.
constexpr int kMaxDepth = 10;

std::string Number(double value)
{
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

bool ParseNumber(const std::string& text, double& value)
{
  if (text.empty())
    return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return *end == '\0' && std::isfinite(value);
}

// The plain value a user wrote for parameter index: one of its value texts or
// a number within its range.
bool ResolveValue(const HostParameterList& params, IEditController* controller, int index, const std::string& text,
                  const SessionSource& at, double& plain, std::string& error)
{
  const HostParameterList::Parameter& p = params.At(index);
  const ParamID id = p.info.id;
  double normalized = 0.0;
  if (params.NormalizedForText(index, text, normalized))
  {
    plain = controller->normalizedParamToPlain(id, normalized);
    return true;
  }
  const double low = controller->normalizedParamToPlain(id, 0.0);
  const double high = controller->normalizedParamToPlain(id, 1.0);
  if (ParseNumber(text, plain) && plain >= std::min(low, high) && plain <= std::max(low, high))
    return true;

  std::string expected = "expected a value of \"" + p.title + "\": ";
  // A list names its steps; a parameter whose steps are numbers is no list.
  std::string texts;
  for (int32 step = 0; p.info.stepCount > 0 && p.info.stepCount <= 64 && step <= p.info.stepCount; ++step)
  {
    const std::string stepText = params.Text(id, static_cast<double>(step) / p.info.stepCount);
    double ignored = 0.0;
    if (stepText.empty() || ParseNumber(stepText, ignored))
    {
      texts.clear();
      break;
    }
    texts += (step == 0 ? "" : ", ") + stepText;
  }
  if (!texts.empty())
    expected += "one of " + texts + ", or a number";
  else
    expected += "a number";
  expected += " from " + Number(low) + " to " + Number(high) + (p.units.empty() ? "" : " " + p.units);
  error = at.Message(expected + ", not \"" + text + "\"");
  return false;
}

std::string ParameterNames(const HostParameterList& params)
{
  std::string names;
  for (int i = 0; i < params.Count(); ++i)
    if (HostParameterList::IsUserParameter(params.At(i)))
      names += (names.empty() ? "" : ", ") + params.At(i).title;
  return names;
}

std::uint64_t Frame(double seconds, double rate)
{
  return static_cast<std::uint64_t>(std::llround(seconds * rate));
}

}  // namespace

bool SessionPlayer::Resolve(const std::vector<SessionEvent>& written, const HostParameterList& params,
                            IEditController* editController, double rate, std::string& error)
{
  controller = editController;
  events.clear();
  slots.clear();
  inForce.clear();
  active.clear();
  next = 0;
  for (const SessionEvent& e : written)
  {
    Event event{};
    event.kind = e.kind;
    event.start = Frame(e.start, rate);
    event.end = e.kind == SessionEvent::kRamp ? std::max(Frame(e.end, rate), event.start) : event.start;
    if (e.kind == SessionEvent::kProgram)
    {
      const int program = params.FindProgram(e.name);
      const int programParam = params.FindProgramChange();
      if (program < 0 || programParam < 0)
      {
        error = e.nameAt.Message("unknown program \"" + e.name + "\"; expected a program name or number "
                                 "(see --list-programs)");
        return false;
      }
      const ParameterInfo& info = params.At(programParam).info;
      event.id = info.id;
      event.normalized = static_cast<double>(program) / (info.stepCount > 0 ? info.stepCount : 1);
      events.push_back(event);
      continue;
    }

    const int index = params.FindUserParameter(e.name);
    if (index < 0)
    {
      error = e.nameAt.Message("unknown parameter \"" + e.name + "\"; expected one of " + ParameterNames(params));
      return false;
    }
    event.id = params.At(index).info.id;
    if (!ResolveValue(params, controller, index, e.to, e.toAt, event.to, error))
      return false;
    event.hasFrom = !e.from.empty();
    if (event.hasFrom && !ResolveValue(params, controller, index, e.from, e.fromAt, event.from, error))
      return false;
    event.normalized = controller->plainParamToNormalized(event.id, event.to);
    event.range = std::fabs(controller->normalizedParamToPlain(event.id, 1.0)
                            - controller->normalizedParamToPlain(event.id, 0.0));
    const auto slot = std::find(slots.begin(), slots.end(), event.id);
    event.slot = static_cast<std::size_t>(slot - slots.begin());
    if (slot == slots.end())
      slots.push_back(event.id);
    events.push_back(event);
  }
  // The frames keep the written order; rounding cannot reorder them.
  std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.start < b.start; });
  inForce.assign(slots.size(), 0.0);
  return true;
}

std::uint64_t SessionPlayer::LastFrame() const
{
  std::uint64_t last = 0;
  for (const Event& e : events)
    last = std::max(last, e.end);
  return last;
}

void SessionPlayer::ReadValuesInForce()
{
  for (std::size_t i = 0; i < slots.size(); ++i)
    inForce[i] = controller->normalizedParamToPlain(slots[i], controller->getParamNormalized(slots[i]));
}

std::uint64_t SessionPlayer::NextBoundary(std::uint64_t frame) const
{
  for (std::size_t i = next; i < events.size(); ++i)
    if (events[i].start > frame)
      return events[i].start;
  return kNever;
}

bool SessionPlayer::AddProgramChange(std::uint64_t frame, IParameterChanges& changes)
{
  const Event* program = nullptr;
  for (std::size_t i = next; i < events.size() && events[i].start <= frame; ++i)
    if (events[i].kind == SessionEvent::kProgram && events[i].start == frame)
      program = &events[i];
  if (!program)
    return false;
  int32 queueIndex = 0;
  int32 pointIndex = 0;
  if (IParamValueQueue* queue = changes.addParameterData(program->id, queueIndex))
    queue->addPoint(0, program->normalized, pointIndex);
  return true;
}

double SessionPlayer::PlainAt(const Event& ramp, std::uint64_t frame) const
{
  if (ramp.end <= ramp.start || frame >= ramp.end)
    return ramp.to;
  const double t = static_cast<double>(frame - ramp.start) / static_cast<double>(ramp.end - ramp.start);
  return ramp.from + (ramp.to - ramp.from) * t;
}

void SessionPlayer::Subdivide(const Event& ramp, std::size_t index, std::uint64_t lo, std::uint64_t hi,
                              std::uint64_t base, int depth, std::vector<Point>& points) const
{
  if (hi - lo < 2 || depth >= kMaxDepth)
    return;
  const std::uint64_t mid = lo + (hi - lo) / 2;
  const double loNormalized = controller->plainParamToNormalized(ramp.id, PlainAt(ramp, lo));
  const double hiNormalized = controller->plainParamToNormalized(ramp.id, PlainAt(ramp, hi));
  const double share = static_cast<double>(mid - lo) / static_cast<double>(hi - lo);
  const double interpolated =
    controller->normalizedParamToPlain(ramp.id, loNormalized + (hiNormalized - loNormalized) * share);
  if (std::fabs(interpolated - PlainAt(ramp, mid)) <= kRampTolerance * ramp.range)
    return;
  Subdivide(ramp, index, lo, mid, base, depth + 1, points);
  points.push_back({static_cast<int32>(mid - base), index, controller->plainParamToNormalized(ramp.id, PlainAt(ramp, mid))});
  Subdivide(ramp, index, mid, hi, base, depth + 1, points);
}

void SessionPlayer::AddRampPoints(std::size_t index, std::uint64_t lo, std::uint64_t hi, std::uint64_t base,
                                  std::vector<Point>& points) const
{
  const Event& ramp = events[index];
  points.push_back({static_cast<int32>(lo - base), index, controller->plainParamToNormalized(ramp.id, PlainAt(ramp, lo))});
  if (hi == lo)
    return;
  Subdivide(ramp, index, lo, hi, base, 0, points);
  points.push_back({static_cast<int32>(hi - base), index, controller->plainParamToNormalized(ramp.id, PlainAt(ramp, hi))});
}

void SessionPlayer::AddBlockChanges(std::uint64_t frame, int n, IParameterChanges& changes)
{
  if (n <= 0)
    return;
  const std::uint64_t last = frame + static_cast<std::uint64_t>(n) - 1;
  // Most blocks of a long session carry nothing.
  if (active.empty() && (next >= events.size() || events[next].start > last))
    return;
  std::map<ParamID, std::vector<Point>> points;

  // A ramp's points over this block; a ramp that ends here leaves its end
  // value in force.
  auto playRamp = [&](std::size_t index) {
    Event& ramp = events[index];
    const std::uint64_t lo = std::max(ramp.start, frame);
    const std::uint64_t hi = std::min(ramp.end, last);
    if (lo <= hi)
      AddRampPoints(index, lo, hi, frame, points[ramp.id]);
    if (ramp.end <= last)
    {
      inForce[ramp.slot] = ramp.to;
      return false;
    }
    return true;
  };

  std::vector<std::size_t> stillActive;
  for (std::size_t index : active)
    if (playRamp(index))
      stillActive.push_back(index);
  for (; next < events.size() && events[next].start <= last; ++next)
  {
    Event& e = events[next];
    if (e.kind == SessionEvent::kSet)
    {
      points[e.id].push_back({static_cast<int32>(e.start - std::min(e.start, frame)), next, e.normalized});
      inForce[e.slot] = e.to;
    }
    else if (e.kind == SessionEvent::kRamp)
    {
      if (!e.hasFrom)
        e.from = inForce[e.slot];
      if (playRamp(next))
        stillActive.push_back(next);
    }
  }
  active = stillActive;

  for (auto& [id, list] : points)
  {
    std::stable_sort(list.begin(), list.end(), [](const Point& a, const Point& b) {
      return a.offset != b.offset ? a.offset < b.offset : a.order < b.order;
    });
    int32 queueIndex = 0;
    IParamValueQueue* queue = changes.addParameterData(id, queueIndex);
    if (!queue)
      continue;
    for (std::size_t i = 0; i < list.size(); ++i)
    {
      // At one offset the last event written wins.
      if (i + 1 < list.size() && list[i + 1].offset == list[i].offset)
        continue;
      int32 pointIndex = 0;
      queue->addPoint(list[i].offset, list[i].normalized, pointIndex);
    }
  }
}

}  // namespace ThrumwellSession
