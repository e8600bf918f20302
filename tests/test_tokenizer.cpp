// The text tokenizer: separators, quote strings, comments and special
// tokens, the number readers, keyword lookup and block skipping.
#include "text_tokenizer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct tokenizer_deleter {
  void operator()(text_tokenizer* t) const { text_tokenizer_free(t); }
};
using tokenizer_ptr = std::unique_ptr<text_tokenizer, tokenizer_deleter>;

tokenizer_ptr make(const char* text, uint32_t flags = TOKENIZER_SEPARATORS_DEFAULT, const char* extra = nullptr,
                   const char* quotes = "\"", const char* line = nullptr, const char* block_start = nullptr,
                   const char* block_end = nullptr, const char* specials = nullptr) {
  return tokenizer_ptr(text_tokenizer_create(text, extra, quotes, line, block_start, block_end, specials, flags));
}

std::vector<std::string> all_tokens(text_tokenizer* t) {
  std::vector<std::string> out;
  char buffer[TOKEN_SIZE];
  while (token_next(t, buffer))
    out.push_back(buffer);
  return out;
}

using tokens = std::vector<std::string>;

TEST(Tokenizer, SeparatorsAndQuotes) {
  tokenizer_ptr t = make("  *NODE_NAME \"Box 01\"\t\r\n\n *TM_POS 1.5\t-2 3  ");
  ASSERT_TRUE(t);
  EXPECT_EQ(all_tokens(t.get()), (tokens{"*NODE_NAME", "\"Box 01\"", "*TM_POS", "1.5", "-2", "3"}));
  // A quote inside a word starts a token of its own and ends it.
  t = make("abc\"d e\"fg");
  EXPECT_EQ(all_tokens(t.get()), (tokens{"abc", "\"d e\"", "fg"}));
  // A missing closing quote ends the token stream.
  t = make("one \"never closed two three");
  EXPECT_EQ(all_tokens(t.get()), (tokens{"one"}));
  char buffer[TOKEN_SIZE];
  EXPECT_EQ(token_next(t.get(), buffer), nullptr);
  EXPECT_EQ(token_skip(t.get()), 0);
  // Multi-character quote strings.
  t = make("x <<a b>> y", TOKENIZER_SEPARATORS_DEFAULT, nullptr, "<< '");
  EXPECT_EQ(all_tokens(t.get()), (tokens{"x"}));
  t = make("x <<a b<< y 'c d'", TOKENIZER_SEPARATORS_DEFAULT, nullptr, "<< '");
  EXPECT_EQ(all_tokens(t.get()), (tokens{"x", "<<a b<<", "y", "'c d'"}));
}

TEST(Tokenizer, GivenSeparatorsOnly) {
  tokenizer_ptr t = make("a,b,,c d;e", TOKENIZER_SEPARATORS_GIVEN, ",;");
  ASSERT_TRUE(t);
  EXPECT_EQ(all_tokens(t.get()), (tokens{"a", "b", "c d", "e"}));
  t = make("a,b c", TOKENIZER_SEPARATORS_DEFAULT, ",");
  EXPECT_EQ(all_tokens(t.get()), (tokens{"a", "b", "c"}));
  EXPECT_EQ(t->flags & 3, uint32_t(TOKENIZER_SEPARATORS_DEFAULT));
  EXPECT_TRUE(t->flags & TOKENIZER_HAS_SEPARATORS);
  EXPECT_TRUE(t->flags & TOKENIZER_QUOTES);
  EXPECT_FALSE(t->flags & TOKENIZER_SPECIALS);
  // Neither separator flag, or no separators at all: refused.
  EXPECT_FALSE(make("a b", 0));
  EXPECT_FALSE(make("a b", TOKENIZER_SEPARATORS_GIVEN, ""));
  EXPECT_FALSE(make("a b", TOKENIZER_SEPARATORS_GIVEN, nullptr));
}

TEST(Tokenizer, CommentsAndSpecials) {
  tokenizer_ptr t = make("a{b}c // gone \"x\"\nd /* also\n gone */e{{", TOKENIZER_SEPARATORS_DEFAULT, nullptr, "\"",
                         "//", "/*", "*/", "{ }");
  ASSERT_TRUE(t);
  EXPECT_TRUE(t->flags & TOKENIZER_LINE_COMMENTS);
  EXPECT_TRUE(t->flags & TOKENIZER_BLOCK_COMMENTS);
  EXPECT_TRUE(t->flags & TOKENIZER_SPECIALS);
  EXPECT_EQ(t->special_count, 2);
  EXPECT_EQ(all_tokens(t.get()), (tokens{"a", "{", "b", "}", "c", "d", "e", "{", "{"}));
  // A comment marker inside quotes is text; an unclosed block comment runs to the end.
  t = make("\"http://x\" y /* z", TOKENIZER_SEPARATORS_DEFAULT, nullptr, "\"", "//", "/*", "*/");
  EXPECT_EQ(all_tokens(t.get()), (tokens{"\"http://x\"", "y"}));
}

