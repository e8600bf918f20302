// A small general tokenizer: tokens are runs of characters between separator
// characters; quote strings make one token of everything up to the next
// occurrence of the same quote string; comments are dropped and special
// tokens always stand alone.
#pragma once

#include <cstdint>

enum : uint32_t {
  TOKENIZER_SEPARATORS_GIVEN = 0x1,   // the separators exactly as passed
  TOKENIZER_SEPARATORS_DEFAULT = 0x2, // " \t\r\n" followed by the ones passed
  TOKENIZER_BLOCK_COMMENTS = 0x08,
  TOKENIZER_LINE_COMMENTS = 0x10,
  TOKENIZER_QUOTES = 0x20,
  TOKENIZER_SPECIALS = 0x40,
  TOKENIZER_HAS_SEPARATORS = 0x80,
};

// Token buffers hold this many bytes; longer tokens are cut to fit (with the
// terminator) and the cursor still moves past the whole token.
constexpr int32_t TOKEN_SIZE = 256;

struct text_tokenizer {
  uint32_t flags;
  char* source; // private copy of the text
  char* work;   // the prepared text
  char* cursor; // read position in work
  char** specials;
  int32_t special_count;
  char* separators;
  char** quotes;
  int32_t quote_count;
  char* block_start;
  char* block_end;
  char* line_comment;
  // Made once from the above: which bytes are separators, and which start
  // a comment, a quote or a special token (only there are those looked for).
  uint8_t separator_table[256];
  uint8_t lead_table[256];
};

// A tokenizer over a copy of text. Lists (quotes, specials) are single
// strings of items separated by spaces; every list argument may be none.
// None when memory runs out, when neither separator flag is given, or when
// the separator set is empty.
text_tokenizer* text_tokenizer_create(const char* text, const char* extra_separators, const char* quotes,
                                      const char* line_comment, const char* block_start, const char* block_end,
                                      const char* specials, uint32_t flags);
void text_tokenizer_free(text_tokenizer* t);

// The next token copied into buffer (TOKEN_SIZE bytes), or none at the end.
char* token_next(text_tokenizer* t, char* buffer);
// Like token_next without moving the cursor.
char* token_peek(text_tokenizer* t, char* buffer);
// 1 if a token was skipped, 0 at the end.
int token_skip(text_tokenizer* t);
// The next token as an integer: 0 when there is none or it holds anything but
// decimal digits, '+' and '-'. Values beyond 32 bits are limited to them.
int32_t token_int(text_tokenizer* t);
// The next token scanned with "%f"; 0 when that does not give one number.
float token_float(text_tokenizer* t);
// 1-based position of token in the space-separated list (exact, case
// sensitive), 0 if absent.
int32_t keyword_index(const char* token, const char* list);
// Reads tokens up to and including the next "{", then up to and including
// its matching "}". 1, or 0 when the text ends first.
int skip_block(text_tokenizer* t);
