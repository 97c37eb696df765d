#include "common/Locale.h"

#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

std::optional<TLocaleFormats>& Pinned() {
  static std::optional<TLocaleFormats> formats;
  return formats;
}

// Converts a strftime pattern ("%m/%d/%Y", "%I:%M:%S %p") to the picture form used here.
std::string FromStrftime(const std::string& fmt, char& separator, bool date) {
  std::string out;
  for (size_t i = 0; i < fmt.size(); ++i) {
    if (fmt[i] != '%' || i + 1 == fmt.size()) {
      if (!std::isalnum(static_cast<unsigned char>(fmt[i])) && fmt[i] != ' ' && separator == 0) separator = fmt[i];
      out += fmt[i];
      continue;
    }
    char c = fmt[++i];
    if (c == 'E' || c == 'O') {
      if (i + 1 == fmt.size()) break;
      c = fmt[++i];
    }
    switch (c) {
      case 'd': out += "dd"; break;
      case 'e': out += "d"; break;
      case 'm': out += "MM"; break;
      case 'y': out += "yy"; break;
      case 'Y': out += "yyyy"; break;
      case 'H': out += "HH"; break;
      case 'I': out += "hh"; break;
      case 'l': out += "h"; break;
      case 'M': out += "mm"; break;
      case 'S': out += "ss"; break;
      case 'p': out += "AM/PM"; break;
      case 'D': out += date ? "MM/dd/yy" : ""; if (!separator) separator = '/'; break;
      case 'T': out += "HH:mm:ss"; if (!separator) separator = ':'; break;
      case 'R': out += "HH:mm"; if (!separator) separator = ':'; break;
      case 'r': out += "hh:mm:ss AM/PM"; if (!separator) separator = ':'; break;
      default: break;
    }
  }
  return out;
}

// "C", "POSIX" and their encodings ("C.UTF-8") carry no national formats.
bool IsCLocaleName(const char* name) {
  if (name == nullptr || *name == 0) return true;
  const std::string n = name;
  const std::string base = n.substr(0, n.find('.'));
  return base == "C" || base == "POSIX";
}

// Dates reach from 1900 to 2078, so a two-digit year would be ambiguous on screen and in reports.
std::string WithFullYear(const std::string& picture) {
  if (picture.find("yyyy") != std::string::npos) return picture;
  const size_t yy = picture.find("yy");
  return yy == std::string::npos ? picture : picture.substr(0, yy) + "yyyy" + picture.substr(yy + 2);
}

// The fields of a picture in order: 'd', 'M' or 'y' with its width.
struct TPart {
  char kind;
  int width;
};

std::vector<TPart> DateParts(const std::string& picture) {
  std::vector<TPart> parts;
  for (size_t i = 0; i < picture.size();) {
    char c = picture[i];
    if (c == 'd' || c == 'M' || c == 'y') {
      size_t j = i;
      while (j < picture.size() && picture[j] == c) ++j;
      parts.push_back({c, static_cast<int>(j - i)});
      i = j;
    } else {
      ++i;
    }
  }
  return parts;
}

std::string TwoDigits(int v) {
  std::string s = std::to_string(v);
  return s.size() < 2 ? "0" + s : s;
}

}  // namespace

TLocaleFormats UsLocaleFormats() {
  TLocaleFormats f;
  f.shortDateFormat = "M/d/yyyy";
  f.dateSeparator = '/';
  f.longTimeFormat = "h:mm:ss AM/PM";
  f.timeSeparator = ':';
  f.amString = "AM";
  f.pmString = "PM";
  f.shortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  f.thousandSeparator = ",";
  f.decimalSeparator = ".";
  return f;
}

TLocaleFormats EnvironmentLocaleFormats() {
  TLocaleFormats f = UsLocaleFormats();
  locale_t loc = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return f;
  const char* timeName = nullptr;
  for (const char* var : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) {
      timeName = v;
      break;
    }
  }
  if (!IsCLocaleName(timeName)) {
    char sep = 0;
    std::string date = WithFullYear(FromStrftime(nl_langinfo_l(D_FMT, loc), sep, true));
    if (!date.empty() && sep) f.shortDateFormat = date, f.dateSeparator = sep;
    sep = 0;
    std::string ampm = nl_langinfo_l(T_FMT_AMPM, loc);
    std::string am = nl_langinfo_l(AM_STR, loc);
    std::string time = FromStrftime(am.empty() || ampm.empty() ? nl_langinfo_l(T_FMT, loc) : ampm, sep, false);
    if (!time.empty() && sep) f.longTimeFormat = time, f.timeSeparator = sep;
    f.amString = am;
    f.pmString = nl_langinfo_l(PM_STR, loc);
    const nl_item days[] = {ABDAY_1, ABDAY_2, ABDAY_3, ABDAY_4, ABDAY_5, ABDAY_6, ABDAY_7};
    for (int i = 0; i < 7; ++i) f.shortDayNames[i] = nl_langinfo_l(days[i], loc);
    std::string thousands = nl_langinfo_l(THOUSEP, loc);
    std::string decimal = nl_langinfo_l(RADIXCHAR, loc);
    if (!decimal.empty()) f.decimalSeparator = decimal;
    f.thousandSeparator = thousands.empty() ? (decimal == "," ? "." : ",") : thousands;
  }
  freelocale(loc);
  return f;
}

