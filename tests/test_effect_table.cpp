// The show's structure as data: the effect table against the start-up order
// and failure messages of the inits, and how each state ends.
#include "effect.h"

#include <gtest/gtest.h>

#include <string>

TEST(EffectTable, InitsRunInTheirOwnOrderWithTheirMessages) {
  const char* const messages[] = {
      "Unable to load intro files\n",
      "Unable to init seqzoomer!\n",
      "Unable to init i_cube!\n",
      "Unable to init 3d-tunnel flight!\n",
      "Unable to init galaxy!",
      "Unable to init rimbel mirrors!\n",
      "Unable to init blurp!\n",
      "Unable to init 3d_net!\n",
      "Unable to load magnet files\n",
      "Unable to init diffuse cube!\n",
      "Unable to init quben!\n",
      "Unable to init lobj!\n",
      "Unable to init hypervoxel part!\n",
  };
  ASSERT_EQ(effect_init_count, int32_t(std::size(messages)));
  for (int32_t order = 1; order <= effect_init_count; order++) {
    int32_t found = 0;
    for (const effect& e : effect_table)
      if (e.init_order == order) {
        found++;
        ASSERT_NE(e.init, nullptr) << e.name;
        EXPECT_STREQ(e.init_message, messages[order - 1]) << "init " << order;
      }
    EXPECT_EQ(found, 1) << "init " << order;
  }
  for (const effect& e : effect_table) {
    EXPECT_EQ(e.init != nullptr, e.init_order > 0) << e.name;
    EXPECT_NE(e.frame, nullptr) << e.name;
  }
  EXPECT_STREQ(effect_end_part.init_message, "Unable to init endpart!\n");
  ASSERT_NE(effect_end_part.init, nullptr);
  ASSERT_NE(effect_end_part.frame, nullptr);
}

TEST(EffectTable, TheIntroSectionsAndHowEachStateEnds) {
  // One intro init serves its three sections.
  EXPECT_EQ(effect_of_state(TIMELINE_INTRO_BURN).init_message, std::string("Unable to load intro files\n"));
  EXPECT_EQ(effect_of_state(TIMELINE_INTRO_TILES).init, nullptr);
  EXPECT_EQ(effect_of_state(TIMELINE_INTRO_TITLE).init, nullptr);
  // Only the galaxy and the tunnel end on the music, at orders 4 and 22; only
  // the tunnel has something to undo when it ends by itself.
  for (int32_t s = TIMELINE_FIRST_STATE; s < TIMELINE_DONE; s++) {
    const effect& e = effect_of_state(s);
    EXPECT_EQ(e.ends == EFFECT_ENDS_ON_ORDER, s == -1 || s == 7) << e.name;
    EXPECT_EQ(e.leave != nullptr, s == 7) << e.name;
  }
  EXPECT_EQ(timeline_end_order(TIMELINE_GALAXY), 4);
  EXPECT_EQ(timeline_end_order(TIMELINE_TUNNEL), 22);
  EXPECT_FALSE(timeline_order_reached(TIMELINE_TUNNEL, 21));
  EXPECT_TRUE(timeline_order_reached(TIMELINE_TUNNEL, 22));
  EXPECT_FALSE(timeline_order_reached(TIMELINE_SEQZOOM, 1000)) << "the zoomer ends on its own count";
}
