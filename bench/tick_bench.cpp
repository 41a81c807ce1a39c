// What one 50 ms tick of the clock costs, next to two baselines run in the
// same process: advancing the simulated clock alone, and a naive tick that
// formats both texts with snprintf into new strings every time. Also the
// once-a-minute work and the file read, for scale. Prints the ratios and
// the heap allocations per tick at the end.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <string>

#include "base/memory_registry.h"
#include "core/time_format.h"
#include "core/zones.h"
#include "panels/clocks_file.h"
#include "panels/zone_panels.h"

namespace {

std::atomic<long> g_allocations{0};

}  // namespace

void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

// A clock that moves 50 ms per call, as the timer sees it.
struct SimulatedClock {
  hx::DateTime now{2026, 3, 6, 23, 0, 0, 0, 5};
  const hx::DateTime& Next() {
    if ((now.millisecond += 50) == 1000) {
      now.millisecond = 0;
      if (++now.second == 60) {
        now.second = 0;
        if (++now.minute == 60) {
          now.minute = 0;
          now.hour = (now.hour + 1) % 24;
        }
      }
    }
    return now;
  }
};

void AllocationCounter(benchmark::State& state, long before) {
  state.counters["allocs/iter"] = benchmark::Counter(static_cast<double>(g_allocations.load() - before),
                                                     benchmark::Counter::kAvgIterations);
}

void BM_Baseline_ClockOnly(benchmark::State& state) {
  SimulatedClock clock;
  const long before = g_allocations.load();
  for (auto _ : state) benchmark::DoNotOptimize(clock.Next());
  AllocationCounter(state, before);
}
BENCHMARK(BM_Baseline_ClockOnly);

void BM_Naive_SnprintfTick(benchmark::State& state) {
  SimulatedClock clock;
  std::string shown, lastMinute;
  const long before = g_allocations.load();
  for (auto _ : state) {
    const hx::DateTime& t = clock.Next();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d : %02d : %02d", t.hour, t.minute, t.second);
    std::string text = buf;
    if (text != shown) shown = text;
    std::snprintf(buf, sizeof buf, "%02d : %02d", t.hour, t.minute);
    std::string minute = buf;
    if (minute != lastMinute) lastMinute = minute;
    benchmark::DoNotOptimize(shown.data());
  }
  AllocationCounter(state, before);
}
BENCHMARK(BM_Naive_SnprintfTick);

// The general pattern formatter on every tick, as a straightforward port of
// the tick would do: FormatDateTime("hh : nn : ss") and ("hh : nn").
void BM_Naive_PatternTick(benchmark::State& state) {
  SimulatedClock clock;
  const hx::LocaleNames locale = hx::InvariantLocaleNames();
  std::string shown, lastMinute;
  const long before = g_allocations.load();
  for (auto _ : state) {
    const hx::DateTime& t = clock.Next();
    std::string text = hx::FormatDateTime("hh : nn : ss", t, locale);
    if (text != shown) shown = text;
    std::string minute = hx::FormatDateTime("hh : nn", t, locale);
    if (minute != lastMinute) lastMinute = minute;
    benchmark::DoNotOptimize(shown.data());
  }
  AllocationCounter(state, before);
}
BENCHMARK(BM_Naive_PatternTick);

void BM_ClockTick(benchmark::State& state) {
  SimulatedClock clock;
  hx::ClockTick tick;
  const bool pmAm = state.range(0) != 0;
  const long before = g_allocations.load();
  for (auto _ : state) {
    const hx::DateTime& t = clock.Next();
    const auto step = tick.Advance(t, pmAm);
    if (step.minuteWorkDue) tick.MinuteWorkDone(t);
    benchmark::DoNotOptimize(step);
  }
  AllocationCounter(state, before);
}
BENCHMARK(BM_ClockTick)->Arg(0)->Arg(1);

