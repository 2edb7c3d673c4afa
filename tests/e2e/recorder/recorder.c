/* nexora-recorder: a stand-in for the program the shell starts to open a
 * document. It appends its whole command line, as one line, to the file
 * named by NEXORA_RECORDER_LOG (default C:\recorder.log) and exits 0, so
 * that an end-to-end test can read what was opened and how. A GUI program,
 * so that no console window covers the windows under test. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  const char* path = getenv("NEXORA_RECORDER_LOG");
  FILE* log;
  (void)instance;
  (void)previous;
  (void)commandLine;
  (void)show;
  if (path == NULL || path[0] == '\0') path = "C:\\recorder.log";
  log = fopen(path, "a");
  if (log == NULL) return 1;
  fprintf(log, "%s\n", GetCommandLineA());
  return fclose(log) == 0 ? 0 : 1;
}
