/* nexora-recorder.exe: stands in for a program that another program
 * starts (a browser, a widget engine). Appends its whole command line as
 * one line to the file named by NEXORA_RECORDER_LOG (default
 * C:\recorder.log) and exits 0. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR args, int show) {
  char path[MAX_PATH];
  const char* line = GetCommandLineA();
  DWORD n = GetEnvironmentVariableA("NEXORA_RECORDER_LOG", path, sizeof path);
  FILE* log;
  (void)instance;
  (void)previous;
  (void)args;
  (void)show;
  if (n == 0 || n >= sizeof path) strcpy(path, "C:\\recorder.log");
  log = fopen(path, "ab");
  if (log == NULL) return 0;
  fprintf(log, "%s\r\n", line != NULL ? line : "");
  fclose(log);
  return 0;
}
