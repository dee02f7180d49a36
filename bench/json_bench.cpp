// JsonDocument against RapidJSON's DOM and nlohmann::json on a generated 5 MB share listing
// (20,000 entries): MB/s of each (megabytes of the UTF-8 text, whatever form a parser reads),
// the ratios, and peak heap bytes per value. Natively through Google Benchmark; in the
// cross build (no Google Benchmark for mingw) through a small best-of-N timing loop that
// prints the same numbers.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>
#include <rapidjson/document.h>

#include "json_listing.h"
#include "resolver/json/json_document.h"
#include "resolver/json/json_value.h"

#ifdef QUILLON_HAVE_GBENCH
#include <benchmark/benchmark.h>
#endif

// ---- heap accounting ----------------------------------------------------------------------
// Bytes in use by malloc (which operator new and RapidJSON's allocator both use), from glibc's
// counters; the cross build has none and reports no memory figures.
#if defined(__GLIBC__)
#include <malloc.h>
static size_t HeapInUse() { return mallinfo2().uordblks; }
static constexpr bool kHaveHeapCounter = true;
#else
static size_t HeapInUse() { return 0; }
static constexpr bool kHaveHeapCounter = false;
#endif

namespace {

const json_bench::Listing& Data() {
  static const json_bench::Listing listing = json_bench::MakeListing(20000);
  return listing;
}

// What the share client does with a folder listing: every entry's eight fields by path.
int64_t ReadEntries(json::JsonDocument& doc) {
  int64_t sum = 0;
  const int n = doc.Count("list");
  for (int i = 0; i < n; ++i) {
    const std::string prefix = "list[" + std::to_string(i) + "].";
    sum += doc.GetInteger(prefix + "fs_id");
    sum += int64_t(doc.GetString(prefix + "app_id").size());
    sum += int64_t(doc.GetString(prefix + "server_filename").size());
    sum += int64_t(doc.GetString(prefix + "parent_path").size());
    sum += doc.GetInteger(prefix + "server_mtime");
    sum += doc.GetInteger(prefix + "size");
    sum += static_cast<int32_t>(doc.GetInteger(prefix + "isdir"));
    sum += int64_t(doc.GetString(prefix + "path").size());
  }
  return sum;
}

int64_t ReadEntries(const rapidjson::Document& d) {
  int64_t sum = 0;
  for (const auto& e : d["list"].GetArray()) {
    sum += e["fs_id"].GetInt64() + e["app_id"].GetStringLength() +
           e["server_filename"].GetStringLength() + e["parent_path"].GetStringLength() +
           e["server_mtime"].GetInt64() + e["size"].GetInt64() + e["isdir"].GetInt() +
           e["path"].GetStringLength();
  }
  return sum;
}

volatile int64_t g_sink = 0;

struct Case {
  std::string name;
  std::function<void()> run;
};

std::vector<Case> Cases() {
  return {
      {"JsonDocument ParseW (UTF-16)", [] {
         json::JsonDocument doc;
         g_sink = doc.ParseW(Data().utf16, true);
       }},
      {"JsonDocument Parse (CP936)", [] {
         json::JsonDocument doc;
         g_sink = doc.Parse(Data().cp936, true);
       }},
      {"JsonDocument ParseW + read by path", [] {
         json::JsonDocument doc;
         doc.ParseW(Data().utf16, true);
         g_sink = ReadEntries(doc);
       }},
      {"RapidJSON DOM", [] {
         rapidjson::Document d;
         d.Parse(Data().utf8.data(), Data().utf8.size());
         g_sink = d.HasParseError();
       }},
      {"RapidJSON DOM + read", [] {
         rapidjson::Document d;
         d.Parse(Data().utf8.data(), Data().utf8.size());
         g_sink = ReadEntries(d);
       }},
      {"nlohmann::json", [] {
         auto j = nlohmann::json::parse(Data().utf8);
         g_sink = int64_t(j.size());
       }},
  };
}

// ---- values and peak heap per value ------------------------------------------------------

size_t CountValues(const json::JsonValue* v) {
  size_t n = 1;
  for (int32_t i = 0; i < v->ChildCount(); ++i) n += CountValues(v->ChildAt(i));
  return n;
}
size_t CountValues(const rapidjson::Value& v) {
  size_t n = 1;
  if (v.IsArray()) for (const auto& e : v.GetArray()) n += CountValues(e);
  if (v.IsObject()) for (const auto& m : v.GetObject()) n += CountValues(m.value);
  return n;
}
size_t CountValues(const nlohmann::json& v) {
  size_t n = 1;
  if (v.is_structured()) for (const auto& e : v) n += CountValues(e);
  return n;
}

// The tree's footprint: heap in use with the tree alive, over the heap before the parse.
template <typename Parse>
void ReportMemory(const char* name, Parse parse) {
  const size_t before = HeapInUse();
  size_t values = 0;
  const size_t bytes = parse(values) - before;
  std::printf("%-34s %9zu values  heap %10zu bytes  %6.1f bytes/value\n", name, values, bytes,
              double(bytes) / double(values));
}

void MemoryReport() {
  if (!kHaveHeapCounter) return;
  std::printf("\nHeap held by the parsed tree (the text itself excluded):\n");
  ReportMemory("JsonDocument ParseW (UTF-16)", [](size_t& values) {
    json::JsonDocument doc;
    doc.ParseW(Data().utf16, true);
    values = CountValues(doc.GetRoot());
    return HeapInUse();
  });
  ReportMemory("RapidJSON DOM", [](size_t& values) {
    rapidjson::Document d;
    d.Parse(Data().utf8.data(), Data().utf8.size());
    values = CountValues(d);
    return HeapInUse();
  });
  ReportMemory("nlohmann::json", [](size_t& values) {
    auto j = nlohmann::json::parse(Data().utf8);
    values = CountValues(j);
    return HeapInUse();
  });
}

// ---- inputs that are hard on the scanner ---------------------------------------------------

// The time per MiB of text (UTF-16 units counted as two bytes) of a few worst cases.
void WorstCases() {
  struct Worst {
    const char* name;
    std::u16string text;
  };
  auto repeat = [](std::u16string_view piece, size_t bytes) {
    std::u16string t;
    while (t.size() * 2 < bytes) t += piece;
    return t;
  };
  std::u16string collisions = u"{";
  for (int i = 0; i < 16384; ++i) {  // 16384 keys made of "Aa" and "BB", which all hash alike
    std::u16string key;
    for (int b = 0; b < 14; ++b) key += (i >> b & 1) ? u"BB" : u"Aa";
    collisions += u"'" + key + u"':1,";
  }
  collisions += u"'end':1}";
  std::vector<Worst> worst = {
      {"100 MB of spaces in an Object", u"{'a':" + std::u16string(50u << 20, u' ') + u"1}"},
      {"100,000 opening brackets", std::u16string(100000, u'[')},
      {"1000 nested Arrays, 2 MiB", repeat(std::u16string(1000, u'[') + std::u16string(1000, u']'), 2u << 20)},
      {"small numbers [0,0,...]", u"[" + repeat(u"0,", 4u << 20) + u"0]"},
      {"empty strings ['',...]", u"[" + repeat(u"'',", 4u << 20) + u"'']"},
      {"one long string", u"['" + repeat(u"\\\u0041x", 8u << 20) + u"']"},
      {"members {'k':1,...}", u"{" + repeat(u"'k':1,", 4u << 20) + u"'k':1}"},
      {"16384 colliding keys", collisions},
      {"unclosed quote", u"{'a':'" + repeat(u"x", 8u << 20)},
  };
  std::printf("\nHard inputs (ParseW, best of 3):\n");
  for (const Worst& w : worst) {
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
      const auto t0 = std::chrono::steady_clock::now();
      json::JsonDocument doc;
      doc.ParseW(w.text, true);
      best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    const double mib = double(w.text.size() * 2) / double(1 << 20);
    std::printf("  %-32s %8.2f MiB %9.1f ms %8.1f ms/MiB\n", w.name, mib, best * 1e3, best * 1e3 / mib);
  }
}

void PrintRatios(const std::map<std::string, double>& mbps) {
  auto at = [&](const char* k) { auto it = mbps.find(k); return it == mbps.end() ? 0.0 : it->second; };
  const double ours = at("JsonDocument ParseW (UTF-16)");
  const double ansi = at("JsonDocument Parse (CP936)");
  const double read = at("JsonDocument ParseW + read by path");
  const double rapid = at("RapidJSON DOM");
  const double rapidRead = at("RapidJSON DOM + read");
  const double nl = at("nlohmann::json");
  std::printf("\nRatios (MB/s over MB/s, same text, same run):\n");
  std::printf("  ParseW / RapidJSON DOM        %.2f   (target >= 0.5)\n", ours / rapid);
  std::printf("  ParseW / nlohmann::json       %.2f   (target >= 1.0)\n", ours / nl);
  std::printf("  Parse(CP936) / RapidJSON DOM  %.2f\n", ansi / rapid);
  std::printf("  Parse(CP936) / nlohmann::json %.2f\n", ansi / nl);
  std::printf("  ParseW+read / RapidJSON+read  %.2f\n", read / rapidRead);
}

double MegaBytes() { return double(Data().utf8.size()) / 1e6; }

#ifdef QUILLON_HAVE_GBENCH

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.run_type != Run::RT_Iteration) continue;
      // CPU time: the machine is shared. The best of the repetitions counts.
      const double seconds = r.GetAdjustedCPUTime() / 1e3;  // time unit: ms
      double& best = mbps[r.run_name.function_name];
      best = std::max(best, MegaBytes() / seconds);
    }
  }
  std::map<std::string, double> mbps;
};

