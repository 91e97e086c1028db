#include "core/ComponentState.h"

#include <gtest/gtest.h>

namespace {

class Plain : public core::ComponentState
{
};

TEST(ComponentState, FlagsAreIndependentAndLoadedClearsOnlyLoading)
{
    Plain state;
    EXPECT_FALSE(state.isLoading() || state.isDesigning() || state.isDestroying());
    state.setLoading(true);
    state.setDesigning(true);
    state.setDestroying(true);
    EXPECT_TRUE(state.isLoading());
    EXPECT_TRUE(state.isDesigning());
    EXPECT_TRUE(state.isDestroying());
    state.setDestroying(false);
    EXPECT_TRUE(state.isLoading());
    EXPECT_FALSE(state.isDestroying());
    state.Loaded();
    EXPECT_FALSE(state.isLoading());
    EXPECT_TRUE(state.isDesigning());
}

TEST(ComponentState, HasNoStoredValuesUnlessAClassAddsThem)
{
    Plain state;
    EXPECT_FALSE(state.ReadStoredValue(QStringLiteral("PositionMax_2"), 1.0));
    EXPECT_TRUE(state.StoredValues().isEmpty());
}

} // namespace
