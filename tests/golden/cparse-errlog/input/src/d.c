int h(void) { return 0; }
typedef int
