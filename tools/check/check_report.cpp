#include "check_report.h"

#include <unistd.h>

#include <cstdarg>

#include "platform/printable_text.h"

void ReportProblem(CheckReport* report, const std::string& file, int line, const std::string& where,
                   const std::string& text) {
  report->problem_count++;
  // Names are escaped whole; a problem may run over lines of its own.
  const std::string name = PrintableText(file), said = PrintableText(text, true);
  if (line > 0) {
    std::fprintf(report->out, "%s:%d: %s\n", name.c_str(), line, said.c_str());
  } else if (!where.empty()) {
    std::fprintf(report->out, "%s: %s: %s\n", name.c_str(), PrintableText(where).c_str(), said.c_str());
  } else {
    std::fprintf(report->out, "%s: %s\n", name.c_str(), said.c_str());
  }
}

void ReportWarning(CheckReport* report, const std::string& file, const std::string& text) {
  report->warning_count++;
  std::fprintf(report->out, "%s: warning: %s\n", PrintableText(file).c_str(), PrintableText(text).c_str());
}

void ReportInfo(CheckReport* report, const char* format, ...) {
  if (!report->verbose) return;
  va_list args;
  va_start(args, format);
  char text[1024];
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  std::fprintf(report->out, "%s\n", PrintableText(text).c_str());
}

std::string FormatText(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  return text;
}

namespace {

// Points one of the console's descriptors at a file until restored.
struct Redirect {
  int fd;
  int saved;
  Redirect(int fd, int target) : fd(fd), saved(dup(fd)) { dup2(target, fd); }
  ~Redirect() {
    dup2(saved, fd);
    close(saved);
  }
};

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (!line.empty()) lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

}  // namespace

std::vector<std::string> CaptureConsole(const std::function<void()>& fn, std::exception_ptr* failure) {
  std::fflush(stdout);
  std::fflush(stderr);
  FILE* buffer = std::tmpfile();
  if (!buffer) {
    try {
      fn();
    } catch (...) {
      *failure = std::current_exception();
    }
    return {};
  }
  {
    Redirect out(fileno(stdout), fileno(buffer));
    Redirect err(fileno(stderr), fileno(buffer));
    try {
      fn();
    } catch (...) {
      *failure = std::current_exception();
    }
    std::fflush(stdout);
    std::fflush(stderr);
  }
  std::string text;
  std::rewind(buffer);
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof(chunk), buffer)) > 0) text.append(chunk, n);
  std::fclose(buffer);
  return SplitLines(text);
}

// Loaders name the file themselves, sometimes cut to the 31 characters of a chunk name;
// the report names it once, in full.
static std::string WithoutFileName(const std::string& line, const std::string& file) {
  std::string cut = file.substr(0, 31);
  for (const std::string& prefix : {file, cut}) {
    if (line.rfind(prefix + ": ", 0) == 0) return line.substr(prefix.size() + 2);
  }
  return line;
}

void ReportConsoleLines(CheckReport* report, const std::string& file, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) ReportProblem(report, file, 0, "", WithoutFileName(line, file));
}

const char* Plural(int count, const char* one, const char* many) { return count == 1 ? one : many; }
