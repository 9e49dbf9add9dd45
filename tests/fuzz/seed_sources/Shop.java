package com.example.shop;

import java.util.*;

/** A shop with items. */
public class Shop extends Store implements Runnable, Comparable<Shop> {
  private static final int LIMIT = 10;
  private List<String> items = new ArrayList<>();

  public Shop(String name) { super(name); }

  @Override
  public void run() {
    for (String s : items) { System.out.println(s); }
    Runnable r = new Runnable() { public void run() { sell("x"); } };
    synchronized (this) { r.run(); }
  }

  interface Listener { void sold(String item); }

  static class Inner { int value() { return LIMIT; } }

  public int compareTo(Shop o) { return 0; }

  private void sell(String item) throws IllegalStateException {
    if (items.isEmpty()) throw new IllegalStateException("empty \" shop");
    char c = '\'';
    items.remove(item);
  }
}
