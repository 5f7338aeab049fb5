/* A stand-in for ffmpeg.exe, to see what kra-capture.exe hands it: its arguments as
   CreateProcess delivered them, one per line, into the file named last, then either the
   number of bytes that arrived on standard input (the frames) or, given -nostdin (the
   muxing), the contents of its first input. Exit status 0, or that of KRA_FAKE_FFMPEG_STATUS. */
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

static void put_utf8(FILE* out, const wchar_t* text) {
  char buffer[4096];
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, NULL, NULL);
  if (size > 0) fputs(buffer, out);
}

int main(void) {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!args || count < 2) {
    fprintf(stderr, "fake ffmpeg: no arguments\n");
    return 2;
  }
  int no_stdin = 0;
  const wchar_t* first_input = NULL;
  for (int i = 1; i < count; ++i) {
    if (wcscmp(args[i], L"-nostdin") == 0) no_stdin = 1;
    if (wcscmp(args[i], L"-i") == 0 && i + 1 < count && !first_input) first_input = args[i + 1];
  }
  FILE* out = _wfopen(args[count - 1], L"wb");
  if (!out) {
    fprintf(stderr, "fake ffmpeg: cannot write its output file\n");
    return 3;
  }
  for (int i = 1; i < count; ++i) {
    put_utf8(out, args[i]);
    fputc('\n', out);
  }
  if (no_stdin) {
    FILE* in = first_input ? _wfopen(first_input, L"rb") : NULL;
    if (!in) {
      fprintf(stderr, "fake ffmpeg: cannot read its first input\n");
      return 4;
    }
    int c;
    while ((c = fgetc(in)) != EOF) fputc(c, out);
    fclose(in);
  } else {
    /* Binary, as ffmpeg reads it: in text mode a 0x1A byte would end the input. */
    _setmode(_fileno(stdin), _O_BINARY);
    char block[65536];
    long long total = 0;
    size_t got;
    while ((got = fread(block, 1, sizeof block, stdin)) > 0) total += (long long)got;
    fprintf(out, "frame bytes %lld\n", total);
  }
  fclose(out);
  const char* status = getenv("KRA_FAKE_FFMPEG_STATUS");
  return status ? atoi(status) : 0;
}
