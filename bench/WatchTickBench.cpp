// The cost of one watch tick with many locked keywords and ignore entries,
// for long titles that match none of them: the tick's worst ordinary case.
// The tick examines every visible top-level window: one, or two hundred;
// and a title that changes before each tick, which is judged anew.
// Beside it, a title that holds the program's name, for which the tick also
// asks which program owns the window; and two hundred program items over
// two hundred windows of fifty programs, none of them locked.
#include <benchmark/benchmark.h>

#include "engine/Engine.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimToolkit.h"
#include "store/ItemLists.h"
#include "store/ProgramList.h"

namespace {

void WatchTick(benchmark::State& benchState, std::string_view titleStart, int windows,
               bool retitled = false, int programItems = 0) {
  const int keywords = static_cast<int>(benchState.range(0));
  pm::sim::SimWorld world;
  pm::sim::SimRegistry registry;
  std::vector<pm::store::ListItem> items;
  for (int i = 0; i < keywords; ++i) items.push_back({"Locked program " + std::to_string(i), true});
  std::vector<std::string> ignore;
  for (int i = 0; i < 100; ++i) ignore.push_back("ignored window " + std::to_string(i));
  pm::store::WriteLists(registry, items, ignore);
  std::vector<pm::store::ListItem> programs;
  for (int i = 0; i < programItems; ++i) {
    programs.push_back({"C:\\Program Files\\Locked\\program" + std::to_string(i) + ".exe", true});
  }
  pm::store::WriteProgramList(registry, programs);
  constexpr int kPrograms = 50;
  for (int i = 0; i < kPrograms; ++i) {
    world.SetProgramPath(1000 + i, "C:\\Program Files\\Tools\\tool" + std::to_string(i) + ".exe");
  }

  pm::sim::SimToolkit toolkit(world);
  pm::sim::SimDesktop desktop(world);
  pm::sim::SimShell shell(world);
  pm::engine::Engine engine({toolkit, desktop, shell, registry});
  engine.Start();
  std::string title(titleStart);
  while (title.size() < 255) title += "A document about nothing in particular ";
  title.resize(255);
  for (int i = 0; i < windows; ++i) {
    world.CreateOtherWindow(title, "Editor" + std::to_string(i), 1000 + i % kPrograms);
  }
  world.RunPending();

  // A title that changes before every tick is lowered and searched anew;
  // an unchanged one is judged from memory.
  world.SetForegroundNotifications(false);
  const pm::platform::Hwnd first = world.AllWindows().front();
  const std::string other = "B" + title.substr(1);
  bool flip = false;
  for (auto _ : benchState) {
    if (retitled) world.SetTitle(first, (flip = !flip) ? other : title);
    engine.frmMain.timPelmora_Timer();
  }
  benchState.counters["keywords"] = static_cast<double>(engine.frmMain.LockedKeywords().size());
}

BENCHMARK_CAPTURE(WatchTick, ordinary_title, "", 1)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WatchTick, title_changing_every_tick, "", 1, true)
    ->Arg(10)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WatchTick, ordinary_titles_in_200_windows, "", 200)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WatchTick, ordinary_titles_and_200_programs_in_200_windows, "", 200, false, 200)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WatchTick, title_with_program_name, "Pelmora Pro.txt - ", 1)
    ->Arg(10)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
