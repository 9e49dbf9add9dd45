// Parser tests: small sources in memory read by the real source reader and
// C-family parser into fresh run tables, as a run reads them (headers
// followed through #include, read once per run). Helpers dump the
// resulting tables compactly, and every analyse() checks the invariants of
// the function table.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "context/file_name_pool.h"
#include "context/include_registry.h"
#include "context/options.h"
#include "driver/settings_data.h"
#include "context/source_context.h"
#include "context/text_util.h"
#include "tables/type_table.h"
#include "tables/variable_table.h"
#include "report/error_log.h"
#include "scan/define_table.h"
#include "scan/lexical_rules.h"
#include "scan/reserved_word_table.h"
#include "scan/source_reader.h"
#include "tables/class_table.h"
#include "tables/function_table.h"
#include "tests/support/analysis_test.h"

using SourceFiles = std::vector<std::pair<std::string, std::string>>;

class CParserTest : public AnalysisTest {
 protected:
  static inline const std::string kFolder = "/src/";

  void SetUp() override { options().headerReadMode = HeaderReadMode::ReadOnce; }

  // A macro entered in the #define table before the sources are read, as
  // the directive lines of an earlier file would leave it: parameter tokens
  // ("(" first, empty for an object-like macro) and body tokens.
  void predefine(const std::string& name, std::vector<std::string> params,
                 std::vector<std::string> body) {
    macros_.push_back({name, std::move(params), std::move(body)});
  }

  // Reads the files in order (the first ones are the main files unless
  // `mainFiles` says how many); later entries may be headers that the
  // main files include. Each analyse() starts a new run. Returns
  // dumpFunctions().
  std::string analyse(const SourceFiles& sources, size_t mainFiles = 0) {
    renewRun();
    run().setHeaderMode(HeaderReadMode::ReadOnce);
    useBuiltInSettings();
    enterMacros();
    lineCounts_.clear();
    for (const auto& [name, text] : sources) {
      file(kFolder + name, text);
      fileNames().add(name);
      lineCounts_[name] = countLines(text);
    }
    if (mainFiles == 0) mainFiles = sources.size();
    for (size_t i = 0; i < mainFiles; ++i) readMain(kFolder + sources[i].first);
    EXPECT_EQ(invariantProblems(), "");
    return dumpFunctions();
  }

  // One line per function record in key order:
  //   "type name(arguments) file:line #steps [flags] > callee …"
  // keys cut at '@'; flags: B body analysed, C call site only, F function
  // pointer, K known, R recursive.
  std::string dumpFunctions() {
    const FunctionTable& f = functions();
    std::string out;
    for (int n : f.sortedIndex()) {
      const FunctionRecord& r = f.record(n);
      if (!f.returnTypeOf(r).empty()) out += std::string(f.returnTypeOf(r)) + " ";
      out += cut(r.key) + "(" + std::string(f.argumentsOf(r)) + ")";
      if (r.fileNo) out += " " + fileNames().name(r.fileNo) + ":" + std::to_string(r.line);
      if (r.steps) out += " #" + std::to_string(r.steps);
      out += " [" + flagLetters(r.flags) + "]";
      if (!r.callees.empty()) {
        out += " >";
        for (int c : r.callees) out += " " + cut(f.record(c).key);
      }
      out += "\n";
    }
    return out;
  }

  // Only the known functions (defined or declared in the sources).
  std::string knownFunctions() {
    std::istringstream in(dumpFunctions());
    std::string line, out;
    while (std::getline(in, line)) {
      size_t open = line.find(" [");
      size_t close = line.find(']', open);
      if (line.substr(open, close - open).find('K') != std::string::npos) out += line + "\n";
    }
    return out;
  }

  // The callees of one function, blank-separated ("" when it has none); a
  // name without "@" also finds the first "name@file" (main, statics).
  std::string calleesOf(const std::string& key) {
    const FunctionTable& f = functions();
    int n = f.recordOf(key);
    for (int i = 0; n < 0 && i < f.recordCount(); ++i)
      if (cut(f.record(i).key) == key) n = i;
    if (n < 0) return "<none>";
    std::string out;
    for (int c : f.record(n).callees) out += (out.empty() ? "" : " ") + cut(f.record(c).key);
    return out;
  }

  // Each link in both lists; each line number inside its file.
  std::string invariantProblems() {
    const FunctionTable& f = functions();
    std::string problems = f.checkLinks();
    for (int n = 0; n < f.recordCount(); ++n) {
      const FunctionRecord& r = f.record(n);
      if (!r.fileNo) continue;
      auto it = lineCounts_.find(fileNames().name(r.fileNo));
      int lines = it == lineCounts_.end() ? 0 : it->second;
      if (r.line < 1 || r.line > lines)
        problems += r.key + " line " + std::to_string(r.line) + " outside its file\n";
    }
    return problems;
  }

 private:
  static std::string cut(const std::string& key) { return key.substr(0, key.find('@')); }
  static int countLines(const std::string& text) {
    int lines = 1;
    for (char c : text) lines += c == '\n';
    return lines;
  }
  static std::string flagLetters(std::uint32_t flags) {
    std::string s;
    if (flags & FunctionFlag::kBodyAnalysed) s += 'B';
    if (flags & FunctionFlag::kCallSiteOnly) s += 'C';
    if (flags & FunctionFlag::kFunctionPointer) s += 'F';
    if (flags & FunctionFlag::kKnown) s += 'K';
    if (flags & FunctionFlag::kRecursive) s += 'R';
    return s;
  }

  struct Macro {
    std::string name;
    std::vector<std::string> params;
    std::vector<std::string> body;
  };
  void enterMacros() {
    DefineTable& table = defines();
    for (const Macro& m : macros_) {
      if (!table.beginDefine(m.name)) continue;
      for (const std::string& t : m.params) table.defineParamToken(t);
      for (const std::string& t : m.body) table.defineBodyToken(t);
      table.defineBodyToken("\n");
    }
  }

  std::map<std::string, int> lineCounts_;
  std::vector<Macro> macros_;
};
