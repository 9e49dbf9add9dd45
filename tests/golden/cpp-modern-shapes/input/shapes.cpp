class Num {
public:
    Num operator+(const Num &o) const;
    Num &operator++();
    bool operator==(const Num &o) const;
};

class Engine {
public:
    void start();
};

struct Gear {
    Gear();
    ~Gear();
};

const char *banner() { return R"x(a "quoted" } { )" text)x"; }

Gear::Gear() { banner(); }

Gear::~Gear() = default;

auto units() -> int { return 1'000'000; }

template <class T> T create(int n) { return T(); }

int drive(Num &a, Num &b, std::unique_ptr<Engine> &e)
{
    Num c = a + b;
    ++c;
    e->start();
    if (c == a)
        return create<int>(units());
    return 0;
}
