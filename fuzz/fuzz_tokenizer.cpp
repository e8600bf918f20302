// Text tokenizer on fuzz input: the configuration the scene reader uses, and
// one with every feature (quotes, comments, specials) turned on.
#include "fuzz_targets.h"
#include "text_tokenizer.h"

#include <string>

namespace {
int walk(text_tokenizer* t) {
  if (!t)
    return 0;
  char token[TOKEN_SIZE];
  int steps = 0;
  // Every kind of call, in turn, until the text ends.
  for (;; steps++) {
    if (!token_peek(t, token))
      break;
    switch (steps % 6) {
    case 0:
      token_next(t, token);
      keyword_index(token, "*MESH { } *GROUP A B C");
      break;
    case 1:
      token_int(t);
      break;
    case 2:
      token_float(t);
      break;
    case 3:
      if (token[0] == '{')
        skip_block(t);
      else
        token_skip(t);
      break;
    default:
      token_next(t, token);
      break;
    }
  }
  text_tokenizer_free(t);
  return 1;
}
} // namespace

int fuzz_tokenizer(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size); // stops at the first zero byte below
  int ok = walk(text_tokenizer_create(text.c_str(), nullptr, "\"", nullptr, nullptr, nullptr, nullptr,
                                      TOKENIZER_SEPARATORS_DEFAULT));
  ok &= walk(text_tokenizer_create(text.c_str(), ",;", "\" ' <<< >>>", "//", "/*", "*/", "{ } ( ) :: ->",
                                   TOKENIZER_SEPARATORS_DEFAULT | TOKENIZER_BLOCK_COMMENTS | TOKENIZER_LINE_COMMENTS |
                                       TOKENIZER_QUOTES | TOKENIZER_SPECIALS | TOKENIZER_HAS_SEPARATORS));
  ok &= walk(text_tokenizer_create(text.c_str(), " {}", "", "#", nullptr, nullptr, "",
                                   TOKENIZER_SEPARATORS_GIVEN | TOKENIZER_LINE_COMMENTS));
  return ok;
}

void fuzz_tokenizer_seeds(std::vector<fuzz_input>* out) {
  std::vector<fuzz_input> scenes;
  fuzz_ase_seeds(&scenes);
  if (!scenes.empty())
    out->push_back(scenes[0].size() > 4096 ? fuzz_input(scenes[0].begin(), scenes[0].begin() + 4096) : scenes[0]);
  const std::string code = "a = \"quoted { text\" // line comment\n/* block\n comment */ b::c->d(1, -2, 3.5e2);\n"
                           "<<<heredoc>>> 'single' {nested {blocks}} x,y;z # hash\n";
  out->push_back(fuzz_input(code.begin(), code.end()));
}
