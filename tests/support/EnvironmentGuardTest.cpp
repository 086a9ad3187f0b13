// The guard puts back exactly what it found: a value, an empty value, or no
// variable at all, whatever was done in between, and guards nest.

#include "tests/support/EnvironmentGuard.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

constexpr const char* Name = "PERCH_ENVIRONMENT_GUARD_TEST";

std::optional<std::string> Current() {
  const char* value = std::getenv(Name);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

}  // namespace

TEST(EnvironmentGuard, RestoresTheValueOrTheAbsenceItFound) {
  for (const std::optional<std::string>& before :
       {std::optional<std::string>(), std::optional<std::string>(""),
        std::optional<std::string>("old value")}) {
    TEnvironmentGuard setting(Name);
    if (before) setting.Set(*before);
    else setting.Unset();
    {
      TEnvironmentGuard guard(Name, "new");
      EXPECT_EQ(guard.WasSet(), before.has_value());
      EXPECT_EQ(Current(), "new");
      guard.Unset();
      EXPECT_EQ(Current(), std::nullopt);
      guard.Set("again");
    }
    EXPECT_EQ(Current(), before);
  }
}

TEST(EnvironmentGuard, NestedGuardsUnwindInTurn) {
  TEnvironmentGuard setting(Name);
  setting.Unset();
  {
    TEnvironmentGuard outer(Name, "outer");
    {
      TEnvironmentGuard inner(Name);
      inner.Unset();
    }
    EXPECT_EQ(Current(), "outer");
  }
  EXPECT_EQ(Current(), std::nullopt);
}
