// The forge's job runner and the generators' failures: a job that throws, and
// text that cannot be set because its font is missing, fail the job with a
// message instead of ending the program or leaving the text out.
#include "art_lettering.h"
#include "forge_plan.h"
#include "testkit.h"

#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

namespace {

int test_job_ok(std::vector<forge_file>* out, std::string*) {
  out->push_back({"data/ok.bin", "bytes", {1, 2, 3}});
  return 1;
}

// Points the font folder elsewhere for the object's lifetime.
struct test_font_dir {
  std::string previous = art_font_dir();
  explicit test_font_dir(const std::string& dir) { art_font_dir_set(dir); }
  ~test_font_dir() { art_font_dir_set(previous); }
};

} // namespace

TEST(ForgeRun, AJobThatThrowsFailsTheRunWithItsMessage) {
  for (int32_t threads : {1, 3}) {
    forge_plan plan;
    forge_plan_add(&plan, "fine", test_job_ok);
    forge_plan_add(&plan, "stars", [](std::vector<forge_file>* out, std::string*) -> int {
      out->push_back({"data/half.bin", "bytes", {4}});
      throw std::runtime_error("no room for the stars");
    });
    forge_plan_add(&plan, "memory", [](std::vector<forge_file>*, std::string*) -> int { throw std::bad_alloc(); });
    forge_plan_add(&plan, "odd", [](std::vector<forge_file>*, std::string*) -> int { throw 7; });
    for (int32_t i = 0; i < 8; i++)
      forge_plan_add(&plan, "fine " + std::to_string(i), [i](std::vector<forge_file>* out, std::string*) {
        out->push_back({"data/f" + std::to_string(i) + ".bin", "bytes", {uint8_t(i)}});
        return 1;
      });
    std::vector<forge_file> files;
    std::string error;
    EXPECT_EQ(forge_run(&plan, threads, &files, &error), 0) << threads;
    // The first failing job in the plan's order is the one reported.
    EXPECT_NE(error.find("stars"), std::string::npos) << error;
    EXPECT_NE(error.find("no room for the stars"), std::string::npos) << error;

    plan.jobs.erase(plan.jobs.begin() + 1);
    error.clear();
    EXPECT_EQ(forge_run(&plan, threads, &files, &error), 0);
    EXPECT_EQ(error.rfind("memory: ", 0), 0u) << error;
    EXPECT_NE(error.find("bad_alloc"), std::string::npos) << error;

    plan.jobs.erase(plan.jobs.begin() + 1);
    error.clear();
    EXPECT_EQ(forge_run(&plan, threads, &files, &error), 0);
    EXPECT_EQ(error.rfind("odd: ", 0), 0u) << error;

    plan.jobs.erase(plan.jobs.begin() + 1);
    error.clear();
    ASSERT_EQ(forge_run(&plan, threads, &files, &error), 1) << error;
    EXPECT_EQ(files.size(), 9u);
  }
}

TEST(ArtLetterChecked, NamesTheTextAndTheFontWhenTheTextCannotBeSet) {
  art_canvas c;
  art_canvas_init(&c, 64, 32, art_rgb(0, 0, 0));
  art_lettering look;
  art_text_style style;
  style.size = 12;
  std::string error;
  ASSERT_EQ(art_letter_checked(&c, &style, "Ok", 4, 20, &look, &error), 1) << error;
  EXPECT_TRUE(error.empty());

  testkit_tempdir dir;
  const std::string missing = dir.file("NoSuchFont.ttf");
  style.font = missing.c_str();
  EXPECT_EQ(art_letter_checked(&c, &style, "Title", 4, 20, &look, &error), 0);
  EXPECT_NE(error.find(missing), std::string::npos) << error;
  EXPECT_NE(error.find("\"Title\""), std::string::npos) << error;

  // A later failure keeps the first message.
  style.font = "DejaVuSans.ttf";
  EXPECT_EQ(art_letter_checked(&c, &style, "bad \xC3", 4, 20, &look, &error), 0);
  EXPECT_NE(error.find(missing), std::string::npos) << error;
  error.clear();
  EXPECT_EQ(art_letter_checked(&c, &style, "bad \xC3", 4, 20, &look, &error), 0);
  EXPECT_NE(error.find("DejaVuSans.ttf"), std::string::npos) << error;
  EXPECT_NE(error.find("bad "), std::string::npos) << error;
}

TEST(ForgeGenerators, EveryJobThatSetsTextFailsWhenItsFontIsMissing) {
  forge_plan plan;
  forge_plan_all(&plan);
  testkit_tempdir dir;
  const std::string fonts = dir.file("fonts") + "/";
  for (const char* label : {"loading picture", "group logo", "label logo", "intro title", "intro text"}) {
    const forge_job* job = nullptr;
    for (const forge_job& j : plan.jobs)
      if (j.label == label)
        job = &j;
    ASSERT_NE(job, nullptr) << label;
    std::vector<forge_file> files;
    std::string error;
    {
      test_font_dir missing(fonts);
      EXPECT_EQ(job->make(&files, &error), 0) << label;
    }
    EXPECT_TRUE(files.empty()) << label;
    EXPECT_EQ(error.find("cannot open the font '" + fonts), 0u) << label << ": " << error;
    EXPECT_NE(error.find(".ttf"), std::string::npos) << label << ": " << error;
  }
  // With the fonts where they belong the same job makes its file.
  for (const forge_job& j : plan.jobs)
    if (j.label == "intro text") {
      std::vector<forge_file> files;
      std::string error;
      ASSERT_EQ(j.make(&files, &error), 1) << error;
      ASSERT_EQ(files.size(), 1u);
      EXPECT_FALSE(files[0].bytes.empty());
    }
}