const TLocaleFormats& CurrentLocale() {
  auto& pinned = Pinned();
  if (!pinned) pinned = EnvironmentLocaleFormats();
  return *pinned;
}

void SetLocaleFormats(const TLocaleFormats& formats) { Pinned() = formats; }

void PinUsLocale() { SetLocaleFormats(UsLocaleFormats()); }

std::string FormatShortDate(TDayNum day) {
  int y, m, d;
  if (!DecodeAnyDay(day, y, m, d)) return {};  // every stored date shows, also those past 2078
  const std::string& pic = CurrentLocale().shortDateFormat;
  std::string out;
  for (size_t i = 0; i < pic.size();) {
    char c = pic[i];
    size_t j = i;
    while (j < pic.size() && pic[j] == c) ++j;
    const size_t n = j - i;
    if (c == 'd') out += n >= 2 ? TwoDigits(d) : std::to_string(d);
    else if (c == 'M') out += n >= 2 ? TwoDigits(m) : std::to_string(m);
    else if (c == 'y') out += n >= 3 ? std::to_string(y) : TwoDigits(y % 100);
    else out += pic.substr(i, n);
    i = j;
  }
  return out;
}

std::string ShortDateFormText() {
  std::string text = CurrentLocale().shortDateFormat;
  for (char& c : text)
    if (c == 'd' || c == 'y') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

bool ParseShortDate(const std::string& text, int defaultYear, TDayNum& day) {
  day = 0;
  const TLocaleFormats& loc = CurrentLocale();
  std::vector<std::string> fields(1);
  for (char c : text) {
    if (c == ' ' && fields.back().empty()) continue;
    if (c == loc.dateSeparator) fields.emplace_back();
    else if (c == ' ') continue;
    else if (std::isdigit(static_cast<unsigned char>(c))) fields.back() += c;
    else return false;
  }
  if (fields.size() < 2 || fields.size() > 3) return false;
  for (const auto& f : fields)
    if (f.empty() || f.size() > 4) return false;
  std::vector<TPart> parts = DateParts(loc.shortDateFormat);
  if (parts.size() != 3) parts = {{'M', 1}, {'d', 1}, {'y', 4}};
  if (fields.size() == 2) {
    // Month and day only, in the order the format gives them.
    std::vector<TPart> noYear;
    for (const auto& p : parts)
      if (p.kind != 'y') noYear.push_back(p);
    parts = noYear;
  }
  int y = defaultYear, m = 0, d = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    int v = std::atoi(fields[i].c_str());
    if (parts[i].kind == 'd') d = v;
    else if (parts[i].kind == 'M') m = v;
    else y = fields[i].size() <= 2 ? ExpandTwoDigitYear(v) : v;
  }
  if (y < kFirstDateYear) return false;
  day = EncodeDay(y, m, d);
  return day != 0;
}

std::string FormatLongTime(int hour, int minute, int second) {
  const TLocaleFormats& loc = CurrentLocale();
  const std::string& pic = loc.longTimeFormat;
  const bool twelve = pic.find('h') != std::string::npos;
  std::string out;
  for (size_t i = 0; i < pic.size();) {
    if (pic.compare(i, 5, "AM/PM") == 0) {
      out += hour < 12 ? loc.amString : loc.pmString;
      i += 5;
      continue;
    }
    char c = pic[i];
    size_t j = i;
    while (j < pic.size() && pic[j] == c) ++j;
    const size_t n = j - i;
    int h12 = hour % 12 == 0 ? 12 : hour % 12;
    if (c == 'h' || c == 'H') {
      int h = twelve ? h12 : hour;
      out += n >= 2 ? TwoDigits(h) : std::to_string(h);
    } else if (c == 'm') out += n >= 2 ? TwoDigits(minute) : std::to_string(minute);
    else if (c == 's') out += n >= 2 ? TwoDigits(second) : std::to_string(second);
    else out += pic.substr(i, n);
    i = j;
  }
  return out;
}
