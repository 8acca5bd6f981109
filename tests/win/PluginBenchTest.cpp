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
