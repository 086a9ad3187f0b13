#pragma once
// The folder in which the message link's sockets and the instance lock live:
// $XDG_RUNTIME_DIR/perch, else /tmp/perch-<uid>. It belongs to the user alone
// (mode 0700), so another user can neither reach nor impersonate a window.

#include <string>

namespace perch {

// The folder's path; nothing is created.
std::string EndpointFolderPath();

// Creates the folder when missing and checks that it is a real directory of
// this user that nobody else may enter. Throws TPlatformError otherwise.
// Returns its path.
std::string EnsureEndpointFolder();

}  // namespace perch
