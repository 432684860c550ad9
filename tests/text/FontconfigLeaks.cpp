// fontconfig's configuration parser loses a few hundred bytes once per
// process while it reads the system's font configuration. The leak is in the
// library, not in the code under test, so the leak checker is told to skip it
// in every executable that makes fonts.
extern "C" const char* __lsan_default_suppressions()
{
  return "leak:libfontconfig.so\n";
}
