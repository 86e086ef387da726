#include <gtest/gtest.h>

#include <set>

#include "engine/engine.hpp"
#include "patch/builtin_patches.hpp"
#include "patch/config_file.hpp"
#include "patch/patch.hpp"

namespace mw {
namespace {

TEST(BuiltInPatches, MenuHoldsTheTwentyThreePatchesInSixSubmenus) {
    const auto menu = BuiltInMenu();
    ASSERT_EQ(menu.size(), 6u);
    const int titles[] = {452, 453, 454, 455, 456, 457};
    const size_t counts[] = {2, 8, 6, 4, 1, 2};
    std::set<int> commands, resources;
    for (size_t i = 0; i < menu.size(); ++i) {
        EXPECT_EQ(menu[i].title, titles[i]);
        EXPECT_EQ(menu[i].patches.size(), counts[i]);
        for (const BuiltInPatch* p : menu[i].patches) {
            commands.insert(p->command);
            resources.insert(p->resource);
        }
    }
    EXPECT_EQ(BuiltInPatches().size(), size_t(kBuiltInPatchCount));
    ASSERT_EQ(commands.size(), 23u);
    EXPECT_EQ(*commands.begin(), 0x8008);
    EXPECT_EQ(*commands.rbegin(), 0x801E);
    EXPECT_EQ(*resources.begin(), 205);
    EXPECT_EQ(*resources.rbegin(), 241);
    EXPECT_EQ(menu[0].patches[1]->name, "Basically Robotic");
    EXPECT_EQ(FindBuiltInByName("air saw")->resource, 205);
    EXPECT_EQ(FindBuiltInByCommand(0x801E)->resource, 241);
    EXPECT_EQ(FindBuiltInByResource(206), nullptr);
}

class EachBuiltIn : public ::testing::TestWithParam<int> {};

TEST_P(EachBuiltIn, IsACompleteFileWithItsCompositionAndEveryLinkResolved) {
    const BuiltInPatch& p = BuiltInPatches()[size_t(GetParam())];
    SCOPED_TRACE(std::string(p.name));
    const std::string_view bytes = BuiltInPatchBytes(p);
    ASSERT_GE(bytes.size(), 8u) << p.file << " is missing";
    // (Its first bytes, the byte-order mark and the header, are pinned by the round trip below.)
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string_view("\r\0\n\0", 4));
    const std::u16string file = FromFileBytes(bytes);
    EXPECT_EQ(file.find(u"-[Invalid]-"), std::u16string::npos);
    Engine engine;
    Patch patch(engine);
    const std::optional<size_t> created = LoadBuiltInPatch(patch, p.resource);
    ASSERT_TRUE(created.has_value());
    size_t expected = 0;
    for (auto [kind, count] : p.kinds) {
        EXPECT_EQ(patch.Count(kind), size_t(count)) << Info(kind).keyword;
        expected += size_t(count);
    }
    EXPECT_EQ(*created, expected);
    EXPECT_EQ(patch.TotalCount(), expected);
    // Saved again, the text is the same: every name found its module, every value kept its form.
    EXPECT_EQ(ConfigurationText(patch), file);
}

TEST(BuiltInPatches, TheTwoDirectMousePatchesTakeADirectionMeasureAndMore) {
    for (int resource : {219, 220}) {
        const BuiltInPatch* p = FindBuiltInByResource(resource);
        ASSERT_NE(p, nullptr) << resource;
        const std::u16string file = FromFileBytes(BuiltInPatchBytes(*p));
        // Direction, or one of its horizontal and vertical, signed and unsigned forms.
        for (const char16_t* name :
             {u"=Direction", u"=Speed\r", u"=Horizontal Position\r", u"=Vertical Velocity\r"})
            EXPECT_NE(file.find(name), std::u16string::npos) << resource << std::string(name, name + 5);
    }
}

INSTANTIATE_TEST_SUITE_P(All, EachBuiltIn, ::testing::Range(0, kBuiltInPatchCount),
                         [](const ::testing::TestParamInfo<int>& param) {
                             return std::to_string(BuiltInPatches()[size_t(param.param)].resource);
                         });

} // namespace
} // namespace mw
