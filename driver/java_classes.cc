// The declarations pass of a Java run: every file is read once for its
// classes, bases and methods before the analysis, and they are entered in
// the class table (and as types) when the first file's tables are ready.
#include <ostream>
#include <set>
#include <streambuf>

#include "context/language_mode.h"
#include "context/source_context.h"
#include "context/source_file_list.h"
#include "driver/analysis_run.h"
#include "parsers/java_declarations.h"
#include "parsers/languages.h"
#include "report/error_log.h"
#include "scan/read_loop.h"
#include "scan/source_reader.h"
#include "tables/call_resolution.h"
#include "tables/decl_info.h"

namespace {

// Whatever the pass would say about a file is said by the analysis itself.
class NullBuffer final : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

// Whether `target` is `from` or one of its bases, however far up.
bool reachesThroughBases(const ClassTable& classes, const std::string& from,
                         const std::string& target, std::set<std::string>& seen) {
  if (from == target) return true;
  if (!seen.insert(from).second) return false;
  for (int i = 0, n = classes.baseCount(from); i < n; ++i)
    if (reachesThroughBases(classes, classes.baseName(from, i), target, seen)) return true;
  return false;
}

}  // namespace

// False when a stop request ended the pass.
bool AnalysisRun::collectJavaDeclarations(const SourceFileList& list,
                                          const std::vector<int>& order) {
  javaDeclarations_ = std::make_unique<JavaDeclarations>();
  NullBuffer nothing;
  std::ostream muted(&nothing);
  holdErrorLog(&muted);
  ReadSettings settings;
  settings.blockBytes = blockBytes_;
  settings.stop = stop_;
  settings.encoding = options_.sourceEncoding;  // named in the log when read for the analysis
  const Language& java = languageOf(SourceLanguage::kJava);
  bool finished = true;
  for (int index : order) {
    const SourceFileEntry& entry = list.entries()[index];
    std::string path = entry.directory + entry.name;
    std::unique_ptr<platform::ByteSource> source = files_.open(path);
    if (!source) continue;
    SourceReader reader(scan_, SourceReader::Kind::Include);
    reader.setFile(path, java);
    reader.replaceParser(makeJavaDeclarationParser(parsers_, *javaDeclarations_, context_.item(0)));
    finished = readSource(reader, *source, settings) == ReadResult::kEndOfFile;
    context_.pop();
    if (!finished) break;
  }
  defines_.clear();
  holdErrorLog(nullptr);
  return finished;
}

// Each class under the file that declares it, then the bases and methods,
// which need the classes. A class the table knew before the pass (a
// settings class) is left as it is. Classes are known by their simple
// name, so two classes of one name (a nested Token.Tag and a top-level Tag)
// are one entry with the bases and methods of both: a call on either finds
// its method.
void AnalysisRun::declareJavaClasses() {
  if (!javaDeclarations_) return;
  std::unique_ptr<JavaDeclarations> found = std::move(javaDeclarations_);
  const std::int32_t mask = context_.languageMask();
  context_.setLanguageMask(kModeJava);
  std::vector<bool> fresh(found->classes.size(), false);
  std::set<std::string> registered;
  for (size_t i = 0; i < found->classes.size(); ++i) {
    const JavaDeclarations::Class& c = found->classes[i];
    if (registered.count(c.name)) {
      fresh[i] = true;
      continue;
    }
    if (classes_.exists(c.name)) continue;
    context_.push(c.file);
    classes_.registerClass(c.name, 0, ClassTable::kClass);
    context_.pop();
    registered.insert(c.name);
    fresh[i] = true;
  }
  for (size_t i = 0; i < found->classes.size(); ++i) {
    if (!fresh[i]) continue;
    const JavaDeclarations::Class& c = found->classes[i];
    // Two classes of one name may name each other's relatives as bases
    // (a nested X extends Y, and another package's Y extends X): a base
    // that would lead back to the class is left out, so no base chain is
    // a loop.
    for (const std::string& base : c.bases) {
      std::set<std::string> seen;
      if (!reachesThroughBases(classes_, base, c.name, seen)) classes_.addBase(c.name, base);
    }
    DeclInfo method;
    method.className = c.name;
    for (const std::string& name : c.methods) {
      method.name = name;
      classes_.addMethod(method);
    }
    for (const JavaDeclarations::Class::Field& field : c.fields)
      classes_.addMember(c.name, field.type, field.name, 0, 0);
    for (const JavaDeclarations::Class::Field& result : c.results)
      calls_.addResultType(c.name, result.name, result.type);
  }
  classes_.forgetUses();
  context_.setLanguageMask(mask);
}
