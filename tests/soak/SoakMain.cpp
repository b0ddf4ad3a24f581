// The soak: the whole program on a headless screen under a long, seeded stream of random input, with its
// invariants checked after every event; a failure is replayed and shrunk to the shortest sequence that still
// fails.
//
//   soak [--events N] [--seed S] [--run-length L]
//
// Prints its rate and ends with "N events, K invariant failures"; the exit status is 0 only when K is 0.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "SoakEvents.h"
#include "SoakRunner.h"

namespace soak {
namespace {

struct Options {
  std::size_t events = 100'000;
  std::uint64_t seed = 1;
  // The program is started afresh after this many events (or sooner, when it ends itself), so that a
  // failure replays from a start that is never far away.
  std::size_t runLength = 2'000;
};

bool ParseCount(const char* text, std::uint64_t& value) {
  char* end = nullptr;
  errno = 0;
  value = std::strtoull(text, &end, 10);
  return errno == 0 && end != text && *end == '\0';
}

bool Parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    std::uint64_t value = 0;
    if (i + 1 >= argc || !ParseCount(argv[i + 1], value)) return false;
    if (std::strcmp(argv[i], "--events") == 0) {
      options.events = value;
    } else if (std::strcmp(argv[i], "--seed") == 0) {
      options.seed = value;
    } else if (std::strcmp(argv[i], "--run-length") == 0 && value > 0) {
      options.runLength = value;
    } else {
      return false;
    }
    ++i;
  }
  return true;
}

bool Fails(const std::vector<Event>& events) {
  return RunProgram(events).failure.has_value();
}

// Drops ever smaller chunks of the sequence while it still fails, until no single event can go.
std::vector<Event> Shrink(std::vector<Event> events) {
  for (std::size_t chunk = events.size() / 2; chunk >= 1; chunk /= 2) {
    bool removed = true;
    while (removed) {
      removed = false;
      for (std::size_t start = 0; start + chunk <= events.size();) {
        std::vector<Event> candidate(events.begin(), events.begin() + static_cast<std::ptrdiff_t>(start));
        candidate.insert(candidate.end(), events.begin() + static_cast<std::ptrdiff_t>(start + chunk),
                         events.end());
        if (Fails(candidate)) {
          events = std::move(candidate);
          removed = true;
        } else {
          start += chunk;
        }
      }
    }
    if (chunk == 1) break;
  }
  return events;
}

void Report(const Options& options, std::size_t at, const Failure& failure, const std::vector<Event>& run) {
  std::printf("FAILURE after event %zu (seed %llu): %s\n", at + failure.event,
              static_cast<unsigned long long>(options.seed), failure.what.c_str());
  const std::vector<Event> failing(run.begin(), run.begin() + static_cast<std::ptrdiff_t>(failure.event + 1));
  const std::vector<Event> shortest = Shrink(failing);
  const RunResult replay = RunProgram(shortest);
  std::printf("  shortest sequence that still fails (%zu of %zu events, from a fresh start): %s\n",
              shortest.size(), failing.size(), replay.failure ? replay.failure->what.c_str() : "?");
  for (const Event& event : shortest) std::printf("    %s\n", Describe(event).c_str());
}

int Soak(const Options& options) {
  const std::vector<Event> events = Generate(options.seed, options.events);
  const auto start = std::chrono::steady_clock::now();
  std::size_t failures = 0;
  std::size_t runs = 0;
  for (std::size_t at = 0; at < events.size();) {
    const std::size_t length = std::min(options.runLength, events.size() - at);
    const std::vector<Event> run(events.begin() + static_cast<std::ptrdiff_t>(at),
                                 events.begin() + static_cast<std::ptrdiff_t>(at + length));
    const RunResult result = RunProgram(run);
    ++runs;
    if (result.failure) {
      ++failures;
      // Only the first failure is shrunk: the others are most often the same fault again.
      if (failures == 1) Report(options, at, *result.failure, run);
      at += result.failure->event + 1;
    } else {
      at += std::max<std::size_t>(result.consumed, 1);
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("seed %llu: %zu program runs, %.1f s, %.0f events/s\n",
              static_cast<unsigned long long>(options.seed), runs, seconds,
              seconds > 0 ? static_cast<double>(events.size()) / seconds : 0.0);
  std::printf("%zu events, %zu invariant failures\n", events.size(), failures);
  return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace soak

int main(int argc, char** argv) {
  soak::Options options;
  if (!soak::Parse(argc, argv, options)) {
    std::fprintf(stderr, "usage: soak [--events N] [--seed S] [--run-length L]\n");
    return 2;
  }
  return soak::Soak(options);
}
