package demo;

interface Shape {
    void draw();
}

class Base implements Shape {
    public void draw() {
        helper();
    }

    void helper() {
    }

    static int twice(int x) {
        return x * 2;
    }
}

class Middle extends Base {
}

class Leaf extends Middle {
    public void draw() {
        int y = Base.twice(3);
        Runnable r = new Runnable() {
            public void run() {
                log();
            }
        };
        r.run();
        finish();
    }

    void finish() {
        helper();
        super.draw();
    }
}
