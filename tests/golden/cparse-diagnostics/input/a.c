#define RED
enum color { RED, GREEN };
int main(void) { return GREEN; }