// The minute work of ten zone panels: their texts and date hints.
void BM_MinuteWork_TenZones(benchmark::State& state) {
  hx::PanelList panels = hx::DefaultPanels(hx::FirstStartSystemLook(), hx::FirstStartDateLook());
  for (int i = 0; i < 10; ++i) {
    hx::ClockPanel p;
    p.TimeValue = i % 2 ? "+" : "-";
    p.TimeValue1 = i;
    p.TimeValue2 = i % 3 == 0 ? 30 : 0;
    panels.push_back(p);
  }
  const hx::LocaleNames locale = hx::InvariantLocaleNames();
  const hx::DateTime now{2026, 3, 6, 23, 59, 0, 0, 5};
  for (auto _ : state) {
    auto times = hx::ComputeZonePanelTimes(panels, now, 180, false, 2, locale);
    auto date = hx::DateFormat(2, now, locale);
    auto hint = hx::LongDateText(now, locale);
    benchmark::DoNotOptimize(times.data());
    benchmark::DoNotOptimize(date.data());
    benchmark::DoNotOptimize(hint.data());
  }
}
BENCHMARK(BM_MinuteWork_TenZones);

// Finding the local zone in a catalogue of 139 zones, once a minute.
void BM_MinuteWork_DetectLocalZone(benchmark::State& state) {
  hx::MemoryRegistry registry;
  for (int i = 0; i < 139; ++i) {
    const std::string key = std::string(hx::kTimeZonesKey) + "\\Zone " + std::to_string(i);
    registry.WriteString(hx::RegistryRoot::LocalMachine, key, "Display", "(UTC+03:00) Zone " + std::to_string(i));
    registry.WriteString(hx::RegistryRoot::LocalMachine, key, "Std", "Zone " + std::to_string(i));
  }
  registry.WriteString(hx::RegistryRoot::LocalMachine, hx::kTimeZoneInformationKey, "StandardName", "Zone 70");
  hx::LocalZone zone;
  for (auto _ : state) {
    hx::DetectLocalZone(registry, {}, zone);
    benchmark::DoNotOptimize(zone.LocalZoneHours);
  }
}
BENCHMARK(BM_MinuteWork_DetectLocalZone);

void BM_ReadClocksFile_HundredPanels(benchmark::State& state) {
  hx::PanelList panels(98);
  const auto fixed = hx::DefaultPanels(hx::FirstStartSystemLook(), hx::FirstStartDateLook());
  panels.insert(panels.begin(), fixed.begin(), fixed.end());
  const std::optional<std::string> text = hx::WriteClocksFile(panels, 3, "06.03.2026").Serialize();
  for (auto _ : state) {
    auto read = hx::ReadClocksFile(text);
    benchmark::DoNotOptimize(read.panels.data());
  }
}
BENCHMARK(BM_ReadClocksFile_HundredPanels);

// Keeps each run's time per iteration for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& run : runs) {
      nanos[run.benchmark_name()] = run.GetAdjustedCPUTime();
      const auto allocs = run.counters.find("allocs/iter");
      if (allocs != run.counters.end()) allocations[run.benchmark_name()] = allocs->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> nanos;
  std::map<std::string, double> allocations;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const auto& t = reporter.nanos;
  const auto get = [&](const char* name) { auto it = t.find(name); return it == t.end() ? 0.0 : it->second; };
  const double base = get("BM_Baseline_ClockOnly");
  const double naive = get("BM_Naive_SnprintfTick");
  std::printf("\nPer tick, CPU time (ns), as a ratio to the clock-only baseline and to the naive snprintf tick:\n");
  for (const char* name :
       {"BM_Baseline_ClockOnly", "BM_Naive_SnprintfTick", "BM_Naive_PatternTick", "BM_ClockTick/0", "BM_ClockTick/1"}) {
    const double ns = get(name);
    if (ns == 0) continue;
    std::printf("  %-24s %8.1f ns  x%6.2f baseline  x%5.2f naive  %.3f allocs/tick\n", name, ns,
                base > 0 ? ns / base : 0, naive > 0 ? ns / naive : 0, reporter.allocations[name]);
  }
  const double tick = get("BM_ClockTick/0");
  const double minute = get("BM_MinuteWork_TenZones") + get("BM_MinuteWork_DetectLocalZone");
  if (tick > 0 && minute > 0)
    std::printf("Minute work (10 zone panels + finding the local zone among 139): %.1f us once a minute,\n"
                "as much as %.0f ticks; the 1200 ticks of a minute cost %.1f us together.\n",
                minute / 1000.0, minute / tick, 1200.0 * tick / 1000.0);
  return 0;
}
