#include "main.c"
int loop;
