/* The floor of the speed table: what reading every byte and splitting it
 * into tokens costs, with nothing learnt from the tokens. For each file of
 * the list it reads the file, splits words, numbers, strings, comments and
 * punctuation, and follows each #include "x" or <x> found beside the
 * including file, once per listed file, as the analyser does in its default
 * header mode. Prints the number of tokens, so no work can be left out.
 *
 *   floor LIST          (one path a line, relative to the current folder)
 */
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define MAX_SEEN 4096

static char *seen[MAX_SEEN]; /* headers read for the current listed file */
static int seen_count;
static unsigned long long tokens;

static void scan_file(const char *path);

static int first_visit(const char *path) {
  for (int i = 0; i < seen_count; ++i)
    if (strcmp(seen[i], path) == 0) return 0;
  if (seen_count < MAX_SEEN) seen[seen_count++] = strdup(path);
  return 1;
}

/* The header named after "#include" on the line at p, beside `path`. */
static void follow_include(const char *path, const char *p, const char *end) {
  while (p < end && (*p == ' ' || *p == '\t')) ++p;
  if (p >= end || (*p != '"' && *p != '<')) return;
  char close = *p == '"' ? '"' : '>';
  const char *name = ++p;
  while (p < end && *p != close && *p != '\n') ++p;
  if (p >= end || *p != close) return;
  const char *slash = strrchr(path, '/');
  int dir = slash ? (int)(slash - path + 1) : 0;
  char header[4096];
  if (dir + (p - name) + 1 > (long)sizeof header) return;
  memcpy(header, path, dir);
  memcpy(header + dir, name, p - name);
  header[dir + (p - name)] = 0;
  if (first_visit(header)) scan_file(header);
}

static void scan_text(const char *path, const char *p, const char *end) {
  int line_start = 1;
  while (p < end) {
    unsigned char c = (unsigned char)*p;
    if (c == '\n') { line_start = 1; ++p; continue; }
    if (isspace(c)) { ++p; continue; }
    ++tokens;
    if (c == '#' && line_start) {
      const char *q = p + 1;
      while (q < end && (*q == ' ' || *q == '\t')) ++q;
      if (end - q > 7 && memcmp(q, "include", 7) == 0) follow_include(path, q + 7, end);
    }
    line_start = 0;
    if (isalpha(c) || c == '_' || c >= 0x80) {
      while (p < end && (isalnum((unsigned char)*p) || *p == '_' || (unsigned char)*p >= 0x80)) ++p;
    } else if (isdigit(c)) {
      while (p < end && (isalnum((unsigned char)*p) || *p == '.')) ++p;
    } else if (c == '"' || c == '\'') {
      for (++p; p < end && *p != (char)c && *p != '\n'; ++p)
        if (*p == '\\') ++p;
      ++p;
    } else if (c == '/' && p + 1 < end && p[1] == '*') {
      const char *close = p + 2;
      while (close + 1 < end && !(close[0] == '*' && close[1] == '/')) ++close;
      p = close + 2;
    } else if (c == '/' && p + 1 < end && p[1] == '/') {
      while (p < end && *p != '\n') ++p;
    } else {
      ++p;
    }
  }
}

static void scan_file(const char *path) {
  FILE *f = fopen(path, "rb");
  if (!f) return;
  fseek(f, 0, SEEK_END);
  long size = ftell(f);
  fseek(f, 0, SEEK_SET);
  char *text = malloc(size > 0 ? size : 1);
  size = (long)fread(text, 1, size, f);
  fclose(f);
  scan_text(path, text, text + size);
  free(text);
}

int main(int argc, char **argv) {
  if (argc != 2) { fprintf(stderr, "usage: floor LIST\n"); return 2; }
  FILE *list = fopen(argv[1], "r");
  if (!list) { perror(argv[1]); return 1; }
  char path[4096];
  while (fgets(path, sizeof path, list)) {
    path[strcspn(path, "\n")] = 0;
    for (int i = 0; i < seen_count; ++i) free(seen[i]);
    seen_count = 0;
    first_visit(path);
    scan_file(path);
  }
  fclose(list);
  printf("%llu tokens\n", tokens);
  return 0;
}
