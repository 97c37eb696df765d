// The files a command reads and writes, so that no output of a command ever replaces one of its
// inputs or another of its outputs, and the temporary files of unfinished writes, so that an
// interrupted program (Ctrl+C, SIGTERM) removes them before it ends.
#pragma once

#include <sys/types.h>

#include <string>

// A file held as an input for the hold's lifetime (TRecFile holds every file it has open; readers
// of whole files hold theirs while they read). Inside a TCommandFiles scope the file stays an input
// of the command until the scope ends, also once the hold is gone.
class TInputHold {
 public:
  TInputHold() = default;
  // Holds the file at `path` (nothing when it does not exist).
  explicit TInputHold(const std::string& path);
  ~TInputHold() { Release(); }
  TInputHold(const TInputHold&) = delete;
  TInputHold& operator=(const TInputHold&) = delete;
  // Holds the open file `fd`.
  void HoldDescriptor(int fd);
  void Release();

 private:
  long id_ = 0;
};

// While one lives, every input and output of the process is remembered until it ends: one command
// of the command-line tool, or one command of the desktop program.
class TCommandFiles {
 public:
  TCommandFiles();
  ~TCommandFiles();
  TCommandFiles(const TCommandFiles&) = delete;
  TCommandFiles& operator=(const TCommandFiles&) = delete;
};

// How a planned output meets the files in use.
enum class TFileClash {
  None,
  Input,   // it is a file the command reads or holds open
  Output,  // another output of the command names the same file
};

// Whether the output `path` (which exists with device `dev` and inode `ino` when `exists`) clashes
// with a file in use; the output `self` does not count.
TFileClash FindFileClash(const std::string& path, bool exists, dev_t dev, ino_t ino, long self = 0);
// Registers an output in progress or written; returns its id for OutputDone.
long NoteOutput(const std::string& path);
// Updates the identity of an output once it has taken its name.
void OutputPlaced(long id, dev_t dev, ino_t ino);
void OutputDone(long id);

// A temporary file that an interrupted program deletes before it ends; returns a slot for
// ForgetTempFile (-1 when every slot is taken: the file is then cleaned up later as a leftover).
int RememberTempFile(const std::string& path);
void ForgetTempFile(int slot);
