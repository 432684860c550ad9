#include "tools/session/SessionScript.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/HostUtf8.h"

namespace ThrumwellSession
{

namespace {

// Longest time accepted: far beyond any render, small enough that a frame
// count at the highest rate stays exact in a double.
constexpr double kMaxSeconds = 1e9;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// A whole text as a finite non-negative decimal number of the plain form
// digits[.digits] (no sign, no exponent, no hexadecimal).
bool ParseDecimal(const std::string& text, double& out)
{
  if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos)
    return false;
  const std::size_t point = text.find('.');
  if (point != text.rfind('.') || point == 0 || point == text.size() - 1)
    return false;
  errno = 0;
  char* end = nullptr;
  out = std::strtod(text.c_str(), &end);
  return *end == '\0' && errno != ERANGE && std::isfinite(out);
}

std::string FormatTime(double seconds)
{
  const long long whole = static_cast<long long>(seconds);
  const double fraction = seconds - static_cast<double>(whole);
  char text[64];
  const int hours = static_cast<int>(whole / 3600);
  const int minutes = static_cast<int>(whole / 60 % 60);
  const int secs = static_cast<int>(whole % 60);
  int n = hours > 0 ? std::snprintf(text, sizeof text, "%d:%02d:%02d", hours, minutes, secs)
                    : std::snprintf(text, sizeof text, "%02d:%02d", minutes, secs);
  if (fraction > 0.0 && n > 0)
  {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.6f", fraction);
    std::string tail = digits + 1;  // ".xxxxxx"
    tail.erase(tail.find_last_not_of('0') + 1);
    if (tail != ".")
      return std::string(text) + tail;
  }
  return text;
}

// "FILE:LINE" or the option with its text: where an earlier event was written.
std::string Where(const SessionSource& at)
{
  if (at.line > 0)
    return at.file + ":" + std::to_string(at.line);
  return at.file + " \"" + at.text + "\"";
}

// Reads one line of a session file, keeping the column of every piece.
class LineReader
{
public:
  LineReader(const std::string& lineText, const std::string& fileName, int lineNumber)
      : text(lineText), file(fileName), line(lineNumber)
  {
  }

  // Skips blanks; true when there were any.
  bool SkipBlanks()
  {
    const std::size_t begin = at;
    while (at < text.size() && IsBlank(text[at]))
      ++at;
    return at > begin;
  }
  // End of the line or the start of a comment.
  bool AtEnd() const { return at >= text.size() || text[at] == '#'; }
  bool AtArrow() const { return text.compare(at, 2, "->") == 0; }
  bool Peek(char c) const { return at < text.size() && text[at] == c; }
  void Skip(std::size_t n) { at += n; }

  SessionSource Here() const
  {
    SessionSource source;
    source.file = file;
    source.line = line;
    source.column = static_cast<int>(at) + 1;
    return source;
  }

  // A run of characters up to a blank, a comment, '=' (when stopAtEquals), a
  // quote or "->"; or a quoted text (no escapes), whose quotes are dropped.
  // False with error set for an unterminated quote.
  bool Word(bool stopAtEquals, std::string& word, std::string& error)
  {
    word.clear();
    if (Peek('"'))
    {
      const std::size_t close = text.find('"', at + 1);
      if (close == std::string::npos)
      {
        error = Here().Message("expected a closing quote");
        return false;
      }
      word = text.substr(at + 1, close - at - 1);
      at = close + 1;
      return true;
    }
    while (at < text.size() && !IsBlank(text[at]) && text[at] != '#' && text[at] != '"' && !AtArrow()
           && !(stopAtEquals && text[at] == '='))
      word += text[at++];
    return true;
  }

