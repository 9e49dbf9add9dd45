// The real program on damaged copies of every golden input (and of the fuzz
// seed sources): each copy cut short at one of many points, or with a few
// bytes changed at places drawn from a fixed seed. The copies of one family
// (C, C++ and Java; VB and Delphi) go to the program in a few runs of many
// files each, once with every report and the text format and once with HTML
// and headers read once. The program must end normally: exit status 0 and
// no sanitizer report, whatever it makes of the text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

constexpr int kCuts = 20;   // variants 0..19 cut the files short
constexpr int kFlips = 20;  // variants 20..39 change bytes
constexpr int kVariants = kCuts + kFlips;
// Bytes of paths per run: the command line of one run stays far below the
// system's limit on one argument string (128 KB), however long the
// temporary folder's name is.
constexpr size_t kBatchBytes = 32 * 1024;

struct SourceFile {
  std::string relative;  // "case/dir/name"
  std::string bytes;     // as the program reads them (Shift-JIS)
};

bool isCFamily(const std::string& ext) { return ext == ".c" || ext == ".cpp" || ext == ".java"; }
bool isVbOrDelphi(const std::string& ext) {
  return ext == ".bas" || ext == ".frm" || ext == ".vb" || ext == ".pas";
}

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// Every file below `root`/<case>/<sub>, named "<case>/<path>"; golden text
// is UTF-8 in the tree and Shift-JIS on disk, a ".raw" file is taken as is.
void collect(const fs::path& root, const std::string& sub, std::vector<SourceFile>& out) {
  std::vector<fs::path> paths;
  for (const auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file()) paths.push_back(e.path());
  std::sort(paths.begin(), paths.end());
  for (const fs::path& p : paths) {
    std::string rel = fs::relative(p, root).generic_string();
    if (!sub.empty()) {
      std::string marker = "/" + sub + "/";
      size_t at = rel.find(marker);
      if (at == std::string::npos || rel.find('/') != at) continue;
      rel = rel.substr(0, at) + rel.substr(at + marker.size() - 1);
    }
    std::string bytes = readFileBytes(p.string());
    if (rel.size() > 4 && rel.substr(rel.size() - 4) == ".raw")
      rel.resize(rel.size() - 4);
    else
      bytes = toCp932(bytes);
    out.push_back({rel, bytes});
  }
}

// Variant v of a file. The seed mixes the variant and the file's name, so
// headers and main files of one copy are damaged at different places.
std::string damaged(const std::string& bytes, const std::string& name, int v) {
  if (bytes.empty()) return bytes;
  if (v < kCuts) {
    // Cuts at the very start, then spread over the whole file.
    size_t at = v < 4 ? static_cast<size_t>(v + 1) : bytes.size() * (v - 3) / (kCuts - 3);
    return bytes.substr(0, std::min(at, bytes.size() - 1));
  }
  std::uint32_t seed = 0x9e3779b9u * static_cast<std::uint32_t>(v + 1);
  for (unsigned char c : name) seed = seed * 31 + c;
  std::mt19937 random(seed);
  std::string out = bytes;
  int changes = 1 + (v - kCuts) % 6;
  // Bytes that open or close constructs, and Shift-JIS lead bytes.
  static const char kBytes[] = "\"'/*{}()#\\\n\r\x1a\x81\x82\x83\x88\x9f\xe0\xfc\x00";
  for (int k = 0; k < changes; ++k) {
    size_t at = random() % out.size();
    std::uint32_t r = random();
    if (r % 3 == 0)
      out[at] = kBytes[(r / 3) % (sizeof kBytes - 1)];
    else if (r % 3 == 1)
      out[at] = static_cast<char>(out[at] ^ (1u << ((r / 3) % 8)));
    else
      out.erase(at, 1 + (r / 3) % 8);
    if (out.empty()) out = "x";
  }
  return out;
}

