// What kra-check found: problems with the file and the place in it, and (with --verbose)
// what was loaded. Loaders write their own console lines; checks run them with the console
// captured, so those lines become problems of the file instead of noise around the report.
#pragma once

#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <vector>

struct CheckReport {
  FILE* out = stdout;
  bool verbose = false;
  int problem_count = 0;
  int warning_count = 0;
  int files_checked = 0;
};

// "file:line: text" (line > 0), "file: where: text" (where not empty) or "file: text".
void ReportProblem(CheckReport* report, const std::string& file, int line, const std::string& where,
                   const std::string& text);
// "file: warning: text": something the demo copes with (it draws less, or skips a part of
// a file) but the author may want to know. Warnings do not make the check fail.
void ReportWarning(CheckReport* report, const std::string& file, const std::string& text);
// A line of what was loaded, shown only with --verbose.
void ReportInfo(CheckReport* report, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Runs fn with standard output and standard error going to a buffer, and returns the
// non-empty lines written meanwhile. Whatever fn throws is kept in *failure, not thrown.
std::vector<std::string> CaptureConsole(const std::function<void()>& fn, std::exception_ptr* failure);

// Each captured line as a problem of file.
void ReportConsoleLines(CheckReport* report, const std::string& file, const std::vector<std::string>& lines);

// one or many, by count.
const char* Plural(int count, const char* one, const char* many);

std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
