// The forge's job runner: a job that throws fails the run with a message
// instead of ending the program.
#include "forge_plan.h"

#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

namespace {

int test_job_ok(std::vector<forge_file>* out, std::string*) {
  out->push_back({"data/ok.bin", "bytes", {1, 2, 3}});
  return 1;
}

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