  // A time token: the characters of SS, MM:SS or HH:MM:SS.
  std::string TimeToken()
  {
    const std::size_t begin = at;
    while (at < text.size() && (std::isdigit(static_cast<unsigned char>(text[at])) || text[at] == ':'
                                || text[at] == '.'))
      ++at;
    // Let a malformed time show all of itself in the message.
    while (at < text.size() && !IsBlank(text[at]) && text[at] != '#' && !AtArrow())
      ++at;
    return text.substr(begin, at - begin);
  }

private:
  const std::string& text;
  const std::string& file;
  int line;
  std::size_t at = 0;
};

constexpr const char* kTimeForms = "a time (SS, MM:SS or HH:MM:SS)";

// A whole text as a finite number, signed or not (a gain in dB).
bool ParseSigned(const std::string& text, double& out)
{
  const bool sign = !text.empty() && (text[0] == '-' || text[0] == '+');
  if (!ParseDecimal(sign ? text.substr(1) : text, out))
    return false;
  if (text[0] == '-')
    out = -out;
  return true;
}

// A path as written in a session file: relative ones from the file's folder.
std::string FromSessionFolder(const std::string& fileName, const std::string& path)
{
  const std::filesystem::path written = ThrumwellHost::PathFromUtf8(path);
  if (written.is_absolute())
    return path;
  return (ThrumwellHost::PathFromUtf8(fileName).parent_path() / written).u8string();
}

// The rest of a bed line, after its keyword ("noise" or "input", at
// keywordAt): "noise COLOUR[@DB]" or "input FILE [gain=DB] [loop=yes|no]".
bool ParseBed(LineReader& in, const std::string& keyword, const SessionSource& keywordAt, SessionBeds& beds,
              std::string& error)
{
  const bool noise = keyword == "noise";
  if (noise ? beds.noise : !beds.input.empty())
  {
    const SessionSource& first = noise ? beds.noiseAt : beds.inputAt;
    error = keywordAt.Message("expected one " + keyword + " line in a session; the first is " + Where(first));
    return false;
  }
  in.SkipBlanks();
  const SessionSource valueAt = in.Here();
  std::string value;
  if (!in.Word(false, value, error))
    return false;
  if (noise)
  {
    std::string ignored;
    if (!NoiseBed::Parse(value, beds.noiseColour, beds.noiseDb, ignored))
    {
      error = valueAt.Message("expected a noise colour, white, pink or brown, with @DB from -120 to 0 (RMS level, "
                              "default -20), not \"" + value + "\"");
      return false;
    }
    beds.noise = true;
    beds.noiseAt = keywordAt;
    in.SkipBlanks();
    if (!in.AtEnd())
    {
      error = in.Here().Message("expected the end of the line after the noise bed (a bed has a line of its own)");
      return false;
    }
    return true;
  }

  if (value.empty())
  {
    error = valueAt.Message("expected an audio file's name (quoted when it has blanks) after \"input\"");
    return false;
  }
  beds.input = FromSessionFolder(in.Here().file, value);
  beds.inputAt = valueAt;
  bool gainGiven = false, loopGiven = false;
  for (bool separated = in.SkipBlanks(); !in.AtEnd(); separated = in.SkipBlanks())
  {
    const SessionSource keyAt = in.Here();
    std::string key;
    if (!separated)
    {
      error = keyAt.Message("expected a blank between the input's settings");
      return false;
    }
    if (!in.Word(true, key, error))
      return false;
    bool& given = key == "gain" ? gainGiven : loopGiven;
    if ((key != "gain" && key != "loop") || !in.Peek('='))
    {
      error = keyAt.Message("expected gain=DB or loop=yes|no after the input file (a bed has a line of its own)");
      return false;
    }
    if (given)
    {
      error = keyAt.Message("expected " + key + "= once on the line");
      return false;
    }
    given = true;
    in.Skip(1);
    const SessionSource settingAt = in.Here();
    std::string setting;
    if (!in.Word(false, setting, error))
      return false;
    if (key == "loop")
    {
      if (setting != "yes" && setting != "no")
      {
        error = settingAt.Message("expected loop=yes or loop=no, not \"" + setting + "\"");
        return false;
      }
      beds.inputLoop = setting == "yes";
    }
    else if (!ParseSigned(setting, beds.inputGain) || beds.inputGain < kLowestInputGainDb
             || beds.inputGain > kHighestInputGainDb)
    {
      error = settingAt.Message("expected a gain from -120 to 24 dB, not \"" + setting + "\"");
      return false;
    }
  }
  return true;
}

// One line of a session file, appended to events. previous is the start time
// of the last event line, updated here.
bool ParseLine(LineReader& in, std::vector<SessionEvent>& events, SessionBeds& beds, double& previous,
               SessionSource& previousAt, std::string& error)
{
  in.SkipBlanks();
  if (in.AtEnd())
    return true;

  const SessionSource startAt = in.Here();
  double start = 0.0;
  if (!ParseSessionTime(in.TimeToken(), start))
  {
    error = startAt.Message(std::string("expected ") + kTimeForms + " at the start of the line");
    return false;
  }
  if (start < previous)
  {
    error = startAt.Message("expected a time at or after " + FormatTime(previous) + ", the time of "
                            + Where(previousAt) + " (times may not go backwards)");
    return false;
  }
  previous = start;
  previousAt = startAt;

  bool separated = in.SkipBlanks();
  const bool ramp = in.AtArrow();
  double end = start;
  if (ramp)
  {
    in.Skip(2);
    in.SkipBlanks();
    const SessionSource endAt = in.Here();
    if (!ParseSessionTime(in.TimeToken(), end))
    {
      error = endAt.Message(std::string("expected an end time after \"->\": ") + kTimeForms);
      return false;
    }
    if (end <= start)
    {
      error = endAt.Message("expected an end time later than the start, " + FormatTime(start));
      return false;
    }
    separated = in.SkipBlanks();
  }

  bool any = false;
  for (;; separated = in.SkipBlanks())
  {
    if (in.AtEnd())
      break;
    if (!separated)
    {
      error = in.Here().Message("expected a blank between settings");
      return false;
    }

    SessionEvent event;
    event.start = start;
    event.end = end;
    event.kind = ramp ? SessionEvent::kRamp : SessionEvent::kSet;
    event.nameAt = in.Here();
    const bool quotedName = in.Peek('"');
    if (!in.Word(true, event.name, error))
      return false;

    if (!quotedName && (event.name == "noise" || event.name == "input") && !in.Peek('='))
    {
      if (any)
      {
        error = event.nameAt.Message("expected \"" + event.name + "\" at the start of a line of its own");
        return false;
      }
      if (ramp)
      {
        error = event.nameAt.Message("expected a setting NAME=VALUE: a " + event.name + " bed cannot be a ramp");
        return false;
      }
      if (start != 0.0)
      {
        error = startAt.Message("expected 00:00 for the " + event.name + " line: a bed plays from the start to the "
                                + "end of the session");
        return false;
      }
      return ParseBed(in, event.name, event.nameAt, beds, error);
    }
    if (!quotedName && event.name == "program" && !in.Peek('='))
    {
      if (ramp)
      {
        error = event.nameAt.Message("expected a setting NAME=VALUE: a program change cannot be a ramp");
        return false;
      }
      in.SkipBlanks();
      event.kind = SessionEvent::kProgram;
      event.nameAt = in.Here();
      if (!in.Word(false, event.name, error))
        return false;
      if (event.name.empty())
      {
        error = event.nameAt.Message("expected a program name (quoted when it has blanks) or number");
        return false;
      }
      events.push_back(event);
      any = true;
      continue;
    }

    if (event.name.empty())
    {
      error = event.nameAt.Message("expected a parameter name");
      return false;
    }
    if (!in.Peek('='))
    {
      error = in.Here().Message("expected \"=\" after the name \"" + event.name + "\"");
      return false;
    }
    in.Skip(1);
    event.toAt = in.Here();
    if (!in.Word(false, event.to, error))
      return false;
    if (in.AtArrow())
    {
      if (!ramp)
      {
        error = in.Here().Message("expected a single value: \"->\" in a value needs a ramp line (START -> END)");
        return false;
      }
      in.Skip(2);
      event.from = event.to;
      event.fromAt = event.toAt;
      event.toAt = in.Here();
      if (event.from.empty())
      {
        error = event.fromAt.Message("expected a start value before \"->\"");
        return false;
      }
      if (!in.Word(false, event.to, error))
        return false;
    }
    if (event.to.empty())
    {
      error = event.toAt.Message("expected a value after \"" + std::string(event.from.empty() ? "=" : "->") + "\"");
      return false;
    }
    events.push_back(event);
    any = true;
  }
  if (!any)
  {
    error = in.Here().Message("expected a setting NAME=VALUE or program \"NAME\" after the time");
    return false;
  }
  return true;
}

SessionSource OptionAt(const std::string& option, const std::string& text, std::size_t index)
{
  SessionSource source;
  source.file = option;
  source.text = text;
  source.column = static_cast<int>(index) + 1;
  return source;
}

}  // namespace

