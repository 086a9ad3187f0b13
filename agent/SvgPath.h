#pragma once
// Parses the path data subset the character artwork uses: M L H V C S Q T Z,
// absolute and relative. Throws std::invalid_argument naming the fault.

#include <QPainterPath>
#include <QString>

namespace perch {

QPainterPath ParseSvgPath(const QString& data);

}  // namespace perch
