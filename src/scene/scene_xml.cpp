#include "scene/scene_xml.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "platform/fatal.h"
#include "resource/mem_chunk.h"
#include "scene/scene.h"
#include "scene/scene_xml_elements.h"


namespace {

// A failure inside a callback must not unwind through expat's C frames: the callback keeps
// it here, stops the parser, and LoadSceneXml raises it again once expat has returned.
std::exception_ptr g_callback_failure;

void XMLCALL OnStartElement(void* user_data, const XML_Char* name, const XML_Char** atts) {
  try {
    g_scene_xml.line = (int32_t)XML_GetCurrentLineNumber(g_scene_xml.parser);
    StartScriptElement(name, atts);
  } catch (...) {
    g_callback_failure = std::current_exception();
    XML_StopParser(g_scene_xml.parser, XML_FALSE);
  }
}

void XMLCALL OnEndElement(void* user_data, const XML_Char* name) {
  g_scene_xml.line = (int32_t)XML_GetCurrentLineNumber(g_scene_xml.parser);
  EndScriptElement(name);
}

struct ParserGuard {
  XML_Parser parser;
  MemChunk* chunk;
  ~ParserGuard() {
    XML_ParserFree(parser);
    g_scene_xml.parser = nullptr;
    FreeChunk(chunk);
  }
};

void ReportParseError(XML_Parser parser) {
  int32_t line = (int32_t)XML_GetCurrentLineNumber(parser);
  const char* reason = XML_ErrorString(XML_GetErrorCode(parser));
  char text[256];
  std::snprintf(text, sizeof(text), "Parse error at line %d:\n%s\n", line, reason);
  g_scene_xml.problems.push_back({line, text});
  if (!g_scene_xml.quiet) std::fprintf(stderr, "%s: %s", g_scene_xml.file_name, text);
}

// A NUL inside a line ends the text expat is given there; the rest of the line is lost, so
// it is said once per line.
void ReportNulByte(int32_t line) {
  char text[128];
  std::snprintf(text, sizeof(text), "line %d holds a NUL byte: the rest of the line is ignored\n", line);
  g_scene_xml.problems.push_back({line, text});
  if (!g_scene_xml.quiet) std::fprintf(stderr, "%s: %s", g_scene_xml.file_name, text);
}

// A fatal error met while an element was handled is said with the script and line.
[[noreturn]] void RethrowAtScriptPlace(std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (FatalError& error) {
    if (error.place.empty()) error.place = ScriptPlace();
    throw;
  }
}

}  // namespace

int LoadSceneXml(Scene* scene, MemChunk chunk) {
  XML_Parser parser = XML_ParserCreate(nullptr);
  if (!parser) {
    FreeChunk(&chunk);
    return 0;
  }
  ParserGuard guard{parser, &chunk};
  XML_SetElementHandler(parser, OnStartElement, OnEndElement);
  XML_SetUserData(parser, nullptr);
  g_scene_xml.parser = parser;
  g_scene_xml.scene = scene;
  g_scene_xml.object = nullptr;  // an object left open by an earlier script is not this one's
  g_scene_xml.problems.clear();
  g_scene_xml.line = 0;
  CopyNameField(g_scene_xml.file_name, sizeof(g_scene_xml.file_name), chunk.name);
  g_callback_failure = nullptr;

  char line[SCRIPT_LINE_SIZE + 2];
  int32_t script_line = 0;
  for (;;) {
    int32_t got = 0;
    g_scene_xml.line = 0;  // no element is being handled: a line that cannot be read names its own
    ++script_line;
    ReadMemLine(&chunk, line, SCRIPT_LINE_SIZE, &got);
    size_t length = std::strlen(line);
    const size_t text_length = (got > 0 && line[got - 1] == '\0') ? (size_t)got - 1 : (size_t)got;  // less its CR
    if (length < text_length) ReportNulByte(script_line);
    line[length++] = '\n';
    int final = chunk.pos >= chunk.size ? 1 : 0;
    XML_Status status = XML_Parse(parser, line, (int)length, final);
    if (g_callback_failure) {
      std::exception_ptr failure = g_callback_failure;
      g_callback_failure = nullptr;
      RethrowAtScriptPlace(failure);
    }
    if (status == XML_STATUS_ERROR) {
      ReportParseError(parser);
      break;
    }
    if (final) break;
  }
  return 1;
}
