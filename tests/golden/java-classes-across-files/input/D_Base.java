public class Base {
    public void inherited() { }
}
