// The "defined functions" step counter of each registered file: how many
// functions of the run had their definition read in that file.
#pragma once

class FunctionTable;
class SourceFileList;
namespace platform {
class FileSet;
}

// Counts by file name (with its directory when `withPath`), as the file
// column of the reports names files. Files of one name in several folders
// are told apart by the path each definition was read from; `files` says
// which spellings of a path lead to one file.
void countDefinedFunctions(SourceFileList& list, const FunctionTable& functions,
                           platform::FileSet& files, bool withPath);
