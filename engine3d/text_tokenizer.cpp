#include "text_tokenizer.h"

#include "mem.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A copy of s in a block of the memory helpers (an empty string for none).
char* copy_text(const char* s) {
  const size_t n = s ? std::strlen(s) : 0;
  char* out = static_cast<char*>(mem_alloc(n + 1));
  if (out && n)
    std::memcpy(out, s, n);
  return out;
}

// Splits a space-separated list into separate strings. 1, or 0 on exhausted memory.
int split_list(const char* list, char*** items, int32_t* count) {
  *items = nullptr;
  *count = 0;
  if (!list)
    return 1;
  int32_t n = 0;
  for (const char* p = list; *p;) {
    while (*p == ' ')
      p++;
    if (!*p)
      break;
    n++;
    while (*p && *p != ' ')
      p++;
  }
  if (n == 0)
    return 1;
  char** out = mem_alloc_array<char*>(size_t(n));
  if (!out)
    return 0;
  int32_t k = 0;
  for (const char* p = list; *p;) {
    while (*p == ' ')
      p++;
    if (!*p)
      break;
    const char* start = p;
    while (*p && *p != ' ')
      p++;
    out[k] = static_cast<char*>(mem_alloc(size_t(p - start) + 1));
    if (!out[k]) {
      *items = out;
      *count = k;
      return 0;
    }
    std::memcpy(out[k], start, size_t(p - start));
    k++;
  }
  *items = out;
  *count = n;
  return 1;
}

void free_list(char** items, int32_t count) {
  if (!items)
    return;
  for (int32_t i = 0; i < count; i++)
    if (items[i])
      mem_free(items[i]);
  mem_free(items);
}

bool starts_with(const char* s, const char* prefix) {
  return prefix && *prefix && std::strncmp(s, prefix, std::strlen(prefix)) == 0;
}

bool is_separator(const text_tokenizer* t, char c) { return t->separator_table[uint8_t(c)] != 0; }

bool is_lead(const text_tokenizer* t, char c) { return t->lead_table[uint8_t(c)] != 0; }

// The byte tables: separators, and the first bytes of the comment marks, the
// quotes and the special tokens in use.
void make_tables(text_tokenizer* t) {
  for (const char* c = t->separators; *c; c++)
    t->separator_table[uint8_t(*c)] = 1;
  auto lead = [t](const char* s) {
    if (s && *s)
      t->lead_table[uint8_t(*s)] = 1;
  };
  if (t->flags & TOKENIZER_BLOCK_COMMENTS)
    lead(t->block_start);
  if (t->flags & TOKENIZER_LINE_COMMENTS)
    lead(t->line_comment);
  for (int32_t i = 0; i < t->quote_count; i++)
    lead(t->quotes[i]);
  for (int32_t i = 0; i < t->special_count; i++)
    lead(t->specials[i]);
}

// The quote string the text starts with, or none.
const char* quote_at(const text_tokenizer* t, const char* s) {
  for (int32_t i = 0; i < t->quote_count; i++)
    if (starts_with(s, t->quotes[i]))
      return t->quotes[i];
  return nullptr;
}

const char* special_at(const text_tokenizer* t, const char* s) {
  for (int32_t i = 0; i < t->special_count; i++)
    if (starts_with(s, t->specials[i]))
      return t->specials[i];
  return nullptr;
}

// Fills work from source: comments dropped, runs of separators reduced to
// one (or to their line feeds), a quoted string copied whole after a
// separator, special tokens set apart. work holds 3 * length + 1 bytes, which
// no step exceeds: each writes at most three bytes per source byte it takes.
void prepare(text_tokenizer* t) {
  const char* s = t->source;
  char* o = t->work;
  const char sep = t->separators[0];
  while (*s) {
    // Comments, quotes and special tokens can only start at a lead byte.
    const bool lead = is_lead(t, *s);
    if (lead && (t->flags & TOKENIZER_BLOCK_COMMENTS) && starts_with(s, t->block_start)) {
      const char* end = std::strstr(s + std::strlen(t->block_start), t->block_end);
      s = end ? end + std::strlen(t->block_end) : s + std::strlen(s);
      *o++ = sep;
    } else if (lead && (t->flags & TOKENIZER_LINE_COMMENTS) && starts_with(s, t->line_comment)) {
      while (*s && *s != '\n')
        s++;
      *o++ = sep;
    } else if (const char* q = lead ? quote_at(t, s) : nullptr) {
      const size_t ql = std::strlen(q);
      const char* close = std::strstr(s + ql, q);
      const char* end = close ? close + ql : s + std::strlen(s);
      *o++ = sep;
      while (s < end)
        *o++ = *s++;
    } else if (const char* sp = lead ? special_at(t, s) : nullptr) {
      const size_t sl = std::strlen(sp);
      *o++ = sep;
      std::memcpy(o, sp, sl);
      o += sl;
      s += sl;
      *o++ = sep;
    } else if (is_separator(t, *s)) {
      int32_t line_feeds = 0;
      for (; is_separator(t, *s); s++)
        line_feeds += *s == '\n';
      if (line_feeds == 0)
        *o++ = sep;
      for (; line_feeds > 0; line_feeds--)
        *o++ = '\n';
    } else {
      *o++ = *s++;
    }
  }
  *o = 0;
}

// Finds the token at p: its start and end, and where reading goes on. 0 at the end.
int locate(const text_tokenizer* t, const char* p, const char** start, const char** end) {
  while (is_separator(t, *p))
    p++;
  if (!*p)
    return 0;
  *start = p;
  if (const char* q = is_lead(t, *p) ? quote_at(t, p) : nullptr) {
    const size_t ql = std::strlen(q);
    const char* close = std::strstr(p + ql, q);
    if (!close)
      return 0;
    *end = close + ql;
    return 1;
  }
  while (*p && !is_separator(t, *p))
    p++;
  *end = p;
  return 1;
}

