// The command line of the program: path arguments register source files
// (a file, every source file below a folder, or a "*." pattern), switches
// change the live options for this process only.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "context/options.h"
#include "context/source_file_list.h"

enum class CommandLineResult {
  NoFiles,   // nothing registered: the window (or the usage text) follows
  Ran,       // one analysis run was performed; the program ends
  Exit,      // "/?" or "/v" asked to end the program at once
  Failed,    // it cannot be carried out (an output folder that cannot be made)
  BadValue,  // a switch with a value it does not know: nothing is analysed
};

// Splits a Windows command-line text: a space ends a token only before '/',
// a drive letter ("x:") or a quoted argument; other spaces stay inside the
// token, and so does everything between quotes (the quotes are dropped).
std::vector<std::string> splitCommandLine(const std::string& text);

// Applies the tokens of a Windows command-line text in order and runs the
// analysis when a file was registered.
CommandLineResult runCommandLine(const std::string& text);

// The same for arguments that the shell already split (POSIX): each one is
// a token. One that starts with '/' or '-' is a switch when it is a known
// switch ("--help" and "--version" stand for "/?" and "/v"; "--output DIR",
// "-o DIR" or "--output=DIR" names the output folder of this run), else a
// path when such a path exists or it looks like one (a second '/', a '.'
// or a '*'), else an unknown switch. "--encoding sjis|utf-8",
// "--source-encoding auto|sjis|utf-8|euc-jp" (each also with '=') and
// "--crlf" set the encodings of this run.
CommandLineResult runCommandLineArguments(const std::vector<std::string>& arguments);

// Told each file that registering a path meets, with what became of it
// (a file of no language too); false stops the search there.
using RegistrationWatch = std::function<bool(const std::string& path, AddResult result)>;

// Registers a file, a folder tree, or the files matching "*." patterns; a
// folder that links lead to is searched once. What is left out (a file of
// no language, a folder or pattern without sources, refused files) is
// noted in runOutcome(). The window registers on a thread of its own and
// watches: its progress, the refused files, and a way to stop.
void registerPath(const std::string& path, const RegistrationWatch& watch = nullptr);

// Registers one file in `list` in the language of its extension (the
// options' extension table); a file of no listed language is left out.
AddResult registerSourceFile(const Options& options, const std::string& name,
                             const std::string& directory, SourceFileList& list);

// The usage message box of "/?", and its text.
void showUsage();
std::string usageText();

// The text of "/v".
extern const char kVersionText[];
