#include "platform/command_line.h"

#include <getopt.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// "0.5" rather than "0.500000": bounds in messages read as the user would type them.
std::string Plain(double value) {
  std::string text = std::to_string(value);
  while (text.find('.') != std::string::npos && (text.back() == '0' || text.back() == '.')) {
    const bool dot = text.back() == '.';
    text.pop_back();
    if (dot) break;
  }
  return text;
}

std::string OptionText(char** argv, int index) { return index > 0 && argv[index] ? argv[index] : "?"; }

}  // namespace

bool ParseCommandLine(int argc, char** argv, std::span<const CommandOption> options,
                      const CommandOptionHandler& handle, std::vector<std::string>* rest, std::string* error) {
  std::vector<option> table;
  std::string short_options = ":";  // a missing value comes back as ':'
  for (const CommandOption& o : options) {
    table.push_back({o.name, o.takes_value ? required_argument : no_argument, nullptr, o.id});
    if (std::strcmp(o.name, "help") == 0) short_options += 'h';
  }
  table.push_back({nullptr, 0, nullptr, 0});
  int help_id = 0;
  for (const CommandOption& o : options) {
    if (std::strcmp(o.name, "help") == 0) help_id = o.id;
  }

  optind = 0;  // getopt keeps its place across calls; 0 starts it afresh (GNU)
  opterr = 0;
  for (;;) {
    const int c = getopt_long(argc, argv, short_options.c_str(), table.data(), nullptr);
    if (c == -1) break;
    if (c == '?') {
      *error = "unknown option '" + OptionText(argv, optind - 1) + "'";
      return false;
    }
    if (c == ':') {
      *error = OptionText(argv, optind - 1) + " needs a value";
      return false;
    }
    const int id = c == 'h' ? help_id : c;
    if (!handle(id, optarg, error)) return false;
  }
  for (int i = optind; i < argc; ++i) rest->push_back(argv[i]);
  return true;
}

bool ParseCommandLine(const std::vector<std::string>& args, std::span<const CommandOption> options,
                      const CommandOptionHandler& handle, std::vector<std::string>* rest, std::string* error) {
  std::vector<std::string> owned;
  owned.reserve(args.size() + 1);
  owned.push_back("program");
  owned.insert(owned.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : owned) argv.push_back(arg.data());
  argv.push_back(nullptr);
  return ParseCommandLine(static_cast<int>(owned.size()), argv.data(), options, handle, rest, error);
}

bool ParseFiniteNumber(const std::string& text, double* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  const double parsed = std::strtod(text.c_str(), &end);
  if (!end || *end != '\0' || !std::isfinite(parsed)) return false;
  *value = parsed;
  return true;
}

bool ParseNumberOption(const char* name, const char* text, double low, double high, double* value,
                       std::string* error) {
  double parsed = 0;
  if (!ParseFiniteNumber(text ? text : "", &parsed)) {
    *error = std::string("--") + name + ": '" + (text ? text : "") + "' is not a number";
    return false;
  }
  if (parsed < low || parsed > high) {
    *error = std::string("--") + name + " must be from " + Plain(low) + " to " + Plain(high);
    return false;
  }
  *value = parsed;
  return true;
}
