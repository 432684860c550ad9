#pragma once
// A file written under a temporary name beside its own and given its name
// only once complete, so that a render that fails (a full disk, a plug-in
// that fails, an interrupted run) never leaves a half-written file under the
// name asked for, nor destroys a file of that name from before.

#include <string>

class StagedFile
{
public:
  explicit StagedFile(std::string path);
  // Removes the temporary file unless it was committed.
  ~StagedFile() { Discard(); }
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // Where to write: a hidden name in the same folder (so the rename stays
  // on one file system).
  const std::string& TemporaryPath() const { return temporary; }
  // Renames the temporary file to the final name, replacing a file there;
  // false with one line in error when that fails (the temporary is removed).
  bool Commit(std::string& error);
  // Removes the temporary file now unless it was committed, for a run that
  // ends without unwinding (an interrupted render); the file it was to
  // replace stays as it was. The writer must have closed it (Windows removes
  // no open file).
  void Discard();

private:
  std::string path;
  std::string temporary;
  bool committed = false;
};
