public class Sub extends Base {
    public Sub() { }
}