std::string SessionSource::Message(const std::string& what) const
{
  if (line > 0)
    return file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + what;
  return file + " \"" + text + "\", column " + std::to_string(column) + ": " + what;
}

bool ParseSessionTime(const std::string& text, double& seconds)
{
  double fields[3] = {0.0, 0.0, 0.0};
  int count = 0;
  std::size_t begin = 0;
  while (true)
  {
    const std::size_t colon = text.find(':', begin);
    const std::string field = text.substr(begin, colon == std::string::npos ? std::string::npos : colon - begin);
    if (count == 3 || !ParseDecimal(field, fields[count]))
      return false;
    ++count;
    if (colon == std::string::npos)
      break;
    // Only the seconds may have a fraction.
    if (field.find('.') != std::string::npos)
      return false;
    begin = colon + 1;
  }
  // Minutes and seconds below a larger field count up to 59.
  for (int i = 1; i < count; ++i)
    if (fields[i] >= 60.0)
      return false;
  double total = 0.0;
  for (int i = 0; i < count; ++i)
    total = total * 60.0 + fields[i];
  if (total > kMaxSeconds)
    return false;
  seconds = total;
  return true;
}

bool ParseSessionText(const std::string& text, const std::string& fileName, std::vector<SessionEvent>& events,
                      SessionBeds& beds, std::string& error)
{
  events.clear();
  beds = SessionBeds();
  double previous = 0.0;
  SessionSource previousAt;
  int line = 0;
  std::size_t begin = 0;
  while (begin < text.size())
  {
    std::size_t end = text.find('\n', begin);
    if (end == std::string::npos)
      end = text.size();
    const std::string lineText = text.substr(begin, end - begin);
    ++line;
    LineReader reader(lineText, fileName, line);
    if (lineText.find('\0') != std::string::npos)
    {
      error = reader.Here().Message("expected text, found a zero byte");
      return false;
    }
    if (!ParseLine(reader, events, beds, previous, previousAt, error))
      return false;
    begin = end + 1;
  }
  return true;
}

