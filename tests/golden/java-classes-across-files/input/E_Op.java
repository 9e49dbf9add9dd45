public enum Op {
    PLUS {
        public int apply(int a, int b) { return add(a, b); }
    };
    public abstract int apply(int a, int b);
    static int add(int a, int b) { return a + b; }
}
