/* ã§í ÇÃè¨ìπãÔ */
#ifndef UTIL_H
#define UTIL_H

void log_message(const char *text);
void copy_text(char *to, const char *from, int size);
long power_of(long base, int exponent);

#endif
