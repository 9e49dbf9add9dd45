#define LOG_(x) write_log(x)
#define CHECK(x) (LOG_(x), (x))
int count(void);
