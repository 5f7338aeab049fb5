// Command lines of the demo and its tools, parsed the one way: getopt_long over a table of
// long options, errors as values in the programs' own words, and strict numbers.
//
//   const CommandOption options[] = {{"from", true, kFrom}, {"window", false, kWindow}};
//   std::vector<std::string> rest;
//   if (!ParseCommandLine(argc, argv, options, handle, &rest, &error)) -> usage, exit 2
//
// Options are long ("--from 3" or "--from=3"); "-h" stands for "--help" when the table has it.
// Whatever is not an option comes back in order in rest.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

struct CommandOption {
  const char* name;  // without the leading "--"
  bool takes_value;
  int id;            // handed to the handler; any value but 0 and '?'
};

// Called once per option, in command-line order, with the option's value (null for a flag).
// false with *error set refuses the command line.
using CommandOptionHandler = std::function<bool(int id, const char* value, std::string* error)>;

// false with *error ("unknown option '--x'", "--from needs a value", or the handler's) on
// the first problem.
bool ParseCommandLine(int argc, char** argv, std::span<const CommandOption> options,
                      const CommandOptionHandler& handle, std::vector<std::string>* rest, std::string* error);

// The same over arguments without the program name (for tests and tools holding strings).
bool ParseCommandLine(const std::vector<std::string>& args, std::span<const CommandOption> options,
                      const CommandOptionHandler& handle, std::vector<std::string>* rest, std::string* error);

// A finite number from the whole text; false for "", "nan", "inf", "1e999", "3x".
bool ParseFiniteNumber(const std::string& text, double* value);

// The same within [low, high], with the error for option name already worded:
// "--from: 'nan' is not a number" or "--from must be from 0 to 116".
bool ParseNumberOption(const char* name, const char* text, double low, double high, double* value,
                       std::string* error);
