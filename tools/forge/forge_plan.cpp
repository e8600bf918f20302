#include "forge_plan.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <map>
#include <thread>

void forge_plan_add(forge_plan* plan, const std::string& label, forge_make make) {
  plan->jobs.push_back({label, std::move(make)});
}

void forge_plan_all(forge_plan* plan) {
  int32_t count = 0;
  const forge_generator* gens = forge_generators(&count);
  for (int32_t i = 0; i < count; i++)
    gens[i].add(plan);
}

std::string forge_name_key(const std::string& name) {
  std::string key = name;
  for (char& c : key) {
    if (c == '\\')
      c = '/';
    else if (c >= 'A' && c <= 'Z')
      c = char(c - 'A' + 'a');
  }
  return key;
}

static bool forge_name_ok(const std::string& name) {
  if (name.size() <= 5 || name.compare(0, 5, "data/") != 0 || name.size() > 255 + 5)
    return false;
  size_t start = 5;
  while (start <= name.size()) {
    size_t end = name.find('/', start);
    if (end == std::string::npos)
      end = name.size();
    const std::string part = name.substr(start, end - start);
    if (part.empty() || part == "." || part == ".." || part.find('\\') != std::string::npos)
      return false;
    start = end + 1;
  }
  return true;
}

int forge_run(const forge_plan* plan, int32_t threads, std::vector<forge_file>* files, std::string* error) {
  const size_t count = plan->jobs.size();
  std::vector<std::vector<forge_file>> results(count);
  std::vector<std::string> errors(count);
  std::vector<int> ok(count, 0);
  std::atomic<size_t> next{0};
  // A job that throws (std::bad_alloc from its containers, say) fails like
  // one that returns 0; nothing escapes the thread.
  auto worker = [&] {
    for (size_t i = next.fetch_add(1); i < count; i = next.fetch_add(1)) {
      try {
        ok[i] = plan->jobs[i].make(&results[i], &errors[i]);
      } catch (const std::exception& e) {
        ok[i] = 0;
        errors[i] = std::string("exception: ") + e.what();
      } catch (...) {
        ok[i] = 0;
        errors[i] = "unknown exception";
      }
    }
  };
  threads = std::clamp<int32_t>(threads, 1, 64);
  {
    std::vector<std::jthread> pool;
    for (int32_t t = 1; t < threads && size_t(t) < count; t++)
      pool.emplace_back(worker);
    worker();
  }
  files->clear();
  for (size_t i = 0; i < count; i++) {
    if (!ok[i]) {
      *error = plan->jobs[i].label + ": " + (errors[i].empty() ? "failed" : errors[i]);
      return 0;
    }
    for (forge_file& f : results[i])
      files->push_back(std::move(f));
  }
  std::sort(files->begin(), files->end(), [](const forge_file& a, const forge_file& b) { return a.name < b.name; });
  std::map<std::string, std::string> seen;
  for (const forge_file& f : *files) {
    if (!forge_name_ok(f.name)) {
      *error = "bad file name '" + f.name + "'";
      return 0;
    }
    auto [it, fresh] = seen.emplace(forge_name_key(f.name), f.name);
    if (!fresh) {
      *error = "file names collide: '" + it->second + "' and '" + f.name + "'";
      return 0;
    }
  }
  return 1;
}
