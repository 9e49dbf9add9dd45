public class Box {
    public Box(int n) { }
    public void open() { Op.PLUS.apply(1, 2); }
}
