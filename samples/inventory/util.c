/* ‹¤’Ê‚Ì¬“¹‹ï‚ÌÀ‘• */
#include <stdio.h>
#include "util.h"

void log_message(const char *text)
{
    fprintf(stderr, "%s\n", text);
}

void copy_text(char *to, const char *from, int size)
{
    int i;

    for (i = 0; i + 1 < size && from[i] != '\0'; i++) {
        to[i] = from[i];
    }
    to[i] = '\0';
}

/* Ä‹A‚Å—İæ‚ğ‹‚ß‚é */
long power_of(long base, int exponent)
{
    if (exponent <= 0) {
        return 1;
    }
    return base * power_of(base, exponent - 1);
}
