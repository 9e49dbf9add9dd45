// The member rule of the C++ and Java parser decides, for each call and
// header, the class and namespace it belongs to (`obj.f(`, `p->f(`,
// `A::f(`, `::f(`, `f().g(`, a plain `f(` inside a method); it is part of
// the parser (c_parser_internal.h, member_rule.cc). Here are the parts of
// it that need no parser: what a type text says of a class.
#pragma once

#include <string>
#include <string_view>

// The class a declared or returned type names: "const irr::video::SColor*"
// gives "irr::video::SColor", "public static List<String>[]" gives "List".
// Modifier words, pointer and reference marks, array bounds and template
// arguments go; of several words the last stays. Empty when no word does.
std::string classOfType(std::string_view type);

// A template argument of a type text by its index from 0
// ("std::unique_ptr<a::Engine>" 0 gives "a::Engine", "map<K, V>" 1 gives
// " V"); empty when it has none.
std::string_view templateArgument(std::string_view type, int index);

// The part after the last "::" ("a::b::C" gives "C"); the whole name when
// it has none.
std::string_view lastNamePart(std::string_view name);

// A primitive type of Java, or "void": a word that is reserved and a type.
bool isJavaPrimitive(std::string_view word);