bool ParseAtOption(const std::string& text, SessionEvent& event, std::string& error)
{
  event = SessionEvent();
  event.kind = SessionEvent::kSet;
  const std::size_t equals = text.find('=');
  const std::size_t at = text.rfind('@');
  event.nameAt = OptionAt("--at", text, 0);
  if (equals == std::string::npos || equals == 0)
  {
    error = event.nameAt.Message("expected NAME=VALUE@TIME");
    return false;
  }
  event.name = text.substr(0, equals);
  event.toAt = OptionAt("--at", text, equals + 1);
  if (at == std::string::npos || at < equals)
  {
    error = OptionAt("--at", text, text.size()).Message("expected \"@TIME\" after the value");
    return false;
  }
  event.to = text.substr(equals + 1, at - equals - 1);
  if (event.to.empty())
  {
    error = event.toAt.Message("expected a value after \"=\"");
    return false;
  }
  if (!ParseSessionTime(text.substr(at + 1), event.start))
  {
    error = OptionAt("--at", text, at + 1).Message(std::string("expected ") + kTimeForms + " after \"@\"");
    return false;
  }
  event.end = event.start;
  return true;
}

bool ParseRampOption(const std::string& text, SessionEvent& event, std::string& error)
{
  event = SessionEvent();
  event.kind = SessionEvent::kRamp;
  const std::size_t equals = text.find('=');
  const std::size_t at = text.rfind('@');
  event.nameAt = OptionAt("--ramp", text, 0);
  if (equals == std::string::npos || equals == 0)
  {
    error = event.nameAt.Message("expected NAME=FROM->TO@START+LENGTH");
    return false;
  }
  event.name = text.substr(0, equals);
  if (at == std::string::npos || at < equals)
  {
    error = OptionAt("--ramp", text, text.size()).Message("expected \"@START+LENGTH\" after the values");
    return false;
  }
  const std::string values = text.substr(equals + 1, at - equals - 1);
  const std::size_t arrow = values.find("->");
  if (arrow == std::string::npos)
  {
    error = OptionAt("--ramp", text, equals + 1).Message("expected FROM->TO (FROM may be left out)");
    return false;
  }
  event.from = values.substr(0, arrow);
  event.fromAt = OptionAt("--ramp", text, equals + 1);
  event.to = values.substr(arrow + 2);
  event.toAt = OptionAt("--ramp", text, equals + 1 + arrow + 2);
  if (event.to.empty())
  {
    error = event.toAt.Message("expected a value after \"->\"");
    return false;
  }
  const std::string when = text.substr(at + 1);
  const std::size_t plus = when.find('+');
  double length = 0.0;
  if (plus == std::string::npos || !ParseSessionTime(when.substr(0, plus), event.start))
  {
    error = OptionAt("--ramp", text, at + 1).Message(std::string("expected START+LENGTH, START ") + kTimeForms);
    return false;
  }
  if (!ParseSessionTime(when.substr(plus + 1), length) || length <= 0.0)
  {
    error = OptionAt("--ramp", text, at + 2 + plus).Message("expected a LENGTH above 0 after \"+\"");
    return false;
  }
  event.end = event.start + length;
  return true;
}

