#pragma once
// The companion program: its form TActor, the process-wide state and the
// operations every routine of the companion uses.

#include "companion/Actor.h"
#include "companion/Companion.h"
#include "companion/ErrorBox.h"
#include "companion/NameDialog.h"
#include "companion/SettingsFile.h"

namespace perch {}  // namespace perch
