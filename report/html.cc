#include "report/html.h"

void writeHtmlHead(std::ostream& out, std::string_view title) {
  out << "<html>\n"
      << "\n"
      << "<head>\n"
      << "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=x-sjis\">\n"
      << "<meta name=\"author\" content=\"ＯＲＵＮＯＫＡ\">\n"
      << "<title>" << title << "</title>\n"
      << "</head>\n"
      << "\n"
      << "<body bgcolor=\"#FFFFFF\" link=\"#0000FF\" vlink=\"#800080\">\n"
      << "\n"
      << "<p align=\"center\"><font size=\"6\" face=\"ＭＳ ゴシック\">" << title << "</font></p>\n"
      << "\n";
}

void headerCell(std::ostream& out, std::string_view width, std::string_view text) {
  out << "        <td align=\"center\" valign=\"top\" width=\"" << width
      << "\" bgcolor=\"#00FFFF\">" << text << "</td>\n";
}

namespace {

void writeEscaped(std::ostream& out, std::string_view text) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char* entity = text[i] == '&' ? "&amp;" : text[i] == '<' ? "&lt;" : text[i] == '>' ? "&gt;" : nullptr;
    if (!entity) continue;
    out << text.substr(start, i - start) << entity;
    start = i + 1;
  }
  out << text.substr(start);
}

}  // namespace

void textCell(std::ostream& out, std::string_view width, std::string_view text) {
  out << "        <td valign=\"top\" width=\"" << width << "\">";
  if (text.empty()) {
    out << "　";
  } else if (text.find('<') != std::string_view::npos && text.find('>') != std::string_view::npos) {
    out << text << "\n";
  } else {
    writeEscaped(out, text);
  }
  out << "</td>\n";
}

void numberCell(std::ostream& out, std::string_view width, long long number) {
  out << "        <td align=\"right\" valign=\"top\" width=\"" << width << "\">" << number
      << "</td>\n";
}

void writeHtmlEnd(std::ostream& out) { out << "</body>\n</html>\n"; }
