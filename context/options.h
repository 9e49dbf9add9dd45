// The switches that steer an analysis run and its reports, and their home in
// "Mizenta.ini" beside the program. The program keeps one live record for
// its whole life (liveOptions); the settings sheet edits a copy and hands it
// back to saveOptions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "report/report_model.h"

enum class OutputFormat : std::int32_t { Text = 0, Html = 1, Csv = 2, Excel = 3, Json = 4 };

// What the reports, the log and the messages are written in. Shift-JIS with
// CR LF is what stored files and other programs expect; UTF-8 ends lines
// with LF unless CR LF is asked for.
enum class OutputEncoding : std::int32_t { ShiftJis = 0, Utf8 = 1 };

// What source files are read as: recognised per file, or one for all.
enum class SourceEncoding : std::int32_t { Detect = 0, ShiftJis = 1, Utf8 = 2, EucJp = 3 };

enum class HeaderReadMode : std::int32_t { PerSourceFile = 0, ReadOnce = 1, NoRead = 2 };

// A row of the extension table: the extension and the code of its row in
// the language table (0 C, 1 C++, 2 Java, 3 VB, 4 Delphi).
struct ExtensionLanguage {
  std::string extension;  // without the dot, compared without regard to case
  std::int32_t language = 0;
};

// Flags hold 0 (off) or 1 (on), as they are stored.
struct Options {
  std::int32_t pc98Lines = 0;
  std::int32_t hideRepeatedSubtrees = 0;
  std::int32_t noFunctionSort = 0;
  std::int32_t showDuplicateChildren = 0;
  std::int32_t macrosAreNotFunctions = 0;
  std::int32_t separateStepCounts = 0;
  std::int32_t tagJumpTree = 0;
  OutputFormat outputFormat = OutputFormat::Text;
  std::int32_t outputMemberVariables = 0;
  std::int32_t excelAvailable = 0;
  std::int32_t excelVersion = 0;
  std::int32_t classList = 0;
  std::int32_t reservedWordDump = 0;
  std::int32_t globalVariableList = 0;
  std::int32_t variableDetails = 0;
  std::int32_t typeList = 0;
  std::int32_t defineList = 0;
  std::int32_t namespaceList = 0;
  std::int32_t functionList = 0;
  std::int32_t functionDetails = 0;
  std::int32_t lineDistribution = 0;
  std::int32_t distributionStep = 10;
  std::int32_t outputFolderExists = 0;
  std::string outputFolder;  // always ends with a path separator
  std::int32_t fastSpeed = 1;
  std::int32_t showElapsedTime = 0;
  std::int32_t hideToolbar = 0;
  HeaderReadMode headerReadMode = HeaderReadMode::PerSourceFile;
  // In that mode, a header read again as it read before is played back
  // (no INI key: the tests turn it off to compare).
  bool replayHeaders = true;
  std::int32_t callGraphDot = 0;  // the call graph for Graphviz beside the call tree
  OutputEncoding outputEncoding = OutputEncoding::ShiftJis;
  std::int32_t utf8CrLf = 0;  // CR LF line ends in UTF-8 output
  SourceEncoding sourceEncoding = SourceEncoding::Detect;
  std::vector<std::string> includeDirectories;  // each ends with a separator
  std::vector<ExtensionLanguage> extensionLanguages;
};

// INI sections and the one key that the speed menu writes on its own.
extern const char kSectionDirectories[];
extern const char kSectionTextOutput[];
extern const char kSectionFileOutput[];
extern const char kSectionOther[];
extern const char kKeyFastSpeed[];
extern const char kKeyTreeWidth[];  // the window's, in "その他設定"
extern const char kDefaultExtensionList[];

// What the report writers are told: the chosen format and the line style.
ReportStyle reportStyle(const Options& options);

// Whether this program writes the "xls" format: through the spreadsheet
// program where the options found it, else with the workbook library where
// the build has it.
bool workbookOffered(const Options& options);

// The program's one live record.
Options& liveOptions();

// Program folder (ends with a separator, or empty) and "Mizenta.ini" in it.
void setProgramFolder(const std::string& folder);
const std::string& programFolder();
std::string iniPath();

// Reads "Mizenta.ini" once into the live record. A file that is missing,
// or that cannot serve (a folder, unreadable, no text …), gives the
// defaults; iniFileProblem() then tells why (kMissing, or the problem)
// until saveOptions() puts the user's settings in force.
void loadOptions();
platform::FileProblem iniFileProblem();
// What the INI file read held that the program does not know, one entry
// each in the order of the file: "[section]" for an unknown section,
// "[section] key" for an unknown key of a known section.
const std::vector<std::string>& iniUnknownEntries();
// The output folder that the settings name (the INI file's, or the one
// set for this run) when it does not exist now, else empty: the run then
// takes the fallback folder, and the user is told.
std::string missingOutputFolder();
// An INI file with every key at its default and a comment line each
// (Shift-JIS, CR LF); read back, it gives the defaults.
std::string defaultIniText();
void saveOptions(const Options& edited);
void writeFlag(const char* section, const char* key, std::int32_t flag);

void setOutputFolder(Options& options, const std::string& text);
int addIncludeDirectory(Options& options, const std::string& text);
bool folderExists(const std::string& text);
void checkOutputFolder();

// The spellings of the INI values and switches: "txt" "html" "csv" "xls"
// "json"; "sjis" "utf-8"; "auto" "sjis" "utf-8" "euc-jp". Unknown text
// gives false and leaves `out` alone.
bool outputFormatFromText(const std::string& text, OutputFormat& out);
bool outputEncodingFromText(const std::string& text, OutputEncoding& out);
bool sourceEncodingFromText(const std::string& text, SourceEncoding& out);
const char* outputEncodingText(OutputEncoding encoding);
const char* sourceEncodingText(SourceEncoding encoding);

// "c:0,cpp:1" <-> the extension table.
std::vector<ExtensionLanguage> parseExtensionList(const std::string& text);
std::string formatExtensionList(const std::vector<ExtensionLanguage>& list);

// The language code of a file name's extension (text after its last '.'),
// or -1 when the extension is not in the table.
int languageOfFileName(const Options& options, const std::string& fileName);
