abstract class Token {
    abstract static class Tag extends Token {
        protected String tagName;
        final boolean isSelfClosing() { return false; }
        final String name() { return tagName; }
    }

    final static class StartTag extends Tag {
    }
}
