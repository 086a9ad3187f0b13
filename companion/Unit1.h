#pragma once
// The companion program: its form TActor, the process-wide state and the
// operations every routine of the companion uses.

#include "Actor.h"
#include "Companion.h"
#include "ErrorBox.h"
#include "NameDialog.h"
#include "SettingsFile.h"
