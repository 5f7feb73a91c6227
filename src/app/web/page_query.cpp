// The page's query; see page_query.h.
#include "app/web/page_query.h"

#include <cstdlib>
#include <map>

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Decode(const std::string& text, std::string* out) {
  out->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      *out += text[i];
      continue;
    }
    const int high = i + 2 < text.size() ? HexDigit(text[i + 1]) : -1;
    const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
    if (high < 0 || low < 0) return false;
    *out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

// A whole number from 1 to most, digits only.
bool Count(const std::string& digits, long most, long* value) {
  if (digits.empty() || digits.size() > 9 ||
      digits.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  *value = std::strtol(digits.c_str(), nullptr, 10);
  return *value >= 1 && *value <= most;
}

bool Size(const std::string& text, int* width, int* height) {
  const size_t x = text.find('x');
  long w = 0;
  long h = 0;
  if (x == std::string::npos || !Count(text.substr(0, x), kMostQuerySize, &w) ||
      !Count(text.substr(x + 1), kMostQuerySize, &h)) {
    return false;
  }
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
  return true;
}

PageQuery Refuse(std::string error) {
  PageQuery query;
  query.error = std::move(error);
  return query;
}

}  // namespace

PageQuery ParsePageQuery(const std::string& search) {
  std::map<std::string, std::string> values;
  const size_t begin = !search.empty() && search[0] == '?' ? 1 : 0;
  for (size_t at = begin; at <= search.size();) {
    size_t end = search.find('&', at);
    if (end == std::string::npos) end = search.size();
    const std::string pair = search.substr(at, end - at);
    at = end + 1;
    if (pair.empty()) continue;
    const size_t equals = pair.find('=');
    std::string name;
    std::string value;
    if (!Decode(pair.substr(0, equals), &name) ||
        (equals != std::string::npos && !Decode(pair.substr(equals + 1), &value))) {
      return Refuse("'" + pair + "' is not percent-encoded properly");
    }
    values.emplace(name, value);  // the first of a name counts
  }

  PageQuery query;
  const auto given = [&values](const char* name) { return values.count(name) != 0; };
  if (given("size") && !Size(values["size"], &query.width, &query.height)) {
    return Refuse("size '" + values["size"] + "' is not WIDTHxHEIGHT, each from 1 to " +
                  std::to_string(kMostQuerySize));
  }
  if (given("pace")) {
    if (values["pace"] != "frame") return Refuse("pace '" + values["pace"] + "' is not 'frame'");
    query.paceFrame = true;
  }
  query.timedemo = given("timedemo");
  if (given("frames")) {
    if (!query.timedemo) return Refuse("frames is for the timedemo: add timedemo");
    if (!Count(values["frames"], kMostTimedemoFrames, &query.frames)) {
      return Refuse("frames '" + values["frames"] + "' is not a whole number from 1 to " +
                    std::to_string(kMostTimedemoFrames));
    }
  }
  if (given("play")) {
    std::string why;
    if (values["play"].find_first_not_of(' ') == std::string::npos) {
      return Refuse("play needs steps, such as up*120%20left*20");
    }
    if (!ParseKeySteps(values["play"], &query.play, &why)) return Refuse("play: " + why);
  }
  if (query.timedemo && (query.paceFrame || !query.play.empty())) {
    return Refuse("timedemo takes neither pace nor play");
  }
  query.record = given("record");
  return query;
}
