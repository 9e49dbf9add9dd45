public class Main {
    public static void main(String[] args) {
        Box b = new Box(3);
        b.open();
        Sub s = new Sub();
        s.inherited();
        Box[] many = new Box[2];
    }
}