char* copy_token(const char* start, const char* end, char* buffer) {
  size_t n = size_t(end - start);
  if (n > size_t(TOKEN_SIZE - 1))
    n = size_t(TOKEN_SIZE - 1);
  std::memcpy(buffer, start, n);
  buffer[n] = 0;
  return buffer;
}

} // namespace

text_tokenizer* text_tokenizer_create(const char* text, const char* extra_separators, const char* quotes,
                                      const char* line_comment, const char* block_start, const char* block_end,
                                      const char* specials, uint32_t flags) {
  if (!(flags & (TOKENIZER_SEPARATORS_GIVEN | TOKENIZER_SEPARATORS_DEFAULT)))
    return nullptr;
  const char* extra = extra_separators ? extra_separators : "";
  if (!(flags & TOKENIZER_SEPARATORS_DEFAULT) && !*extra)
    return nullptr;
  text_tokenizer* t = mem_alloc_array<text_tokenizer>(1);
  if (!t)
    return nullptr;
  t->flags = flags & (TOKENIZER_SEPARATORS_GIVEN | TOKENIZER_SEPARATORS_DEFAULT);
  t->source = copy_text(text);
  const size_t length = t->source ? std::strlen(t->source) : 0;
  t->work = length <= (SIZE_MAX - 1) / 3 ? static_cast<char*>(mem_alloc(3 * length + 1)) : nullptr;
  if (flags & TOKENIZER_SEPARATORS_DEFAULT) {
    t->separators = static_cast<char*>(mem_alloc(4 + std::strlen(extra) + 1));
    if (t->separators) {
      std::memcpy(t->separators, " \t\r\n", 4);
      std::memcpy(t->separators + 4, extra, std::strlen(extra));
    }
  } else {
    t->separators = copy_text(extra);
  }
  t->line_comment = copy_text(line_comment);
  t->block_start = copy_text(block_start);
  t->block_end = copy_text(block_end);
  const int lists =
      split_list(quotes, &t->quotes, &t->quote_count) && split_list(specials, &t->specials, &t->special_count);
  if (!t->source || !t->work || !t->separators || !t->line_comment || !t->block_start || !t->block_end || !lists) {
    text_tokenizer_free(t);
    return nullptr;
  }
  t->flags |= TOKENIZER_HAS_SEPARATORS;
  if (*t->block_start && *t->block_end)
    t->flags |= TOKENIZER_BLOCK_COMMENTS;
  if (*t->line_comment)
    t->flags |= TOKENIZER_LINE_COMMENTS;
  if (t->quote_count > 0)
    t->flags |= TOKENIZER_QUOTES;
  if (t->special_count > 0)
    t->flags |= TOKENIZER_SPECIALS;
  make_tables(t);
  prepare(t);
  t->cursor = t->work;
  return t;
}

void text_tokenizer_free(text_tokenizer* t) {
  if (!t)
    return;
  char* blocks[] = {t->source, t->work, t->separators, t->line_comment, t->block_start, t->block_end};
  for (char* b : blocks)
    if (b)
      mem_free(b);
  free_list(t->quotes, t->quote_count);
  free_list(t->specials, t->special_count);
  mem_free(t);
}

char* token_next(text_tokenizer* t, char* buffer) {
  const char *start, *end;
  if (!locate(t, t->cursor, &start, &end)) {
    t->cursor += std::strlen(t->cursor);
    return nullptr;
  }
  t->cursor = const_cast<char*>(end);
  return copy_token(start, end, buffer);
}

char* token_peek(text_tokenizer* t, char* buffer) {
  const char *start, *end;
  if (!locate(t, t->cursor, &start, &end))
    return nullptr;
  return copy_token(start, end, buffer);
}

int token_skip(text_tokenizer* t) {
  char buffer[TOKEN_SIZE];
  return token_next(t, buffer) != nullptr;
}

int32_t token_int(text_tokenizer* t) {
  char buffer[TOKEN_SIZE];
  if (!token_next(t, buffer))
    return 0;
  for (const char* p = buffer; *p; p++)
    if (!((*p >= '0' && *p <= '9') || *p == '+' || *p == '-'))
      return 0;
  errno = 0;
  const long long v = std::strtoll(buffer, nullptr, 10);
  if (v > INT32_MAX)
    return INT32_MAX;
  if (v < INT32_MIN)
    return INT32_MIN;
  return int32_t(v);
}

float token_float(text_tokenizer* t) {
  char buffer[TOKEN_SIZE];
  float value = 0;
  if (!token_next(t, buffer) || std::sscanf(buffer, "%f", &value) != 1)
    return 0;
  return value;
}

int32_t keyword_index(const char* token, const char* list) {
  if (!token || !list)
    return 0;
  const size_t n = std::strlen(token);
  int32_t index = 0;
  for (const char* p = list; *p;) {
    while (*p == ' ')
      p++;
    if (!*p)
      break;
    const char* start = p;
    while (*p && *p != ' ')
      p++;
    index++;
    if (size_t(p - start) == n && std::strncmp(start, token, n) == 0)
      return index;
  }
  return 0;
}

int skip_block(text_tokenizer* t) {
  char buffer[TOKEN_SIZE];
  for (;;) {
    if (!token_next(t, buffer))
      return 0;
    if (std::strcmp(buffer, "{") == 0)
      break;
  }
  int64_t depth = 1;
  while (depth > 0) {
    if (!token_next(t, buffer))
      return 0;
    if (std::strcmp(buffer, "{") == 0)
      depth++;
    else if (std::strcmp(buffer, "}") == 0)
      depth--;
  }
  return 1;
}
