public class Tag {
    private String tagName;
    public String getName() { return tagName; }
}
