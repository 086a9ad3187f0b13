#include "agent/SvgPath.h"

#include <stdexcept>
#include <string>

namespace perch {

namespace {

class TPathReader {
 public:
  explicit TPathReader(const QString& data) : s_(data) {}

  QPainterPath Read() {
    QPainterPath path;
    QChar command;
    QPointF current, start, lastControl;
    QChar lastCommand;
    while (SkipSeparators(), pos_ < s_.size()) {
      if (s_[pos_].isLetter()) {
        command = s_[pos_++];
      } else if (command.isNull()) {
        Fail("path data must start with a command");
      }
      const bool relative = command.isLower();
      const QPointF base = relative ? current : QPointF();
      switch (command.toUpper().unicode()) {
        case 'M':
          current = base + Point();
          start = current;
          path.moveTo(current);
          command = relative ? 'l' : 'L';  // further pairs are line-tos
          break;
        case 'L':
          current = base + Point();
          path.lineTo(current);
          break;
        case 'H':
          current.setX((relative ? current.x() : 0) + Number());
          path.lineTo(current);
          break;
        case 'V':
          current.setY((relative ? current.y() : 0) + Number());
          path.lineTo(current);
          break;
        case 'C': {
          const QPointF c1 = base + Point(), c2 = base + Point(), end = base + Point();
          path.cubicTo(c1, c2, end);
          lastControl = c2;
          current = end;
          break;
        }
        case 'S': {
          const QPointF c1 = QString("CcSs").contains(lastCommand) ? 2 * current - lastControl : current;
          const QPointF c2 = base + Point(), end = base + Point();
          path.cubicTo(c1, c2, end);
          lastControl = c2;
          current = end;
          break;
        }
        case 'Q': {
          const QPointF c = base + Point(), end = base + Point();
          path.quadTo(c, end);
          lastControl = c;
          current = end;
          break;
        }
        case 'T': {
          const QPointF c = QString("QqTt").contains(lastCommand) ? 2 * current - lastControl : current;
          const QPointF end = base + Point();
          path.quadTo(c, end);
          lastControl = c;
          current = end;
          break;
        }
        case 'Z':
          path.closeSubpath();
          current = start;
          break;
        default: Fail(std::string("unknown path command '") + command.toLatin1() + "'");
      }
      lastCommand = command;
      if (command.toUpper() == 'Z') command = QChar();
    }
    if (path.isEmpty()) Fail("path is empty");
    return path;
  }

 private:
  void SkipSeparators() {
    while (pos_ < s_.size() && (s_[pos_].isSpace() || s_[pos_] == ',')) ++pos_;
  }
  double Number() {
    SkipSeparators();
    qsizetype end = pos_;
    if (end < s_.size() && (s_[end] == '-' || s_[end] == '+')) ++end;
    while (end < s_.size() && (s_[end].isDigit() || s_[end] == '.')) ++end;
    bool ok = false;
    const double value = s_.mid(pos_, end - pos_).toDouble(&ok);
    if (!ok) Fail("a number was expected at position " + std::to_string(pos_ + 1));
    pos_ = end;
    return value;
  }
  QPointF Point() {
    const double x = Number();
    return {x, Number()};
  }
  [[noreturn]] void Fail(const std::string& what) { throw std::invalid_argument(what); }

  const QString& s_;
  qsizetype pos_ = 0;
};

}  // namespace

QPainterPath ParseSvgPath(const QString& data) { return TPathReader(data).Read(); }

}  // namespace perch
