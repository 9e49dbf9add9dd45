class Other {
    static class Token extends Tag {
    }
}
