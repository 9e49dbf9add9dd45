// The program's own surroundings: where it lives, the single-instance lock,
// the user-facing boxes and the shell, the clock and the standard streams.
// Texts passed in are CP932; the platform converts them where its terminal
// or window expects another encoding.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Full path of the running program file (CP932).
std::string programPath();

// Takes the single-instance lock `name` for this process. Returns false
// only when another process holds it already (a second instance is
// running); a lock that cannot be made at all does not stop the program.
// On Windows it is a named mutex of the session; on POSIX it belongs to the
// program's folder (where its settings and reports live), so copies of the
// program in other folders run at once: a hidden file there, or, where
// that folder takes no file, a file in a folder of the user's own (the
// runtime folder, else "mizenta-<uid>" in the temporary folder), used only
// when it is the user's and nobody else may write in it, so that no other
// user can hold the program back.
bool acquireSingleInstance(const std::string& name);

// The lock of one output folder while a run writes its reports there: two
// programs (copies in other folders, other users or sessions, the Windows
// program under Wine on the same files) never write into one folder at
// once. It is a lock on a hidden file in the folder, kOutputLockName: a
// record lock on POSIX, a byte-range lock on Windows, the same lock seen
// from either side. Released with the object (or by the next take()).
class OutputFolderLock {
 public:
  OutputFolderLock() = default;
  ~OutputFolderLock() { release(); }
  OutputFolderLock(const OutputFolderLock&) = delete;
  OutputFolderLock& operator=(const OutputFolderLock&) = delete;

  // Takes the lock of `folder` (ending with a separator). False when
  // another program holds it; a folder that takes no lock file is not
  // refused (no report can be written there either, and the run says so).
  bool take(const std::string& folder);
  void release();

 private:
  std::intptr_t handle_ = -1;  // the lock file's descriptor or handle
};

extern const char kOutputLockName[];

// A message box with one OK button and no owner window. On POSIX the
// caption and the text go to standard error.
void showMessageBox(std::string_view text, std::string_view caption);

// Asks the shell to open `folder` for the user (nothing on POSIX).
void shellOpenFolder(const std::string& folder);

// Milliseconds of a monotonic clock.
std::uint64_t clockMilliseconds();

// Writes CP932 text to standard output / standard error, converted to the
// terminal's encoding where that is not CP932, and flushes.
void writeStandardOutput(std::string_view text);
// From now on the standard streams take UTF-8 on every system (stand-ins
// as their characters), or, with false, the system's own again: CP932 on
// Windows, the terminal's encoding on POSIX.
void setStandardStreamsUtf8(bool utf8);
void writeStandardError(std::string_view text);

// Whether standard error is an interactive terminal (progress display).
bool standardErrorIsTerminal();

}  // namespace platform
