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
// program in other folders run at once.
bool acquireSingleInstance(const std::string& name);

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
void writeStandardError(std::string_view text);

// Whether standard error is an interactive terminal (progress display).
bool standardErrorIsTerminal();

}  // namespace platform
