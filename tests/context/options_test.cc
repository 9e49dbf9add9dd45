#include "context/options.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/text_encoding.h"
#include "tests/support/test_files.h"

namespace {

// Loads options from an INI text placed in a temporary program folder (the
// literals here are already Shift-JIS bytes).
class OptionsTest : public testing::Test {
 protected:
  void SetUp() override { setProgramFolder(dir_.path() + "/"); }

  const Options& load(const std::string& ini) {
    writeFileBytes(dir_.file("Mizenta.ini"), withCrLf(ini));
    loadOptions();
    return liveOptions();
  }
  std::string folder(const std::string& name) {
    std::filesystem::create_directories(dir_.file(name));
    return dir_.file(name);
  }

  TempDir dir_;
};

TEST_F(OptionsTest, MissingFileGivesTheDefaults) {
  loadOptions();
  const Options& o = liveOptions();
  EXPECT_EQ(o.fastSpeed, 1);
  EXPECT_EQ(o.distributionStep, 10);
  EXPECT_EQ(o.outputFormat, OutputFormat::Text);
  EXPECT_EQ(o.headerReadMode, HeaderReadMode::PerSourceFile);
  EXPECT_EQ(o.pc98Lines + o.functionList + o.showElapsedTime + o.hideToolbar, 0);
  EXPECT_EQ(o.outputFolder, dir_.path() + "/");
  EXPECT_EQ(o.outputFolderExists, 0);
  EXPECT_TRUE(o.includeDirectories.empty());
  EXPECT_EQ(formatExtensionList(o.extensionLanguages), kDefaultExtensionList);
}

// Every field that the INI file sets, in one line.
std::string settingsOf(const Options& o) {
  std::string out;
  for (std::int32_t v : {o.pc98Lines,
                         o.hideRepeatedSubtrees,
                         o.noFunctionSort,
                         o.showDuplicateChildren,
                         o.macrosAreNotFunctions,
                         o.separateStepCounts,
                         o.tagJumpTree,
                         o.outputMemberVariables,
                         o.classList,
                         o.reservedWordDump,
                         o.globalVariableList,
                         o.variableDetails,
                         o.typeList,
                         o.defineList,
                         o.namespaceList,
                         o.functionList,
                         o.functionDetails,
                         o.lineDistribution,
                         o.distributionStep,
                         o.outputFolderExists,
                         o.fastSpeed,
                         o.showElapsedTime,
                         o.hideToolbar,
                         o.callGraphDot,
                         o.utf8CrLf,
                         static_cast<std::int32_t>(o.outputFormat),
                         static_cast<std::int32_t>(o.headerReadMode),
                         static_cast<std::int32_t>(o.outputEncoding),
                         static_cast<std::int32_t>(o.sourceEncoding)})
    out += std::to_string(v) + ",";
  out += o.outputFolder + "," + std::to_string(o.includeDirectories.size()) + "," +
         formatExtensionList(o.extensionLanguages);
  return out;
}

// The template, as written in Shift-JIS, in UTF-8 and in UTF-8 with its
// byte-order mark, reads back as the defaults of a missing file, with no
// key unknown.
TEST_F(OptionsTest, TheTemplateReadsBackAsTheDefaults) {
  loadOptions();
  const std::string defaults = settingsOf(liveOptions());
  const std::string sjis = defaultIniText();
  std::string utf8;
  for (char c : platform::cp932ToUtf8(sjis))
    if (c != '\r') utf8 += c;
  for (const std::string& bytes : {sjis, utf8, "\xEF\xBB\xBF" + utf8}) {
    writeFileBytes(dir_.file("Mizenta.ini"), bytes);
    loadOptions();
    EXPECT_EQ(settingsOf(liveOptions()), defaults);
    EXPECT_EQ(iniFileProblem(), platform::FileProblem::kNone);
    EXPECT_TRUE(iniUnknownEntries().empty());
  }
  // Each key has its comment line above it.
  EXPECT_NE(sjis.find("\r\n; 関数一覧を書く\r\n関数一覧の表示=OFF\r\n"), std::string::npos);
  EXPECT_NE(sjis.find("\r\n[その他設定]\r\n"), std::string::npos);
}

// A key in UTF-8 counts as the same key in Shift-JIS.
TEST_F(OptionsTest, AUtf8FileIsReadAsItsShiftJisText) {
  writeFileBytes(dir_.file("Mizenta.ini"),
                 platform::cp932ToUtf8("[ﾌｧｲﾙ出力設定]\n関数一覧の表示=ON\nﾌｧｲﾙ出力形式=csv\n"));
  loadOptions();
  EXPECT_EQ(liveOptions().functionList, 1);
  EXPECT_EQ(liveOptions().outputFormat, OutputFormat::Csv);
}

// Sections and keys the program does not know are named, in the order of
// the file; include folders are known by any number.
TEST_F(OptionsTest, UnknownSectionsAndKeysAreNamed) {
  load(
      "[ﾌｧｲﾙ出力設定]\n関数一覧表示=ON\n関数一覧の表示=ON\n標準ｲﾝｸﾙｰﾄﾞ3=x\n"
      "[ﾃﾞｨﾚｸﾄﾘ設定]\n標準ｲﾝｸﾙｰﾄﾞ12=\n標準ｲﾝｸﾙｰﾄﾞX=\n"
      "[Extra]\nk=v\n[その他設定]\nﾂﾘｰ表示幅=300\nutf-8の改行をcrlf=ON\n; 注釈=x\n");
  EXPECT_EQ(iniUnknownEntries(),
            (std::vector<std::string>{"[ﾌｧｲﾙ出力設定] 関数一覧表示", "[ﾌｧｲﾙ出力設定] 標準ｲﾝｸﾙｰﾄﾞ3",
                                      "[ﾃﾞｨﾚｸﾄﾘ設定] 標準ｲﾝｸﾙｰﾄﾞX", "[Extra]"}));
  EXPECT_EQ(liveOptions().utf8CrLf, 1);  // keys match without regard to ASCII case
}

// An output folder that the file names and that is not there is told
// until the settings name one that is.
TEST_F(OptionsTest, AMissingOutputFolderIsTold) {
  load("[ﾃﾞｨﾚｸﾄﾘ設定]\n出力先ﾌｫﾙﾀﾞ=" + dir_.path() + "/gone\n");
  EXPECT_EQ(missingOutputFolder(), dir_.path() + "/gone");
  setOutputFolder(liveOptions(), folder("there"));
  EXPECT_EQ(missingOutputFolder(), "");
  std::filesystem::remove(dir_.file("there"));
  EXPECT_EQ(missingOutputFolder(), dir_.file("there/"));
  load("[ﾃﾞｨﾚｸﾄﾘ設定]\n出力先ﾌｫﾙﾀﾞ=\n");
  EXPECT_EQ(missingOutputFolder(), "");
}

TEST_F(OptionsTest, FlagsAreOnOnlyForExactlyON) {
  const Options& o = load(
      "[ﾃｷｽﾄ出力設定]\nPC-98x1=ON\n関数ｿｰﾄしない=on\n既述関数非表示=On\nﾂﾘｰ出力をﾀｸﾞ形式= ON \n"
      "[ﾌｧｲﾙ出力設定]\n関数一覧の表示=ON\n型情報の表示=YES\n"
      "[その他設定]\n処理ｽﾋﾟｰﾄﾞ=on\n処理時間表示=ON\n");
  EXPECT_EQ(o.pc98Lines, 1);
  EXPECT_EQ(o.noFunctionSort, 0);
  EXPECT_EQ(o.hideRepeatedSubtrees, 0);
  EXPECT_EQ(o.tagJumpTree, 1);  // blanks around the value are not part of it
  EXPECT_EQ(o.functionList, 1);
  EXPECT_EQ(o.typeList, 0);
  EXPECT_EQ(o.fastSpeed, 0);  // "on" in lower case is not "ON": slow
  EXPECT_EQ(o.showElapsedTime, 1);
}

TEST_F(OptionsTest, FormatsAndHeaderModes) {
  struct Case {
    const char* format;
    OutputFormat expected;
  } formats[] = {{"HTML", OutputFormat::Html},
                 {"csv", OutputFormat::Csv},
                 {"Xls", OutputFormat::Excel},
                 {"xlsx", OutputFormat::Text},
                 {"txt", OutputFormat::Text}};
  for (const Case& c : formats)
    EXPECT_EQ(load(std::string("[ﾌｧｲﾙ出力設定]\nﾌｧｲﾙ出力形式=") + c.format + "\n").outputFormat,
              c.expected)
        << c.format;
  EXPECT_EQ(load("[その他設定]\nﾍｯﾀﾞｰﾌｧｲﾙ読取設定=読取禁止\n").headerReadMode,
            HeaderReadMode::NoRead);
  EXPECT_EQ(load("[その他設定]\nﾍｯﾀﾞｰﾌｧｲﾙ読取設定=一回読み込み\n").headerReadMode,
            HeaderReadMode::ReadOnce);
  EXPECT_EQ(load("[その他設定]\nﾍｯﾀﾞｰﾌｧｲﾙ読取設定=何か\n").headerReadMode,
            HeaderReadMode::PerSourceFile);
  EXPECT_EQ(load("[ﾌｧｲﾙ出力設定]\n行数分布の行数=25\n").distributionStep, 25);
  EXPECT_EQ(load("[ﾌｧｲﾙ出力設定]\n行数分布の行数=abc\n").distributionStep, 0);
}

TEST(ExtensionList, ParsesItemsAsStored) {
  struct Case {
    const char* text;
    const char* expected;  // written back; "" for an empty list
  } cases[] = {
      {"c:0,,h", "c:0"},               // empty item skipped, final "h" without ':' dropped
      {"h,c:0", "h:0,c:0"},            // an item before a comma without ':' is language 0
      {"cpp:1,cpp:2", "cpp:1,cpp:2"},  // duplicates stay
      {"", ""},
      {",,,", ""},
      {"pas:4", "pas:4"},
      {"x:abc,", "x:0"},
  };
  for (const Case& c : cases) {
    std::vector<ExtensionLanguage> list = parseExtensionList(c.text);
    std::string written;
    for (const ExtensionLanguage& e : list)
      written += (written.empty() ? "" : ",") + e.extension + ":" + std::to_string(e.language);
    EXPECT_EQ(written, c.expected) << c.text;
  }
  EXPECT_EQ(formatExtensionList({}), kDefaultExtensionList);
}

TEST_F(OptionsTest, IncludeFoldersStopAtTheFirstMissingKey) {
  std::string a = folder("inc_a"), b = folder("inc_b");
  const Options& o =
      load("[ﾃﾞｨﾚｸﾄﾘ設定]\n標準ｲﾝｸﾙｰﾄﾞ設定数=3\n標準ｲﾝｸﾙｰﾄﾞ0=" + a + "\n標準ｲﾝｸﾙｰﾄﾞ2=" + b + "\n");
  ASSERT_EQ(o.includeDirectories.size(), 1u);
  EXPECT_EQ(o.includeDirectories[0], a + "/");
}

TEST_F(OptionsTest, IncludeFoldersRefuseMissingAndCaseDuplicates) {
  std::string a = folder("Inc");
  Options o;
  EXPECT_EQ(addIncludeDirectory(o, a), 1);
  EXPECT_EQ(addIncludeDirectory(o, dir_.path() + "/INC/"), 0);  // same folder, other case
  EXPECT_EQ(addIncludeDirectory(o, dir_.path() + "/nothere"), 0);
  ASSERT_EQ(o.includeDirectories.size(), 1u);
  EXPECT_EQ(o.includeDirectories[0], a + "/");
}

// Loading takes folders as addIncludeDirectory() does one by one: a
// repeat in other letters and a missing folder are left out, the order
// kept.
TEST_F(OptionsTest, LoadedIncludeFoldersRefuseMissingAndCaseDuplicates) {
  std::string a = folder("Inc"), b = folder("b");
  const Options& o =
      load("[ﾃﾞｨﾚｸﾄﾘ設定]\n標準ｲﾝｸﾙｰﾄﾞ設定数=5\n標準ｲﾝｸﾙｰﾄﾞ0=" + b + "\n標準ｲﾝｸﾙｰﾄﾞ1=" + a +
           "\n標準ｲﾝｸﾙｰﾄﾞ2=" + dir_.path() + "/nothere\n標準ｲﾝｸﾙｰﾄﾞ3=" + dir_.path() +
           "/INC/\n標準ｲﾝｸﾙｰﾄﾞ4=" + b + "/\n");
  EXPECT_EQ(o.includeDirectories, (std::vector<std::string>{b + "/", a + "/"}));
}

// A file that cannot serve as the INI file gives the defaults, and tells
// why; a missing one is no problem.
TEST_F(OptionsTest, IniFileThatCannotServe) {
  loadOptions();
  EXPECT_EQ(iniFileProblem(), platform::FileProblem::kMissing);
  const char kNoText[] = "[ﾌｧｲﾙ出力設定]\nﾌｧｲﾙ出力形式=csv\n\0";  // a NUL byte
  const Options& o = load(std::string(kNoText, sizeof kNoText));
  EXPECT_EQ(iniFileProblem(), platform::FileProblem::kNotText);
  EXPECT_EQ(o.outputFormat, OutputFormat::Text);
  std::filesystem::remove(dir_.file("Mizenta.ini"));
  folder("Mizenta.ini");
  loadOptions();
  EXPECT_EQ(iniFileProblem(), platform::FileProblem::kFolder);
}

TEST_F(OptionsTest, OutputFolderFallsBackToTheProgramFolder) {
  std::string out = folder("out");
  const Options& o = load("[ﾃﾞｨﾚｸﾄﾘ設定]\n出力先ﾌｫﾙﾀﾞ=" + out + "\n");
  EXPECT_EQ(o.outputFolder, out + "/");
  EXPECT_EQ(o.outputFolderExists, 1);
  const Options& missing = load("[ﾃﾞｨﾚｸﾄﾘ設定]\n出力先ﾌｫﾙﾀﾞ=" + dir_.path() + "/gone\n");
  EXPECT_EQ(missing.outputFolder, dir_.path() + "/");
  EXPECT_EQ(missing.outputFolderExists, 0);
  // The folder vanishing between load and run: the run falls back too.
  liveOptions().outputFolder = dir_.path() + "/gone/";
  checkOutputFolder();
  EXPECT_EQ(liveOptions().outputFolder, dir_.path() + "/");
}

TEST_F(OptionsTest, FolderExistsRules) {
  EXPECT_TRUE(folderExists(dir_.path()));
  EXPECT_TRUE(folderExists(dir_.path() + "/"));
  EXPECT_TRUE(folderExists("c:"));  // a bare drive
  EXPECT_TRUE(folderExists("c:\\"));
  EXPECT_FALSE(folderExists(""));
  EXPECT_FALSE(folderExists(dir_.path() + "/" + std::string(300, 'x')));
}

TEST_F(OptionsTest, GarbageAndHugeValuesLoadDefaults) {
  std::string garbage = "[ﾌｧｲﾙ出力設定]\r\nﾌｧｲﾙ出力形式=" + std::string(10000, 'h') + "\r\n";
  for (int i = 0; i < 4000; ++i) garbage += static_cast<char>((i * 131) & 0xFF);
  writeFileBytes(dir_.file("Mizenta.ini"), garbage);
  loadOptions();
  EXPECT_EQ(liveOptions().outputFormat, OutputFormat::Text);
  EXPECT_EQ(liveOptions().fastSpeed, 1);
  EXPECT_EQ(liveOptions().distributionStep, 10);
}

TEST_F(OptionsTest, SaveThenLoadKeepsEveryField) {
  Options edited;
  edited.pc98Lines = edited.tagJumpTree = edited.outputMemberVariables = 1;
  edited.classList = edited.namespaceList = edited.lineDistribution = 1;
  edited.distributionStep = 7;
  edited.outputFormat = OutputFormat::Csv;
  edited.showElapsedTime = edited.hideToolbar = 1;
  edited.headerReadMode = HeaderReadMode::ReadOnce;
  edited.outputFolder = folder("out") + "/";
  edited.outputFolderExists = 1;
  edited.includeDirectories = {folder("i1") + "/", folder("i2") + "/"};
  edited.extensionLanguages = parseExtensionList("c:0,h:0,pas:4");
  saveOptions(edited);
  loadOptions();
  const Options& o = liveOptions();
  EXPECT_EQ(o.pc98Lines + o.tagJumpTree + o.outputMemberVariables, 3);
  EXPECT_EQ(o.classList + o.namespaceList + o.lineDistribution, 3);
  EXPECT_EQ(o.functionList + o.noFunctionSort, 0);
  EXPECT_EQ(o.distributionStep, 7);
  EXPECT_EQ(o.outputFormat, OutputFormat::Csv);
  EXPECT_EQ(o.showElapsedTime + o.hideToolbar, 2);
  EXPECT_EQ(o.headerReadMode, HeaderReadMode::ReadOnce);
  EXPECT_EQ(o.outputFolder, edited.outputFolder);
  EXPECT_EQ(o.includeDirectories, edited.includeDirectories);
  EXPECT_EQ(formatExtensionList(o.extensionLanguages), "c:0,h:0,pas:4");
  // The speed key is written only by the speed menu: still the default.
  std::string ini = readFileBytes(dir_.file("Mizenta.ini"));
  EXPECT_EQ(ini.find("処理ｽﾋﾟｰﾄﾞ"), std::string::npos);
  writeFlag(kSectionOther, kKeyFastSpeed, 0);
  loadOptions();
  EXPECT_EQ(liveOptions().fastSpeed, 0);
}

// An edited record without an output folder of its own holds the program
// folder in its place: saved, the INI file still names none.
TEST_F(OptionsTest, SaveWithoutAnOutputFolderNamesNone) {
  Options edited;
  setOutputFolder(edited, "");
  ASSERT_FALSE(edited.outputFolder.empty());
  saveOptions(edited);
  std::string ini = readFileBytes(dir_.file("Mizenta.ini"));
  EXPECT_NE(ini.find("出力先ﾌｫﾙﾀﾞ=\r\n"), std::string::npos);
  loadOptions();
  EXPECT_EQ(liveOptions().outputFolderExists, 0);
}

}  // namespace
