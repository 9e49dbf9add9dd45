public class Builder {
    public void insert(final Token.StartTag startTag, Tag tag) {
        if (startTag.isSelfClosing()) {
            startTag.name();
        }
        tag.getName();
        startTag.toString();
    }
}
