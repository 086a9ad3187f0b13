#pragma once
// Replies from the X server, owned: xcb hands each reply over to be freed
// with free(). And an atom by name, the first thing most questions need.

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace perch {

struct TXcbFree {
  void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using TXcbReply = std::unique_ptr<T, TXcbFree>;

// The atom of that name, or XCB_ATOM_NONE when the server has none (with
// onlyIfExists) or the connection failed. Waits for the server's answer.
inline xcb_atom_t InternAtom(xcb_connection_t* connection, const char* name, bool onlyIfExists = false) {
  const auto cookie =
      xcb_intern_atom(connection, onlyIfExists ? 1 : 0, static_cast<std::uint16_t>(std::strlen(name)), name);
  const TXcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookie, nullptr));
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

}  // namespace perch
