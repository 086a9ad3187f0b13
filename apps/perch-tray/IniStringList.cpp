#include "apps/perch-tray/IniStringList.h"

namespace perch {

namespace {

// The character a backslash escape stands for; `i` is on the letter after
// the backslash and is left on the escape's last character.
QChar Unescaped(const QString& value, qsizetype& i) {
  const QChar c = value[i];
  switch (c.unicode()) {
    case 'a': return u'\a';
    case 'b': return u'\b';
    case 'f': return u'\f';
    case 'n': return u'\n';
    case 'r': return u'\r';
    case 't': return u'\t';
    case 'v': return u'\v';
    case 'x': {
      char16_t code = 0;
      qsizetype digits = 0;
      while (digits < 4 && i + 1 < value.size()) {
        const int digit = QStringView(value).mid(i + 1, 1).toInt(nullptr, 16);
        const QChar next = value[i + 1];
        const bool hex = next.isDigit() || (next.toLower() >= u'a' && next.toLower() <= u'f');
        if (!hex) break;
        code = static_cast<char16_t>(code * 16 + digit);
        ++i, ++digits;
      }
      return digits == 0 ? QChar(u'x') : QChar(code);
    }
    default:
      if (c >= u'0' && c <= u'7') {
        char16_t code = static_cast<char16_t>(c.unicode() - u'0');
        for (int digits = 1;
             digits < 3 && i + 1 < value.size() && value[i + 1] >= u'0' && value[i + 1] <= u'7'; ++digits)
          code = static_cast<char16_t>(code * 8 + (value[++i].unicode() - u'0'));
        return QChar(code);
      }
      return c;  // \\, \", \; and any other: the character itself
  }
}

bool NeedsQuotes(const QString& item) {
  if (item.isEmpty()) return true;
  if (item.front().isSpace() || item.back().isSpace()) return true;
  return item.contains(u',') || item.contains(u';') || item.contains(u'=');
}

}  // namespace

QStringList ParseIniStringList(const QString& value) {
  QStringList items;
  if (value.trimmed() == u"@Invalid()") return items;  // an empty list
  QString item;
  bool quoted = false;
  bool sawQuotes = false;
  for (qsizetype i = 0; i < value.size(); ++i) {
    const QChar c = value[i];
    if (c == u'\\' && i + 1 < value.size()) {
      ++i;
      item += Unescaped(value, i);
    } else if (c == u'"') {
      quoted = !quoted;
      sawQuotes = true;
    } else if (c == u',' && !quoted) {
      items << (sawQuotes ? item : item.trimmed());
      item.clear();
      sawQuotes = false;
    } else if (!quoted && c.isSpace() && (sawQuotes || item.isEmpty())) {
      // the space after a separator, or between a closing quote and the next
    } else {
      item += c;
    }
  }
  items << (sawQuotes ? item : item.trimmed());
  // QSettings writes a text that begins with '@' with a second one.
  for (QString& text : items)
    if (text.startsWith(QStringLiteral("@@"))) text.remove(0, 1);
  return items;
}

QString FormatIniStringList(const QStringList& items) {
  if (items.isEmpty()) return QStringLiteral("@Invalid()");
  QStringList escaped;
  for (const QString& item : items) {
    QString out;
    if (item.startsWith(u'@')) out += u'@';
    for (const QChar c : item) {
      switch (c.unicode()) {
        case '\\': out += QStringLiteral("\\\\"); break;
        case '"': out += QStringLiteral("\\\""); break;
        case '\a': out += QStringLiteral("\\a"); break;
        case '\b': out += QStringLiteral("\\b"); break;
        case '\f': out += QStringLiteral("\\f"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        case '\v': out += QStringLiteral("\\v"); break;
        default:
          if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 4, 16, QChar(u'0'));
          else out += c;
      }
    }
    escaped << (NeedsQuotes(item) ? u'"' + out + u'"' : out);
  }
  return escaped.join(QStringLiteral(", "));
}

}  // namespace perch