TEST(Tokenizer, PeekDoesNotMove) {
  tokenizer_ptr t = make("first second");
  char buffer[TOKEN_SIZE];
  ASSERT_NE(token_peek(t.get(), buffer), nullptr);
  EXPECT_STREQ(buffer, "first");
  ASSERT_NE(token_peek(t.get(), buffer), nullptr);
  EXPECT_STREQ(buffer, "first");
  EXPECT_EQ(token_skip(t.get()), 1);
  ASSERT_NE(token_next(t.get(), buffer), nullptr);
  EXPECT_STREQ(buffer, "second");
  EXPECT_EQ(token_peek(t.get(), buffer), nullptr);
}

TEST(Tokenizer, LongTokensAreCut) {
  const std::string word(300, 'w');
  const std::string quoted = "\"" + std::string(400, 'q') + "\"";
  tokenizer_ptr t = make((word + " " + quoted + " next").c_str());
  char buffer[TOKEN_SIZE + 16];
  std::memset(buffer, 0x55, sizeof buffer);
  ASSERT_NE(token_next(t.get(), buffer), nullptr);
  EXPECT_EQ(std::string(buffer), word.substr(0, TOKEN_SIZE - 1));
  EXPECT_EQ(uint8_t(buffer[TOKEN_SIZE]), 0x55);
  ASSERT_NE(token_next(t.get(), buffer), nullptr);
  EXPECT_EQ(std::string(buffer), quoted.substr(0, TOKEN_SIZE - 1));
  ASSERT_NE(token_next(t.get(), buffer), nullptr);
  EXPECT_STREQ(buffer, "next");
}

TEST(Tokenizer, Numbers) {
  tokenizer_ptr t = make("12 -3 +7 1.0 abc 99999999999 -99999999999 1-2 +-");
  EXPECT_EQ(token_int(t.get()), 12);
  EXPECT_EQ(token_int(t.get()), -3);
  EXPECT_EQ(token_int(t.get()), 7);
  EXPECT_EQ(token_int(t.get()), 0);
  EXPECT_EQ(token_int(t.get()), 0);
  EXPECT_EQ(token_int(t.get()), INT32_MAX);
  EXPECT_EQ(token_int(t.get()), INT32_MIN);
  EXPECT_EQ(token_int(t.get()), 1);
  EXPECT_EQ(token_int(t.get()), 0);
  EXPECT_EQ(token_int(t.get()), 0);
  t = make("1.5 -2.25e1 x 7 3abc");
  EXPECT_FLOAT_EQ(token_float(t.get()), 1.5f);
  EXPECT_FLOAT_EQ(token_float(t.get()), -22.5f);
  EXPECT_FLOAT_EQ(token_float(t.get()), 0);
  EXPECT_FLOAT_EQ(token_float(t.get()), 7);
  EXPECT_FLOAT_EQ(token_float(t.get()), 3);
  EXPECT_FLOAT_EQ(token_float(t.get()), 0);
}

TEST(Tokenizer, KeywordIndex) {
  const char* list = "*SCENE *MATERIAL_LIST  *MESH *MESH_NUMVERTEX";
  EXPECT_EQ(keyword_index("*SCENE", list), 1);
  EXPECT_EQ(keyword_index("*MATERIAL_LIST", list), 2);
  EXPECT_EQ(keyword_index("*MESH", list), 3);
  EXPECT_EQ(keyword_index("*MESH_NUMVERTEX", list), 4);
  EXPECT_EQ(keyword_index("*scene", list), 0);
  EXPECT_EQ(keyword_index("*MESH_NUM", list), 0);
  EXPECT_EQ(keyword_index("", list), 0);
  EXPECT_EQ(keyword_index("*SCENE", ""), 0);
}

TEST(Tokenizer, SkipBlock) {
  tokenizer_ptr t = make("*KEY a b { x { y { } } \"}\" } after");
  EXPECT_EQ(skip_block(t.get()), 1);
  char buffer[TOKEN_SIZE];
  ASSERT_NE(token_next(t.get(), buffer), nullptr);
  EXPECT_STREQ(buffer, "after");
  t = make("*KEY { x { }");
  EXPECT_EQ(skip_block(t.get()), 0);
  t = make("*KEY no brace");
  EXPECT_EQ(skip_block(t.get()), 0);
}

} // namespace
