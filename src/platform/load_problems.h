// Problems met while reading the demo's data: a file missing, empty, cut short or damaged, a
// script that does not parse. Each loader says its own line on stderr as it always has and
// notes the problem here as well, so a reload can tell whether everything loaded cleanly and
// name the first file that did not, without knowing any loader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct LoadProblem {
  std::string file;    // the file the problem is in, as the loader names it
  std::string reason;  // what is wrong with it: one line, control characters escaped
};

// Notes a problem with file. Kept while a collection is open; counted always.
void NoteLoadProblem(const std::string& file, const std::string& reason);

// How many problems have been noted in this process: a caller that wants to know whether a
// call it made noted one compares the count before and after.
int64_t LoadProblemsNoted();

// Starts keeping the problems noted from now on (what an earlier collection kept is dropped).
void StartLoadProblems();

// Stops keeping them and gives what was noted since StartLoadProblems, in order.
std::vector<LoadProblem> TakeLoadProblems();
