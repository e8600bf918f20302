// Text tokenizer on fuzz input: the configuration the scene reader uses, and
// one with every feature (quotes, comments, specials) turned on.
#include "fuzz_seed_art.h"
#include "fuzz_target.h"
#include "text_tokenizer.h"

#include <string>

namespace {
void walk(text_tokenizer* t) {
  if (!t)
    return;
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
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint32_t blocks = fuzz_blocks_before();
  const std::string text(reinterpret_cast<const char*>(data), size); // stops at the first zero byte below
  walk(text_tokenizer_create(text.c_str(), nullptr, "\"", nullptr, nullptr, nullptr, nullptr,
                             TOKENIZER_SEPARATORS_DEFAULT));
  walk(text_tokenizer_create(text.c_str(), ",;", "\" ' <<< >>>", "//", "/*", "*/", "{ } ( ) :: ->",
                             TOKENIZER_SEPARATORS_DEFAULT | TOKENIZER_BLOCK_COMMENTS | TOKENIZER_LINE_COMMENTS |
                                 TOKENIZER_QUOTES | TOKENIZER_SPECIALS | TOKENIZER_HAS_SEPARATORS));
  walk(text_tokenizer_create(text.c_str(), " {}", "", "#", nullptr, nullptr, "",
                             TOKENIZER_SEPARATORS_GIVEN | TOKENIZER_LINE_COMMENTS));
  fuzz_check_released(blocks);
  return 0;
}

void fuzz_seeds(std::vector<fuzz_input>* out) {
  std::vector<fuzz_input> scenes;
  fuzz_art_scenes(&scenes);
  if (!scenes.empty())
    out->push_back(scenes[0].size() > 4096 ? fuzz_input(scenes[0].begin(), scenes[0].begin() + 4096) : scenes[0]);
  const std::string code = "a = \"quoted { text\" // line comment\n/* block\n comment */ b::c->d(1, -2, 3.5e2);\n"
                           "<<<heredoc>>> 'single' {nested {blocks}} x,y;z # hash\n";
  out->push_back(fuzz_input(code.begin(), code.end()));
}
