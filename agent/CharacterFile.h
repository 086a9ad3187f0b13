#pragma once
// Reads the character file format, a line-oriented text:
//
//   perch-character 1
//   character <name> <width> <height>
//   anchor <x> <y>                       balloon tail point
//   mouth <part> <channel> <open value>  what opens while speaking
//   part <name> <parent|-> <shape...>    shapes: group | ellipse cx cy rx ry |
//                                        circle cx cy r | rect x y w h [radius] |
//                                        path <svg path data>
//     pivot <x> <y>
//     fill solid <#rgb> | linear x1 y1 x2 y2 <stops> | radial cx cy r <stops>
//     stroke <#rgb> <width>
//     hidden | prop | soft               hidden at rest; prop: hidden and not
//                                        clickable; soft: shown, not clickable
//   animation <name> [hold] [loop <from ms> <to ms>]   hold: ends in its
//                                        last pose instead of back at rest
//     key <ms> [smooth|linear|step|in|out|back] <part>.<channel>=<value> ...
//
// A key line is a pose reached at its time, travelled to from the key line
// before it; channels it does not name keep their values. After its last key
// an animation settles back to the rest pose (unless it holds).
// Channels: rot (degrees), dx, dy, sx, sy, scale (sx and sy), alpha.
// Colours are #rrggbb or #rrggbbaa; stops are <colour> or <pos>:<colour>.
// Bounds: width and height at most 2048 pixels; points, radii and strokes
// within 8192 either way; times at most 120 s; at most 512 parts, 256
// animations, 1000 key lines an animation, 64 gradient stops.
// Every error names the file, the line and what is wrong.

#include "agent/CharacterDef.h"

#include <QString>

namespace perch {

// Reads and checks a character file; throws TAgentError.
TCharacterDef LoadCharacterFile(const QString& path);
// The same from text, with the name used in messages.
TCharacterDef ParseCharacterText(const QString& text, const QString& fileName);
// Resolves a bare file name from the data folders (beside the executable,
// then share/perch/characters); a name with a slash is taken as a path.
// Returns an empty string when the file is in none of them.
QString ResolveCharacterFile(const QString& name);

// Animations the service itself plays: showing, hiding, flying, idling.
inline constexpr const char* ShowAnimation = "Show";
inline constexpr const char* HideAnimation = "Hide";
inline constexpr const char* FlyAnimation = "Fly";
inline constexpr const char* BreatheAnimation = "Breathe";
inline constexpr const char* BlinkAnimation = "Blink";

}  // namespace perch
