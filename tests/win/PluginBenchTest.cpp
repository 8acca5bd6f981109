// The plug-in benchmark's installation and yardsticks, on real files and this test's
// own registry (code page 932): what the benchmark times must be real switching work,
// the same work for the program and for each yardstick.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "bench/Baselines.h"
#include "bench/PluginTree.h"
#include "bench/ProductCalls.h"
#include "bench/ServerRequests.h"
#include "pebuilder/PluginEntry.h"
#include "tests/support/TestSupport.h"

namespace {

std::map<std::wstring, std::string> InfFiles(const PluginTree& tree)
{
    std::map<std::wstring, std::string> files;
    for (const PlannedPlugin& p : tree.plugins) files[tree.InfPath(p)] = ReadBytes(tree.InfPath(p));
    return files;
}

}  // namespace

TEST(PluginBench, GeneratedPluginsAreCataloguedUnderThePresetsKeys)
{
    ScratchFolder scratch;
    const PluginTree tree = PlanPluginTree(scratch / L"PEBuilder", 40);
    WritePluginTree(tree, false);

    StringList list;
    ScanPluginFolder(tree.PluginFolder(), list);
    ASSERT_EQ(list.size(), 40u);
    std::set<std::wstring> keys;
    for (const StringListItem& item : list) keys.insert(PluginKeyOf(item.Data, tree.peBuilder));
    for (const PlannedPlugin& p : tree.plugins) {
        EXPECT_TRUE(keys.count(PluginTree::KeyOf(p))) << testing::PrintToString(p.name);
        const size_t size = InfBytes(p).size(), depth = std::count(p.subFolder.begin(), p.subFolder.end(), L'\\');
        EXPECT_TRUE(size >= 1024 && size <= 4096) << size;
        EXPECT_TRUE(depth == 2 || depth == 3) << depth;
    }
    EXPECT_TRUE(keys.count(PluginTree::KeyOf(tree.plugins[3])));  // a Japanese name, in code page 932
    EXPECT_EQ(tree.ChangedByPreset(), 20u);
    EXPECT_EQ(tree.PresetKeys().size(), 20u);
    while (!list.empty()) DeleteListEntry(list, list.size() - 1);
}

TEST(PluginBench, TheProgramAndEveryYardstickLeaveTheSameFiles)
{
    ScratchFolder scratch;
    const PluginTree tree = PlanPluginTree(scratch / L"PEBuilder", 40);
    WritePluginTree(tree, false);
    const TCurrentSettings settings = BenchSettings(tree.peBuilder);
    BenchStorePreset(settings, L"Half", tree.PresetKeys());
    EXPECT_EQ(CountWrongStates(tree), 20u);

    BenchApplyPreset(settings, L"Half");
    EXPECT_EQ(CountWrongStates(tree), 0u);
    const std::map<std::wstring, std::string> switched = InfFiles(tree);

    const std::pair<Baseline, size_t> yardsticks[] = {
        {Baseline::Plain, 40}, {Baseline::Atomic, 20}, {Baseline::Durable, 20}};
    for (const auto& [baseline, written] : yardsticks) {
        WritePluginTree(tree, true);
        EXPECT_EQ(RunBaseline(baseline, tree.PluginFolder(), PresetWants), written);
        EXPECT_EQ(InfFiles(tree), switched);
    }
    WritePluginTree(tree, true);
    EXPECT_EQ(RunBaseline(Baseline::ReadOnly, tree.PluginFolder(), PresetWants), 0u);
    EXPECT_EQ(CountWrongStates(tree), 20u);
}

// The server's trace as the request count reads it: a reply line per request, by the
// thread before the colon; threads the counted ones create count too.
TEST(PluginBench, ServerRequestsAreCountedForTheChildsThreadsOnly)
{
    const std::string trace = "0020: open_file( access=80000000, name=L\"C:\\\\x() = 1\" )\n"
                              "0020: open_file() = 0 { handle=0040 }\n"
                              "0024: open_file() = 0 { handle=0044 }\n"  // another process
                              "0020: new_thread() = 0 { tid=0138, handle=0048 }\n"
                              "0138: init_thread() = 0 { pid=0030 }\n"
                              "0138: close_handle() = INVALID_HANDLE\n"
                              "wineserver: starting (pid=4711)\n"
                              "0024: new_thread() = 0 { tid=0150, handle=004c }\n"
                              "0150: close_handle() = 0\n"  // made by the other process
                              "00201: get_key_value() = 0\n"
                              "0020: select() = PENDING";  // cut off at the end
    const struct {
        uint32_t thread;
        size_t requests;
    } cases[] = {{0x20, 5}, {0x24, 3}, {0x138, 2}, {0x99, 0}};
    for (const auto& c : cases) EXPECT_EQ(CountThreadRequests(trace, c.thread), c.requests) << std::hex << c.thread;
}