bool OrderSessionEvents(std::vector<SessionEvent>& events, std::string& error)
{
  std::stable_sort(events.begin(), events.end(),
                   [](const SessionEvent& a, const SessionEvent& b) { return a.start < b.start; });
  for (std::size_t r = 0; r < events.size(); ++r)
  {
    const SessionEvent& ramp = events[r];
    if (ramp.kind != SessionEvent::kRamp)
      continue;
    for (std::size_t e = r + 1; e < events.size() && events[e].start < ramp.end; ++e)
    {
      const SessionEvent& other = events[e];
      if (other.kind == SessionEvent::kProgram || other.name != ramp.name)
        continue;
      error = other.nameAt.Message("\"" + ramp.name + "\" ramps from " + FormatTime(ramp.start) + " to "
                                   + FormatTime(ramp.end) + " (" + Where(ramp.nameAt) + "); expected a time at or after "
                                   + FormatTime(ramp.end) + " for another " + (other.kind == SessionEvent::kRamp
                                                                                   ? "ramp"
                                                                                   : "setting")
                                   + " of it");
      return false;
    }
  }
  return true;
}

bool ParseSessionOptions(const std::vector<std::string>& ats, const std::vector<std::string>& ramps,
                         std::vector<SessionEvent>& events, std::string& error)
{
  for (const std::string& text : ats)
  {
    SessionEvent event;
    if (!ParseAtOption(text, event, error))
      return false;
    events.push_back(event);
  }
  for (const std::string& text : ramps)
  {
    SessionEvent event;
    if (!ParseRampOption(text, event, error))
      return false;
    events.push_back(event);
  }
  return true;
}

bool ReadSessionEvents(const std::string& file, const std::vector<SessionEvent>& extra,
                       std::vector<SessionEvent>& events, SessionBeds& beds, std::string& error)
{
  events.clear();
  beds = SessionBeds();
  if (!file.empty())
  {
    std::ifstream in(ThrumwellHost::PathFromUtf8(file), std::ios::binary);
    if (!in.is_open())
    {
      error = "cannot read the session file \"" + file + "\"";
      return false;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!ParseSessionText(text, file, events, beds, error))
      return false;
  }
  events.insert(events.end(), extra.begin(), extra.end());
  return OrderSessionEvents(events, error);
}

}  // namespace ThrumwellSession