// Text flags and file flags: every report the program knows.
std::string iniText(bool html) {
  std::string text = "[ﾌｧｲﾙ出力設定]\r\n";
  for (const char* key : {"使用ｸﾗｽ確認", "#define文確認", "予約語表示", "ｸﾞﾛｰﾊﾞﾙ変数一覧",
                          "変数詳細情報の表示", "型情報の表示", "関数一覧の表示",
                          "関数詳細情報の表示", "名前空間一覧の表示", "関数の行数分布を出力"})
    text += std::string(key) + "=ON\r\n";
  text += std::string("ﾌｧｲﾙ出力形式=") + (html ? "html" : "txt") + "\r\n";
  text += "[ﾃｷｽﾄ出力設定]\r\n";
  if (html)
    text += "ﾂﾘｰ出力をﾀｸﾞ形式=ON\r\nｽﾃｯﾌﾟ数の表示を個別=ON\r\nPC-98x1=ON\r\n";
  else
    text += "重複した子関数を全て表示=ON\r\nメンバ変数を出力=ON\r\n";
  text += "[その他設定]\r\n";
  text += std::string("ﾍｯﾀﾞｰﾌｧｲﾙ読取設定=") + (html ? "一回読み込み" : "通常") + "\r\n";
  return text;
}

// Main files named in the run's log: "name を処理中" lines without the
// indent of a header.
size_t filesRead(const std::string& log) {
  const std::string reading = "を処理中";
  size_t count = 0, start = 0;
  while (start < log.size()) {
    size_t end = log.find('\n', start);
    if (end == std::string::npos) end = log.size();
    std::string line = log.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] != ' ' && line.size() > reading.size() &&
        line.compare(line.size() - reading.size(), reading.size(), reading) == 0)
      ++count;
    start = end + 1;
  }
  return count;
}

// `paths` cut into runs of at most kBatchBytes (and at least one path).
std::vector<std::vector<std::string>> batches(const std::vector<std::string>& paths) {
  std::vector<std::vector<std::string>> out;
  size_t bytes = kBatchBytes;
  for (const std::string& p : paths) {
    if (bytes + p.size() + 3 > kBatchBytes) {
      out.emplace_back();
      bytes = 0;
    }
    out.back().push_back(p);
    bytes += p.size() + 3;  // quotes and a blank
  }
  return out;
}

TEST(Chop, DamagedInputsEndNormally) {
  std::vector<SourceFile> files;
  collect(fs::path(MZ_SOURCE_DIR) / "tests" / "golden", "input", files);
  size_t golden = files.size();
  std::vector<SourceFile> extra;
  collect(fs::path(MZ_SOURCE_DIR) / "tests" / "fuzz" / "seed_sources", "", extra);
  for (SourceFile& f : extra) files.push_back({"seeds/" + f.relative, f.bytes});
  ASSERT_GT(golden, 40u);
  ASSERT_FALSE(extra.empty());

  TempDir temp;
  const std::string programDir = temp.path() + "/prog";
  installProgram(ProgramKind::Linux, programDir);
  std::vector<std::string> cFamily, vbDelphi;
  for (int v = 0; v < kVariants; ++v) {
    for (const SourceFile& f : files) {
      std::string path = temp.path() + "/v" + std::to_string(v) + "/" + f.relative;
      fs::create_directories(fs::path(path).parent_path());
      writeFileBytes(path, damaged(f.bytes, f.relative, v));
      std::string ext = lower(fs::path(path).extension().string());
      if (isCFamily(ext)) cFamily.push_back(path);
      if (isVbOrDelphi(ext)) vbDelphi.push_back(path);
    }
  }
  ASSERT_GT(cFamily.size(), 25u * kVariants);
  ASSERT_GT(vbDelphi.size(), 5u * kVariants);

  for (bool html : {false, true}) {
    writeFileBytes(programDir + "/Mizenta.ini", iniText(html));
    for (const std::vector<std::string>* family : {&cFamily, &vbDelphi}) {
      for (const std::vector<std::string>& list : batches(*family)) {
        SCOPED_TRACE(std::string(html ? "html run of " : "text run of ") +
                     (family == &cFamily ? "C-family files from " : "VB and Delphi files from ") +
                     list.front());
        fs::remove(programDir + "/MizentaErrLog.txt");
        ProgramResult r = runInstalledProgram(ProgramKind::Linux, programDir, temp.path(), list);
        EXPECT_EQ(r.exitCode, 0) << r.standardError.substr(0, 4000);
        for (const char* marker : {"AddressSanitizer", "LeakSanitizer", "runtime error:"})
          EXPECT_EQ(r.standardError.find(marker), std::string::npos)
              << r.standardError.substr(0, 4000);
        // Every file was read, to the end of the run.
        EXPECT_EQ(filesRead(readFileBytes(programDir + "/MizentaErrLog.txt")), list.size());
      }
    }
  }
}

}  // namespace