int RunAll(int argc, char** argv) {
  for (const Case& c : Cases()) {
    auto run = c.run;
    benchmark::RegisterBenchmark(c.name.c_str(), [run](benchmark::State& s) {
      for (auto _ : s) run();
      s.SetBytesProcessed(int64_t(s.iterations()) * int64_t(Data().utf8.size()));
    })->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintRatios(reporter.mbps);
  return 0;
}

#else

int RunAll(int, char**) {
  std::map<std::string, double> mbps;
  for (const Case& c : Cases()) {
    double best = 1e9;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 5 || std::chrono::steady_clock::now() - start < std::chrono::seconds(2); ++i) {
      const auto t0 = std::chrono::steady_clock::now();
      c.run();
      best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    mbps[c.name] = MegaBytes() / best;
    std::printf("%-34s %8.2f ms  %8.1f MB/s\n", c.name.c_str(), best * 1e3, mbps[c.name]);
  }
  PrintRatios(mbps);
  return 0;
}

#endif

}  // namespace

int main(int argc, char** argv) {
  std::printf("listing: %d entries, %.2f MB UTF-8, %.2f MB CP936, %zu UTF-16 units\n", Data().entries,
              MegaBytes(), double(Data().cp936.size()) / 1e6, Data().utf16.size());
  const int rc = RunAll(argc, argv);
  MemoryReport();
  WorstCases();
  return rc;
}
