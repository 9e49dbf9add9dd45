}
int g(void) { return 0; }
